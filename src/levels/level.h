#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <cstddef>
#include <memory>
#include <vector>

namespace frosk {
class Shader;
class Sound;
namespace effects {
class ShadowMapping;
class ToonShading;
} // namespace effects
namespace physicsengine {
class Physics;
}
namespace scene {
class Heaven;
class ModelObject;
class Snowman;
class Target;
class Terrain;
} // namespace scene
} // namespace frosk

namespace frosk::levels {

// The programs, effects and physics world a level builds its objects with;
// none of them belongs to the level.
struct LevelResources {
    Shader* textureShader = nullptr;
    Shader* basicShader = nullptr;
    Shader* bloomShader = nullptr;
    Shader* bloomCoverShader = nullptr;
    Shader* skyShader = nullptr;
    Shader* shadowMaterialShader = nullptr;
    Shader* toonMaterialShader = nullptr;
    Shader* toonTextureShader = nullptr;
    effects::ShadowMapping* shadowMapping = nullptr;
    effects::ToonShading* toonShading = nullptr;
    physicsengine::Physics* physics = nullptr;
};

struct Layout;

// The world the player plays in, built from a layout: terrain, sky, targets,
// snowmen and sound. The loop holds the current one, updates and draws it
// every frame and replaces it on a level change; the contact report destroys
// hit targets through destroyHitTarget.
class Level {
public:
    // Builds terrain, target template, targets, snowmen, sky and sound, in
    // that order; the layout is read here only.
    Level(const LevelResources& resources, const Layout& layout);
    virtual ~Level();
    Level(const Level&) = delete;
    Level& operator=(const Level&) = delete;

    // Terrain, targets, the man's arms and everyone's sway, sky.
    virtual void update(double deltaTime);
    virtual void draw();
    // Glow pass: every object with the second program of its meshes.
    virtual void drawSecondary();
    // Shadow casters into the shadow map.
    virtual void drawDepth();
    virtual void drawShadowed();
    // Main pass: outlines, toon and shadowed shading, then the sky.
    virtual void drawToon();
    // Texture filtering of the terrain and the sky.
    virtual void setTextureFilter(GLint minFilter);

    // drawDepth in two halves for the shadow map's cache: the casters that
    // never move (the terrain, the targets that stand still), and the others,
    // drawn through ShadowMapping::drawMovingCaster.
    virtual void drawStaticDepth();
    virtual void drawMovingDepth();
    // Whether the casters of drawStaticDepth have changed since the last call:
    // true at the first call of a level and after a standing target was hit.
    bool staticCastersChanged();

    // A cake hit `first` or `second` (either may be null): the first of them
    // found in `targets` is erased and deleted; its body is already queued for
    // removal after the step. Whether a target was destroyed.
    bool destroyHitTarget(const scene::Target* first, const scene::Target* second);

    // The live, placed targets in creation order; owned by the level.
    std::vector<scene::Target*> targets;

    // What the level was built with.
    LevelResources resources;

    std::unique_ptr<scene::Terrain> terrain;
    // Loads the model every placed target shares; never placed or drawn.
    std::unique_ptr<scene::Target> targetTemplate;
    // In the layout's order: the man first, who swings his arms.
    std::vector<std::unique_ptr<scene::Snowman>> snowmen;
    std::unique_ptr<scene::Heaven> sky;
    std::unique_ptr<Sound> sound;

protected:
    // A level with nothing in it, for stand-ins that override every pass.
    explicit Level(const LevelResources& resources);

private:
    // One pass of every target, then of every snowman.
    void drawTargetsAndSnowmen(void (scene::ModelObject::*pass)());

    // Standing targets at the last staticCastersChanged; none seen yet.
    std::ptrdiff_t standingTargetsSeen = -1;
};

// translation(position) x rotation(angle about y).
glm::mat4 placementMatrix(const glm::vec3& position, float angleDegrees);

} // namespace frosk::levels
