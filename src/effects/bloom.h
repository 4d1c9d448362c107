#pragma once

#include "effects/render_pass.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <vector>

namespace frosk {
class Shader;
} // namespace frosk

namespace frosk::effects {

// Glow: the glowing objects drawn alone into a half-size texture, blurred with
// a separable Gaussian (horizontal then vertical, repeated), and combined with
// the scene by the frame's composite pass through compositeVAO.
//
// Glowing objects are few and small on screen, and everywhere else the glow
// is black: a blur pass there writes black over black and the composite adds
// nothing to the scene. On a software rasteriser those full-screen passes are
// a third of a frame, so the glow keeps the areas where it may be anything but
// black (each glowing object's footprint, widened by as far as the frame's
// blur passes spread it), blurs only those, and the composite copies the
// scene everywhere else. The picture is the same as blurring everything.
class Bloom {
public:
    Bloom(Shader* bloomShader, Shader* drawFramebufferShader, Shader* blur1Shader, Shader* blur2Shader,
          int windowWidth, int windowHeight);
    virtual ~Bloom();
    Bloom(const Bloom&) = delete;
    Bloom& operator=(const Bloom&) = delete;

    // Sets `pass` to draw into the glow target, cleared to transparent black,
    // with depth test and back-face culling and without blending (every glow
    // and cover fragment is opaque), and makes the bloom program
    // current. The caller draws the glowing objects and tells their
    // footprints (coverGlowing); the pass's scope ends it. The blur target is
    // cleared too and the glow areas forgotten.
    void startBrightPass(PassScope& pass);
    // An object drawn with the glowing program: any scene object that draws
    // its model's root with modelMatrix x root transform, seen through the
    // camera's `viewProjection`.
    template <typename Glowing>
    void coverGlowing(const Glowing& object, const glm::mat4& viewProjection)
    {
        const auto [low, high] = object.model->footprint(viewProjection * object.modelMatrix * object.model->transform);
        coverFootprint(low, high);
    }
    // Something glowing within [low, high] of normalised device coordinates.
    void coverFootprint(const glm::vec2& low, const glm::vec2& high);
    // The glow blurred horizontally into the blur target, within the glow
    // areas.
    void blurPass1();
    // The blur target blurred vertically back into the glow target, within
    // the glow areas.
    void blurPass2();
    // The window's pixels where the blurred glow may add to the scene: the
    // glow areas at the window's scale, widened by the pixel the composite's
    // filtering reaches; the whole window without onlyWhereItGlows.
    std::vector<TexelRect> compositeAreas() const;

    // How many blur pairs a frame runs for a window this wide: 3 + width / 400.
    static int blurRepetitions(int windowWidth);

    int windowWidth = 0;
    int windowHeight = 0;
    int halfWidth = 0;
    int halfHeight = 0;
    // Both half the window's size; the blurred glow ends in glow.colorTexture.
    RenderTarget glow;
    RenderTarget blur;
    GLuint quadBuffer = 0;
    GLuint compositeVAO = 0;
    GLuint blur1VAO = 0;
    GLuint blur2VAO = 0;
    Shader* bloomShader = nullptr;
    Shader* drawFramebufferShader = nullptr;
    Shader* blur1Shader = nullptr;
    Shader* blur2Shader = nullptr;
    // Whether the blur and composite keep to the glow areas; without it they
    // cover everything, the plain way.
    bool onlyWhereItGlows = true;

private:
    void blurPass(const RenderTarget& target, GLuint sourceTexture, const Shader* program, GLuint quad);
    // The areas the blur passes draw, in texels of the half-size targets.
    std::vector<TexelRect> blurAreas() const;

    // Texels of the half-size targets where the glow may not be black this
    // frame; no two overlap.
    std::vector<TexelRect> glowAreas;
};

} // namespace frosk::effects
