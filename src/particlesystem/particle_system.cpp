#include "particlesystem/particle_system.h"

#include "common/camera.h"
#include "modelLoader/image_texture.h"
#include "shader/names.h"
#include "shader/shader.h"

#include <glm/gtc/type_ptr.hpp>

#include <array>
#include <cstddef>
#include <cstdint>
#include <random>

namespace frosk::particlesystem {

namespace {

struct Particle {
    float type;
    glm::vec3 position;
    float age;
    float velocity;
    float lifetime;
    glm::vec3 flydirection;
};
static_assert(sizeof(Particle) == ParticleSystem::recordSize);

struct Attribute {
    const char* name;
    GLint components;
    std::size_t offset;
};

const Attribute updateAttributes[] = {{attribute::type, 1, offsetof(Particle, type)},
                                      {attribute::position, 3, offsetof(Particle, position)},
                                      {attribute::age, 1, offsetof(Particle, age)},
                                      {attribute::velocity, 1, offsetof(Particle, velocity)},
                                      {attribute::lifetime, 1, offsetof(Particle, lifetime)},
                                      {attribute::flydirection, 3, offsetof(Particle, flydirection)}};
const Attribute drawAttributes[] = {{attribute::type, 1, offsetof(Particle, type)},
                                    {attribute::position, 3, offsetof(Particle, position)}};

template <std::size_t N>
void buildVertexArray(GLuint vertexArray, GLuint buffer, GLuint program, const Attribute (&attributes)[N])
{
    glBindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    for (const Attribute& attribute : attributes) {
        const GLint location = glGetAttribLocation(program, attribute.name);
        if (location < 0)
            continue;
        glEnableVertexAttribArray(static_cast<GLuint>(location));
        glVertexAttribPointer(static_cast<GLuint>(location), attribute.components, GL_FLOAT, GL_FALSE,
                              ParticleSystem::recordSize, reinterpret_cast<const void*>(attribute.offset));
    }
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

// x / 2^64 in float: outputs near 2^64 round to exactly 1.
float unitRandom(std::mt19937_64& engine)
{
    const float scale = static_cast<float>(UINT64_MAX) + 1.0f;
    return static_cast<float>(engine()) / scale;
}

} // namespace

ParticleSystem::ParticleSystem(const glm::vec3& position, int type, Shader* updateShader, Shader* drawShader)
    : updateShader(updateShader), drawShader(drawShader)
{
    std::random_device device;
    std::mt19937_64 engine(static_cast<std::mt19937_64::result_type>(device()));
    std::array<Particle, particleCount> records;
    for (Particle& particle : records) {
        particle.type = 0.0f;
        particle.position = position;
        particle.age = 0.0f;
        particle.velocity = unitRandom(engine) * 1.5f + 2.5f;
        particle.lifetime = unitRandom(engine) * 0.5f + 0.5f;
        particle.flydirection.x = unitRandom(engine) * 2.0f - 1.0f;
        particle.flydirection.y = unitRandom(engine) * 2.0f - 1.0f;
        particle.flydirection.z = unitRandom(engine) * 2.0f - 1.0f;
    }

    loadTexture(imageOf(type));

    glGenBuffers(2, particleBuffers);
    for (GLuint buffer : particleBuffers) {
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        glBufferData(GL_ARRAY_BUFFER, particleCount * recordSize, records.data(), GL_STATIC_DRAW);
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glGenTransformFeedbacks(1, &transformFeedback);

    const GLuint update = updateShader->programHandle;
    glUseProgram(update);
    glUniform1f(glGetUniformLocation(update, uniform::deltaT), 0.0f);

    glGenVertexArrays(2, updateVAO);
    glGenVertexArrays(2, drawVAO);
    for (int i = 0; i < 2; ++i) {
        buildVertexArray(updateVAO[i], particleBuffers[i], update, updateAttributes);
        buildVertexArray(drawVAO[i], particleBuffers[i], drawShader->programHandle, drawAttributes);
    }

    const GLuint draw = drawShader->programHandle;
    glUseProgram(draw);
    const glm::mat4 identity(1.0f);
    glUniformMatrix4fv(glGetUniformLocation(draw, uniform::modelMatrix), 1, GL_FALSE, glm::value_ptr(identity));
}

ParticleSystem::~ParticleSystem()
{
    glDeleteVertexArrays(2, updateVAO);
    glDeleteVertexArrays(2, drawVAO);
    glDeleteBuffers(2, particleBuffers);
    glDeleteTransformFeedbacks(1, &transformFeedback);
    if (texture != 0)
        glDeleteTextures(1, &texture);
}

std::string ParticleSystem::imageOf(int type)
{
    switch (type) {
    case 1:
    case 4:
        return "Textures/particle-3.png";
    case 2:
    case 3:
        return "Textures/particle-4.png";
    default:
        return "";
    }
}

void ParticleSystem::loadTexture(const std::string& path)
{
    const GLuint loaded = modelLoader::loadImageTexture(path, modelLoader::FirstRow::bottom);
    if (loaded == 0)
        return;
    texture = loaded;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void ParticleSystem::update(float deltaTime)
{
    // The float nearest 0.1 lies above the double 0.1, so a frame of 0.1 s
    // already counts as too long.
    if (static_cast<double>(deltaTime) > 0.1)
        deltaTime = 0.0f;
    time += deltaTime;

    const GLuint program = updateShader->programHandle;
    glUseProgram(program);
    glUniform1f(glGetUniformLocation(program, uniform::deltaT), deltaTime);

    glEnable(GL_RASTERIZER_DISCARD);
    glBindTransformFeedback(GL_TRANSFORM_FEEDBACK, transformFeedback);
    glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, particleBuffers[1]);
    glBindVertexArray(updateVAO[current]);
    glBeginTransformFeedback(GL_POINTS);
    glDrawArrays(GL_POINTS, 0, particleCount);
    glEndTransformFeedback();
    glBindVertexArray(0);
    glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, 0);
    glBindTransformFeedback(GL_TRANSFORM_FEEDBACK, 0);
    glDisable(GL_RASTERIZER_DISCARD);

    current = (current + 1) % 2;
    std::swap(particleBuffers[0], particleBuffers[1]);
}

void ParticleSystem::draw(const Camera& camera)
{
    const GLuint program = drawShader->programHandle;
    glUseProgram(program);
    glUniformMatrix4fv(glGetUniformLocation(program, uniform::viewMatrix), 1, GL_FALSE, glm::value_ptr(camera.view));
    glUniformMatrix4fv(glGetUniformLocation(program, uniform::projectionMatrix), 1, GL_FALSE,
                       glm::value_ptr(camera.projection));
    glUniform3fv(glGetUniformLocation(program, uniform::cameraPosition), 1, glm::value_ptr(camera.position));
    glUniform1i(glGetUniformLocation(program, uniform::colorTexture), 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);

    glDepthMask(GL_FALSE);
    // The buffer the latest update read: the drawn state lags one update.
    glBindVertexArray(drawVAO[(current + 1) % 2]);
    glDrawArrays(GL_POINTS, 0, particleCount);
    glBindVertexArray(0);
    glDepthMask(GL_TRUE);
}

} // namespace frosk::particlesystem
