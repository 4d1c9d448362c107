#pragma once

// The application-wide objects: created by initialize() in start-up order,
// reached directly by the code that uses them, destroyed by shutdown().

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <string>

namespace frosk {

class Config;
class GameState;
class Shader;
class TextRenderer;

namespace effects {
class Bloom;
class ShadowMapping;
class ToonShading;
} // namespace effects
namespace physicsengine {
class Physics;
class pxCallback;
} // namespace physicsengine
namespace controls {
class Controller;
}
namespace levels {
class Level;
}
namespace scene {
class Cake;
class Hand;
} // namespace scene

extern Config* config;
extern double* timeLeft;
extern GameState* gameState;
extern TextRenderer* textRenderer;
extern physicsengine::Physics* physics;
extern effects::Bloom* bloom;
extern effects::ShadowMapping* shadowMapping;
extern effects::ToonShading* toonShading;
extern physicsengine::pxCallback* eventCallback;
extern controls::Controller* controller;
extern levels::Level* level;
extern scene::Hand* hand;
// The cake held in the hand.
extern scene::Cake* cake;

// The nineteen shader programs, in start-up order.
extern Shader* textureShader;
extern Shader* basicShader;
extern Shader* hudShader;
extern Shader* skyShader;
extern Shader* shadowDepthShader;
extern Shader* shadowCubeShader;
extern Shader* shadowMaterialShader;
extern Shader* shadowTextureShader;
extern Shader* silhouetteShader;
extern Shader* toonMaterialShader;
extern Shader* toonTextureShader;
extern Shader* particleUpdateShader;
extern Shader* particleDrawShader;
extern Shader* bloomShader;
extern Shader* bloomCoverShader;
extern Shader* compositeShader;
extern Shader* blurHorizontalShader;
extern Shader* blurVerticalShader;
extern Shader* textShader;

// Camera projection: 60 degrees vertical field of view, window aspect, 0.01 to 200.
extern glm::mat4 projectionMatrix;
// Pixel coordinates from the window's top-left corner, y downwards.
extern glm::mat4 screenMatrix;

// Off-screen target of the scene pass, window-sized.
extern GLuint sceneFramebuffer;
extern GLuint sceneTexture;
extern GLuint sceneDepthBuffer;

// "FPS:<frames>" once the first second has passed; empty before.
extern std::string fpsText;

} // namespace frosk
