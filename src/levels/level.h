#pragma once

#include <GL/glew.h>

#include <cstddef>
#include <vector>

namespace frosk {
class Shader;
namespace effects {
class ShadowMapping;
class ToonShading;
} // namespace effects
namespace physicsengine {
class Physics;
}
namespace scene {
class Target;
}
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
    Shader* shadowTextureShader = nullptr;
    Shader* silhouetteShader = nullptr;
    Shader* toonMaterialShader = nullptr;
    Shader* toonTextureShader = nullptr;
    effects::ShadowMapping* shadowMapping = nullptr;
    effects::ToonShading* toonShading = nullptr;
    physicsengine::Physics* physics = nullptr;
};

// The world the player plays in: terrain, sky, ten targets and whatever else a
// layout adds. The loop holds the current one, updates and draws it every
// frame and replaces it on a level change; the contact report erases and
// deletes hit targets from `targets`.
class Level {
public:
    virtual ~Level() = default;

    virtual void update(double deltaTime) = 0;
    virtual void draw() = 0;
    // Glow pass: every object with the second program of its meshes.
    virtual void drawSecondary() = 0;
    // Shadow casters into the shadow map.
    virtual void drawDepth() = 0;
    virtual void drawShadowed() = 0;
    // Main pass: outlines, toon and shadowed shading, then the sky.
    virtual void drawToon() = 0;
    // Texture filtering of the terrain and the sky.
    virtual void setTextureFilter(GLint minFilter) = 0;

    // drawDepth in two halves for the shadow map's cache: the casters that
    // never move (the terrain, the targets that stand still), and the others,
    // drawn through ShadowMapping::drawMovingCaster.
    virtual void drawStaticDepth() = 0;
    virtual void drawMovingDepth() = 0;
    // Whether the casters of drawStaticDepth have changed since the last call:
    // true at the first call of a level and after a standing target was hit.
    bool staticCastersChanged();

    // The live, placed targets in creation order; owned by the level.
    std::vector<scene::Target*> targets;

    Shader* textureShader = nullptr;
    Shader* basicShader = nullptr;
    Shader* bloomShader = nullptr;
    Shader* bloomCoverShader = nullptr;
    Shader* skyShader = nullptr;
    Shader* shadowMaterialShader = nullptr;
    Shader* shadowTextureShader = nullptr;
    Shader* silhouetteShader = nullptr;
    Shader* toonMaterialShader = nullptr;
    Shader* toonTextureShader = nullptr;
    effects::ShadowMapping* shadowMapping = nullptr;
    effects::ToonShading* toonShading = nullptr;

protected:
    explicit Level(const LevelResources& resources)
        : textureShader(resources.textureShader),
          basicShader(resources.basicShader),
          bloomShader(resources.bloomShader),
          bloomCoverShader(resources.bloomCoverShader),
          skyShader(resources.skyShader),
          shadowMaterialShader(resources.shadowMaterialShader),
          shadowTextureShader(resources.shadowTextureShader),
          silhouetteShader(resources.silhouetteShader),
          toonMaterialShader(resources.toonMaterialShader),
          toonTextureShader(resources.toonTextureShader),
          shadowMapping(resources.shadowMapping),
          toonShading(resources.toonShading)
    {
    }

private:
    // Standing targets at the last staticCastersChanged; none seen yet.
    std::ptrdiff_t standingTargetsSeen = -1;
};

} // namespace frosk::levels
