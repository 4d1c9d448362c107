#pragma once

#include "effects/render_pass.h"

#include <GL/glew.h>

namespace frosk {
class Shader;
} // namespace frosk

namespace frosk::effects {

// Glow: the glowing objects drawn alone into a half-size texture, blurred with
// a separable Gaussian (horizontal then vertical, repeated), and combined with
// the scene by the frame's composite pass through compositeVAO.
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
    // current. The caller draws the glowing objects; the pass's scope ends it.
    void startBrightPass(PassScope& pass);
    // The glow blurred horizontally into the blur target.
    void blurPass1();
    // The blur target blurred vertically back into the glow target.
    void blurPass2();

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

private:
    void blurPass(const RenderTarget& target, GLuint sourceTexture, const Shader* program, GLuint quad);
};

} // namespace frosk::effects
