#include "common/globals.h"

namespace frosk {

Config* config = nullptr;
GameState* gameState = nullptr;
TextRenderer* textRenderer = nullptr;
physicsengine::Physics* physics = nullptr;
physicsengine::pxCallback* eventCallback = nullptr;
effects::Bloom* bloom = nullptr;
effects::ShadowMapping* shadowMapping = nullptr;
effects::ToonShading* toonShading = nullptr;
controls::Controller* controller = nullptr;
scene::Hand* hand = nullptr;
scene::Cake* cake = nullptr;
HudImage* reticle = nullptr;
HudImage* cakeIcon = nullptr;
HudImage* targetIcon = nullptr;

Shader* textureShader = nullptr;
Shader* basicShader = nullptr;
Shader* hudShader = nullptr;
Shader* skyShader = nullptr;
Shader* shadowDepthShader = nullptr;
Shader* shadowCubeShader = nullptr;
Shader* shadowMaterialShader = nullptr;
Shader* shadowTextureShader = nullptr;
Shader* silhouetteShader = nullptr;
Shader* toonMaterialShader = nullptr;
Shader* toonTextureShader = nullptr;
Shader* particleUpdateShader = nullptr;
Shader* particleDrawShader = nullptr;
Shader* bloomShader = nullptr;
Shader* bloomCoverShader = nullptr;
Shader* compositeShader = nullptr;
Shader* blurHorizontalShader = nullptr;
Shader* blurVerticalShader = nullptr;
Shader* textShader = nullptr;

glm::mat4 projectionMatrix(1.0f);
glm::mat4 screenMatrix(1.0f);

effects::RenderTarget* sceneTarget = nullptr;

std::string fpsText;
bool paused = false;
std::int32_t nextCakeId = 0;

levels::Level* level = nullptr;
double* timeLeft = nullptr;

std::vector<scene::Cake*> thrownCakes;
std::vector<particlesystem::ParticleSystem*> particleSystems;
std::vector<physicsengine::Body*> actorsToRemove;
std::vector<std::uint32_t> touchedCakeIds;

} // namespace frosk
