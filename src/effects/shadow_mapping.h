#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <vector>

namespace frosk {
class Config;
class Shader;
namespace datastructures {
class TreeNode;
}
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
    ShadowMapping(Shader* pass1Shader, Config* windowSize);
    virtual ~ShadowMapping();
    ShadowMapping(const ShadowMapping&) = delete;
    ShadowMapping& operator=(const ShadowMapping&) = delete;

    // Binds the shadow framebuffer and its viewport, clears the depth, turns
    // on depth test and back-face culling and makes the depth program current.
    // The caller draws the casters and restores the window's framebuffer.
    void startPass1();

    // Casters that never move, into the cache: binds the cache's framebuffer,
    // clears it and sets the state and program of startPass1. The next
    // startMovingPass takes the whole cache into the map.
    void startStaticPass();
    // The frame's map from the cache (all of it after startStaticPass or
    // startPass1, else only what last frame's moving casters covered), with
    // the state and program of startPass1 and the map's framebuffer bound.
    void startMovingPass();
    // A caster that moves, drawn into the map after startMovingPass: any scene
    // object that draws its model's root with modelMatrix x root transform.
    template <typename Caster>
    void drawMovingCaster(Caster& caster)
    {
        coverMovingCaster(*caster.model, caster.modelMatrix);
        caster.drawDepth();
    }
    // Remembers the texels a model drawn with modelMatrix x root transform can
    // cover, to be taken back from the cache at the next startMovingPass.
    void coverMovingCaster(const datastructures::TreeNode& model, const glm::mat4& modelMatrix);

    // The camera's projection x view, as "VP".
    void setVP(GLuint program) const;
    // World to shadow-map coordinates and depth in [0, 1], as "depthTranslScalVP".
    void setDepthTranslScalVP(GLuint program) const;

    // Light projection x light view: world to the light's clip space.
    glm::mat4 depthVP() const;
    glm::mat4 lightView() const;
    glm::mat4 cameraProjection() const;

    GLuint depthTexture = 0;
    GLuint framebuffer = 0;
    Shader* pass1Shader = nullptr;
    Config* windowSize = nullptr;
    glm::vec3 lightPosition{10.0f, 50.0f, -40.0f};
    glm::mat4 lightProjection;
    glm::mat4 view{1.0f};
    int width = 4096;
    int height = 4096;

    // The cache of the casters that never move, the same size as the map.
    GLuint staticDepthTexture = 0;
    GLuint staticFramebuffer = 0;
    // Whether the game loop keeps the still casters in the cache; without it
    // every caster is drawn after a clear each frame (startPass1).
    bool cacheStaticCasters = true;

private:
    // Texels [x0, x1) x [y0, y1) of the map.
    struct TexelRect {
        int x0, y0, x1, y1;
    };
    void copyFromCache(const TexelRect& rect) const;
    void startDrawing() const;

    // What the moving casters covered since the last startMovingPass.
    std::vector<TexelRect> coveredByMovers;
    // False until the map was begun from the cache and while it may hold
    // anything other than the cache plus coveredByMovers.
    bool mapFollowsCache = false;
};

// The perspective every camera view of the game uses: 60 degrees vertically,
// the window's aspect, near 0.01, far 200.
glm::mat4 cameraPerspective(int windowWidth, int windowHeight);

} // namespace frosk::effects
