#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

namespace frosk {
class Config;
class Shader;
} // namespace frosk

namespace frosk::effects {

// One 4096² shadow map from a fixed sun. Pass 1 draws the shadow casters from
// the light into the depth texture; the lit programs of pass 2 compare with it
// through "depthTranslScalVP" and get the camera's "VP" from here as well.
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
};

// The perspective every camera view of the game uses: 60 degrees vertically,
// the window's aspect, near 0.01, far 200.
glm::mat4 cameraPerspective(int windowWidth, int windowHeight);

} // namespace frosk::effects
