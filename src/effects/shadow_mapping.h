#pragma once

#include "common/camera.h"
#include "effects/render_pass.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <vector>

namespace frosk {
class Shader;
} // namespace frosk

namespace frosk::effects {

// One 4096² shadow map from a fixed sun. Pass 1 draws the shadow casters from
// the light into the depth texture; the lit programs of pass 2 compare with it
// through "depthTranslScalVP" and get the camera's "VP" from here as well.
//
// Most casters never move, and drawing them into 4096² is the dearest work of
// a frame on a software rasteriser. So their depth is kept in a texture of its
// own, drawn again only when that set of casters changes, and each frame's map
// starts as that cache: the texels the moving casters covered in the previous
// frame are copied back from it, then the moving casters are drawn over it.
// A depth map holds the nearest depth of all casters whatever order they come
// in, so the map is the same as one drawn with every caster after a clear.
class ShadowMapping {
public:
    // Until the first frame hands it a camera, the camera looks from the
    // origin through the window's perspective.
    ShadowMapping(Shader* pass1Shader, int windowWidth, int windowHeight);
    virtual ~ShadowMapping();
    ShadowMapping(const ShadowMapping&) = delete;
    ShadowMapping& operator=(const ShadowMapping&) = delete;

    // Sets `pass` to draw into the shadow map over all of it, clears the
    // depth, turns on depth test and back-face culling and makes the depth
    // program current. The caller draws the casters; the pass's scope ends it.
    void startPass1(PassScope& pass);

    // Casters that never move, into the cache: the cache cleared, with the
    // state and program of startPass1. The next startMovingPass takes the
    // whole cache into the map.
    void startStaticPass(PassScope& pass);
    // The frame's map from the cache (all of it after startStaticPass or
    // startPass1, else only what last frame's moving casters covered), then
    // `pass` set to draw into it with the state and program of startPass1.
    void startMovingPass(PassScope& pass);
    // A caster that moves, drawn into the map after startMovingPass: any scene
    // object that draws its model's root with modelMatrix x root transform.
    // The model tells its own footprint in the light's view.
    template <typename Caster>
    void drawMovingCaster(Caster& caster)
    {
        const auto [low, high] = caster.model->footprint(depthVP() * caster.modelMatrix * caster.model->transform);
        coverFootprint(low, high);
        caster.drawDepth();
    }
    // Remembers the texels of a caster whose light-space x and y lie within
    // [low, high], to be taken back from the cache at the next startMovingPass.
    void coverFootprint(const glm::vec2& low, const glm::vec2& high);

    // The camera's projection x view, as "VP".
    void setVP(GLuint program) const;
    // World to shadow-map coordinates and depth in [0, 1], as "depthTranslScalVP".
    void setDepthTranslScalVP(GLuint program) const;

    // Light projection x light view: world to the light's clip space.
    glm::mat4 depthVP() const;
    glm::mat4 lightView() const;

    GLuint depthTexture = 0;
    GLuint framebuffer = 0;
    Shader* pass1Shader = nullptr;
    glm::vec3 lightPosition{10.0f, 50.0f, -40.0f};
    glm::mat4 lightProjection;
    // The frame's camera, for "VP".
    Camera camera;
    int width = 4096;
    int height = 4096;

    // The cache of the casters that never move, the same size as the map.
    GLuint staticDepthTexture = 0;
    GLuint staticFramebuffer = 0;
    // Whether the game loop keeps the still casters in the cache; without it
    // every caster is drawn after a clear each frame (startPass1).
    bool cacheStaticCasters = true;

private:
    void copyFromCache(const TexelRect& rect) const;
    void startDrawing(PassScope& pass) const;

    // What the moving casters covered since the last startMovingPass.
    std::vector<TexelRect> coveredByMovers;
    // False until the map was begun from the cache and while it may hold
    // anything other than the cache plus coveredByMovers.
    bool mapFollowsCache = false;
};

} // namespace frosk::effects
