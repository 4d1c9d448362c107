// Particle bursts on the GPU: their records read back, their clock, their
// images and their sprites in pixels.
#include "particlesystem/particle_system.h"

#include "common/camera.h"
#include "shader/shader.h"
#include "support/gl_context.h"
#include "support/offscreen.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <memory>
#include <vector>

using frosk::particlesystem::ParticleSystem;

namespace {

struct Particle {
    float type;
    glm::vec3 position;
    float age;
    float velocity;
    float lifetime;
    glm::vec3 flydirection;
};

} // namespace

class Burst : public testsupport::GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        if (HasFatalFailure())
            return;
        update = std::make_unique<frosk::Shader>("Shader/particle_update.vert", "Shader/particle_update.geo", true);
        draw = std::make_unique<frosk::Shader>("Shader/particle_draw.vert", "Shader/particle_draw.geo",
                                               "Shader/particle_draw.frag");
    }
    void TearDown() override
    {
        draw.reset();
        update.reset();
        GlTest::TearDown();
    }

    std::unique_ptr<ParticleSystem> burst(int type, const glm::vec3& at = glm::vec3(1, 2, 3))
    {
        return std::make_unique<ParticleSystem>(at, type, update.get(), draw.get());
    }

    static std::vector<Particle> records(GLuint buffer)
    {
        std::vector<Particle> out(ParticleSystem::particleCount);
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        glGetBufferSubData(GL_ARRAY_BUFFER, 0, ParticleSystem::particleCount * ParticleSystem::recordSize,
                           out.data());
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        return out;
    }

    static std::vector<unsigned char> texels(GLuint texture)
    {
        glBindTexture(GL_TEXTURE_2D, texture);
        GLint width = 0, height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        std::vector<unsigned char> out(static_cast<std::size_t>(width * height * 4));
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        return out;
    }

    std::unique_ptr<frosk::Shader> update;
    std::unique_ptr<frosk::Shader> draw;
};

TEST_F(Burst, StartsWithFiveHundredRandomParticlesAtTheEmitter)
{
    auto system = burst(1);
    const std::vector<Particle> first = records(system->particleBuffers[0]);
    const std::vector<Particle> second = records(system->particleBuffers[1]);
    float slowest = 10.0f, fastest = 0.0f;
    for (std::size_t i = 0; i < first.size(); ++i) {
        const Particle& p = first[i];
        EXPECT_EQ(p.type, 0.0f);
        EXPECT_EQ(p.age, 0.0f);
        EXPECT_EQ(p.position, glm::vec3(1, 2, 3));
        EXPECT_GE(p.velocity, 2.5f);
        EXPECT_LE(p.velocity, 4.0f);
        EXPECT_GE(p.lifetime, 0.5f);
        EXPECT_LE(p.lifetime, 1.0f);
        for (int c = 0; c < 3; ++c) {
            EXPECT_GE(p.flydirection[c], -1.0f);
            EXPECT_LE(p.flydirection[c], 1.0f);
        }
        EXPECT_EQ(p.velocity, second[i].velocity) << "both buffers start alike";
        slowest = std::min(slowest, p.velocity);
        fastest = std::max(fastest, p.velocity);
    }
    EXPECT_GT(fastest - slowest, 1.0f) << "spread over the range";

    // Every burst draws numbers of its own.
    auto other = burst(1);
    EXPECT_NE(records(other->particleBuffers[0])[0].velocity, first[0].velocity);
    EXPECT_EQ(testsupport::glErrors(), "");
}

