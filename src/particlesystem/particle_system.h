#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <string>

namespace frosk {
class Shader;
struct Camera;
} // namespace frosk

namespace frosk::particlesystem {

// One splash of 500 particles where a cake burst. The particles live only on
// the GPU: update() advances them by a transform-feedback pass from one buffer
// into the other, draw() expands each into a camera-facing sprite. The loop
// retires a system once its `time` is past 1.5 s.
class ParticleSystem {
public:
    static constexpr int particleCount = 500;
    // Bytes of one particle record: type, position, age, velocity, lifetime, flydirection.
    static constexpr int recordSize = 40;

    // `updateShader` advances the particles by transform feedback,
    // `drawShader` expands them into sprites.
    ParticleSystem(const glm::vec3& position, int type, Shader* updateShader, Shader* drawShader);
    virtual ~ParticleSystem();
    ParticleSystem(const ParticleSystem&) = delete;
    ParticleSystem& operator=(const ParticleSystem&) = delete;

    // A frame of more than 0.1 s freezes the burst for that frame.
    void update(float deltaTime);
    // Sprites facing the camera's eye, seen through the camera.
    void draw(const Camera& camera);

    // "Textures/particle-3.png" for kinds 1 and 4, "Textures/particle-4.png"
    // for 2 and 3, "" for anything else.
    static std::string imageOf(int type);

    GLuint updateVAO[2] = {0, 0};
    // [0] is read by the next update, [1] written by it.
    GLuint particleBuffers[2] = {0, 0};
    GLuint drawVAO[2] = {0, 0};
    // The update pass writes through a feedback object of its own, so no
    // other user's binding is disturbed.
    GLuint transformFeedback = 0;
    float time = 0.0f;
    int current = 0;
    Shader* updateShader = nullptr;
    Shader* drawShader = nullptr;
    GLuint texture = 0;

private:
    void loadTexture(const std::string& path);
};

} // namespace frosk::particlesystem
