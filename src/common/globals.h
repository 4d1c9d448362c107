#pragma once

// The application-wide objects, grouped by how long they live. Each is a heap
// object (or a plain value) reached directly by the code that uses it; this
// header only names them, so any subsystem may include it without taking in
// the others.
//
// Who makes and ends them:
// - for the run: initialize() makes them in start-up order, shutdown() destroys
//   them in the reverse order (src/app/startup.cpp);
// - for a level: the level change replaces them (advanceLevel, src/app/game_loop.cpp);
// - for a throw: the cakes in flight and their bursts are made and deleted
//   only by the functions of src/scene/flight.h.

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace frosk {

class Config;
class GameState;
class HudImage;
class Shader;
class TextRenderer;

namespace effects {
class Bloom;
class RenderTarget;
class ShadowMapping;
class ToonShading;
} // namespace effects
namespace physicsengine {
class Body;
class Physics;
class pxCallback;
} // namespace physicsengine
namespace controls {
class Controller;
}
namespace levels {
class Level;
}
namespace particlesystem {
class ParticleSystem;
}
namespace scene {
class Cake;
class Hand;
} // namespace scene

// --- for the run ------------------------------------------------------------

// Window size and mode from "config.conf"; read before the window opens.
extern Config* config;
extern GameState* gameState;
extern TextRenderer* textRenderer;
extern physicsengine::Physics* physics;
// Turns the world's reports into hits and bursts.
extern physicsengine::pxCallback* eventCallback;
extern effects::Bloom* bloom;
extern effects::ShadowMapping* shadowMapping;
extern effects::ToonShading* toonShading;
extern controls::Controller* controller;
extern scene::Hand* hand;
// The cake held in the hand.
extern scene::Cake* cake;
extern HudImage* reticle;
extern HudImage* cakeIcon;
extern HudImage* targetIcon;

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
extern effects::RenderTarget* sceneTarget;

// "FPS:<frames>" once the first second has passed; empty before.
extern std::string fpsText;
// Id of the next cake thrown; ids are never reused within a run.
extern std::int32_t nextCakeId;
// The window has lost the input focus: the game stands still and its sound
// is paused until the focus comes back (src/app/game_loop.cpp).
extern bool paused;

// --- for a level --------------------------------------------------------------

// The layout being played: built at start-up and by each level change.
extern levels::Level* level;
// Milliseconds left to play the level; 120000 when it is built. The double
// lives for the run, its value for a level.
extern double* timeLeft;

// --- for a throw ----------------------------------------------------------------

// The cakes in flight, each from its throw until it bursts or flies too far.
extern std::vector<scene::Cake*> thrownCakes;
// The splash bursts, each for 1.5 s after its cake burst.
extern std::vector<particlesystem::ParticleSystem*> particleSystems;
// For one physics step: bodies the reports queued to leave the world once the
// step is over. A body may be listed more than once.
extern std::vector<physicsengine::Body*> actorsToRemove;
// For one physics step: ids of cakes whose bounds began to overlap a target's.
extern std::vector<std::uint32_t> touchedCakeIds;

} // namespace frosk
