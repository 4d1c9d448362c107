#pragma once

#include <GL/glew.h>

namespace frosk {
class Config;
class Shader;
} // namespace frosk

namespace frosk::effects {

// Glow: the glowing objects drawn alone into a half-size texture, blurred with
// a separable Gaussian (horizontal then vertical, repeated), and combined with
// the scene by the frame's composite pass through compositeVAO.
class Bloom {
public:
    Bloom(Shader* bloomShader, Shader* drawFramebufferShader, Shader* blur1Shader, Shader* blur2Shader,
          Config* windowSize);
    virtual ~Bloom();
    Bloom(const Bloom&) = delete;
    Bloom& operator=(const Bloom&) = delete;

    // Binds the glow target, clears it to transparent black, turns on depth
    // test and back-face culling and makes the bloom program current. The
    // caller draws the glowing objects and restores the window's framebuffer.
    void startBrightPass();
    // bloomTexture blurred horizontally into blurTexture.
    void blurPass1();
    // blurTexture blurred vertically back into bloomTexture.
    void blurPass2();

    // How many blur pairs a frame runs for a window this wide: 3 + width / 400.
    static int blurRepetitions(int windowWidth);

    GLuint bloomTexture = 0;
    GLuint blurTexture = 0;
    GLuint bloomFramebuffer = 0;
    GLuint blurFramebuffer = 0;
    GLuint bloomDepthRenderbuffer = 0;
    GLuint depthRenderbuffer = 0;
    GLuint quadBuffer = 0;
    GLuint compositeVAO = 0;
    GLuint blur1VAO = 0;
    GLuint blur2VAO = 0;
    Shader* bloomShader = nullptr;
    Shader* drawFramebufferShader = nullptr;
    Shader* blur1Shader = nullptr;
    Shader* blur2Shader = nullptr;
    Config* windowSize = nullptr;
    int halfWidth = 0;
    int halfHeight = 0;

private:
    void blurPass(GLuint targetFramebuffer, GLuint targetTexture, GLuint sourceTexture, const Shader* program,
                  GLuint quad);
};

} // namespace frosk::effects