TEST_F(Burst, LongFramesFreezeItAndShortOnesAgeIt)
{
    auto system = burst(2);
    system->update(0.15f);
    system->update(0.1f);
    EXPECT_EQ(system->time, 0.0f) << "0.1 s in float is already above 0.1";
    EXPECT_EQ(system->current, 0) << "two passes swap twice";
    for (const Particle& p : records(system->particleBuffers[0]))
        ASSERT_EQ(p.age, 0.0f);

    system->update(0.099f);
    EXPECT_FLOAT_EQ(system->time, 0.099f);
    EXPECT_EQ(system->current, 1);
    // The newest records are in the buffer the next update reads.
    const std::vector<Particle> newest = records(system->particleBuffers[0]);
    int moved = 0;
    for (const Particle& p : newest) {
        EXPECT_FLOAT_EQ(p.age, 0.099f);
        if (glm::length(p.position - glm::vec3(1, 2, 3)) > 0.05f)
            ++moved;
    }
    EXPECT_GT(moved, 400);

    int updates = 1;
    while (system->time <= 1.5f) {
        system->update(1.0f / 60.0f);
        ++updates;
    }
    EXPECT_EQ(updates - 1, 85) << "0.099 s and then 85 sixtieths pass 1.5 s";
    EXPECT_EQ(testsupport::glErrors(), "");
}

TEST_F(Burst, KindsOneAndFourShareAnImageTwoAndThreeTheOther)
{
    EXPECT_EQ(ParticleSystem::imageOf(1), ParticleSystem::imageOf(4));
    EXPECT_EQ(ParticleSystem::imageOf(2), ParticleSystem::imageOf(3));
    EXPECT_NE(ParticleSystem::imageOf(1), ParticleSystem::imageOf(2));

    auto one = burst(1);
    auto four = burst(4);
    auto two = burst(2);
    ASSERT_NE(one->texture, 0u);
    ASSERT_NE(two->texture, 0u);
    EXPECT_EQ(texels(one->texture), texels(four->texture));
    EXPECT_NE(texels(one->texture), texels(two->texture));

    testing::internal::CaptureStdout();
    auto none = burst(7);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Could not load Image: ");
    EXPECT_EQ(none->texture, 0u);
    none->update(0.016f);
    none->draw(frosk::Camera::looking(glm::mat4(1.0f), glm::vec3(0.0f), 800, 600));
    EXPECT_EQ(testsupport::glErrors(), "") << "a burst without image still runs";
}

TEST_F(Burst, SpritesBurstOutAndReleaseEveryGlObject)
{
    testsupport::OffscreenTarget target(400, 300);
    std::vector<std::unique_ptr<ParticleSystem>> bursts;
    bursts.push_back(burst(1, glm::vec3(-0.8f, 0.0f, 0.0f)));
    bursts.push_back(burst(2, glm::vec3(0.8f, 0.0f, 0.0f)));

    const glm::vec3 eye(0.0f, 0.5f, -4.0f);
    // The sprites face the origin rather than the eye; close enough here.
    const frosk::Camera camera =
        frosk::Camera::looking(glm::lookAt(eye, glm::vec3(0.0f), glm::vec3(0, 1, 0)), glm::vec3(0.0f), 800, 600);
    for (int i = 0; i < 12; ++i)
        for (auto& b : bursts)
            b->update(1.0f / 60.0f);

    target.clear(glm::vec4(0.1f, 0.1f, 0.15f, 1.0f));
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_DEPTH_TEST);
    for (auto& b : bursts)
        b->draw(camera);
    target.savePng("particle_bursts");
    const std::vector<unsigned char> rgba = target.readRgba();
    int lit = 0;
    for (std::size_t i = 0; i < rgba.size(); i += 4)
        if (rgba[i] + rgba[i + 1] + rgba[i + 2] > 120)
            ++lit;
    EXPECT_GT(lit, 1500);
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites) << "depth writes are back on";
    target.unbind();

    const ParticleSystem& b = *bursts.front();
    const GLuint buffers[2] = {b.particleBuffers[0], b.particleBuffers[1]};
    const GLuint arrays[4] = {b.updateVAO[0], b.updateVAO[1], b.drawVAO[0], b.drawVAO[1]};
    const GLuint texture = b.texture, feedback = b.transformFeedback;
    bursts.clear();
    for (GLuint buffer : buffers)
        EXPECT_FALSE(glIsBuffer(buffer));
    for (GLuint array : arrays)
        EXPECT_FALSE(glIsVertexArray(array));
    EXPECT_FALSE(glIsTexture(texture));
    EXPECT_FALSE(glIsTransformFeedback(feedback));
    EXPECT_EQ(testsupport::glErrors(), "");
}
