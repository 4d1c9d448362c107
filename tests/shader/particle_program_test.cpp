// The particle programs run for real: update steps through transform
// feedback, read back from the GPU, and sprites drawn into an off-screen target.
#include "drawing.h"
#include "shader/shader.h"
#include "support/gl_context.h"
#include "support/offscreen.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cstddef>
#include <random>
#include <tuple>
#include <vector>

namespace {

// The 40-byte record of the particle buffers.
struct Particle {
    float type;
    glm::vec3 position;
    float age;
    float velocity;
    float lifetime;
    glm::vec3 flydirection;
};
static_assert(sizeof(Particle) == 40);

class ParticleUpdate : public testsupport::GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        if (HasFatalFailure())
            return;
        shader = std::make_unique<frosk::Shader>("Shader/particle_update.vert", "Shader/particle_update.geo", true);
        glGenBuffers(2, buffers);
        glGenVertexArrays(1, &vertexArray);
        glGenQueries(1, &written);
    }
    void TearDown() override
    {
        glDeleteQueries(1, &written);
        glDeleteVertexArrays(1, &vertexArray);
        glDeleteBuffers(2, buffers);
        shader.reset();
        GlTest::TearDown();
    }

    // One update step of `particles` by `deltaT`, as the particle system runs it.
    std::vector<Particle> step(const std::vector<Particle>& particles, float deltaT)
    {
        const GLsizeiptr bytes = static_cast<GLsizeiptr>(particles.size() * sizeof(Particle));
        glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
        glBufferData(GL_ARRAY_BUFFER, bytes, particles.data(), GL_STATIC_DRAW);
        // The output starts as garbage so that a record left unwritten shows.
        std::vector<Particle> garbage(particles.size() + 1, Particle{-7, glm::vec3(-7), -7, -7, -7, glm::vec3(-7)});
        glBindBuffer(GL_ARRAY_BUFFER, buffers[1]);
        glBufferData(GL_ARRAY_BUFFER, bytes + static_cast<GLsizeiptr>(sizeof(Particle)), garbage.data(), GL_STATIC_DRAW);

        const GLuint program = shader->programHandle;
        glBindVertexArray(vertexArray);
        glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
        const struct { const char* name; int components; size_t offset; } fields[] = {
            {"type", 1, offsetof(Particle, type)},         {"position", 3, offsetof(Particle, position)},
            {"age", 1, offsetof(Particle, age)},           {"velocity", 1, offsetof(Particle, velocity)},
            {"lifetime", 1, offsetof(Particle, lifetime)}, {"flydirection", 3, offsetof(Particle, flydirection)}};
        for (const auto& f : fields) {
            const GLuint location = static_cast<GLuint>(glGetAttribLocation(program, f.name));
            glEnableVertexAttribArray(location);
            glVertexAttribPointer(location, f.components, GL_FLOAT, GL_FALSE, sizeof(Particle),
                                  reinterpret_cast<const void*>(f.offset));
        }

        glUseProgram(program);
        glUniform1f(glGetUniformLocation(program, "deltaT"), deltaT);
        glEnable(GL_RASTERIZER_DISCARD);
        glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, buffers[1]);
        glBeginQuery(GL_TRANSFORM_FEEDBACK_PRIMITIVES_WRITTEN, written);
        glBeginTransformFeedback(GL_POINTS);
        glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(particles.size()));
        glEndTransformFeedback();
        glEndQuery(GL_TRANSFORM_FEEDBACK_PRIMITIVES_WRITTEN);
        glDisable(GL_RASTERIZER_DISCARD);
        glBindVertexArray(0);

        GLuint records = 0;
        glGetQueryObjectuiv(written, GL_QUERY_RESULT, &records);
        lastWritten = records;
        std::vector<Particle> out(particles.size() + 1);
        glBindBuffer(GL_TRANSFORM_FEEDBACK_BUFFER, buffers[1]);
        glGetBufferSubData(GL_TRANSFORM_FEEDBACK_BUFFER, 0, static_cast<GLsizeiptr>(out.size() * sizeof(Particle)),
                           out.data());
        glBindBuffer(GL_TRANSFORM_FEEDBACK_BUFFER, 0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        return out;
    }

    std::unique_ptr<frosk::Shader> shader;
    GLuint buffers[2] = {0, 0};
    GLuint vertexArray = 0;
    GLuint written = 0;
    GLuint lastWritten = 0;
};

TEST_F(ParticleUpdate, OneStepAgesMovesAndRetiresWithOneRecordPerParticle)
{
    const std::vector<Particle> in = {
        {0, glm::vec3(1, 2, 3), 0.0f, 3.0f, 0.8f, glm::vec3(1, 0, 0)},      // just born
        {0.9f, glm::vec3(0, 1, 0), 0.75f, 2.5f, 0.8f, glm::vec3(0, 1, 0)},  // expires in this step
        {1, glm::vec3(5, 5, 5), 2.0f, 4.0f, 0.6f, glm::vec3(-1, 1, 1)},     // expired long ago
        {0, glm::vec3(0), 0.2f, 4.0f, 1.0f, glm::vec3(0.5f, 1.0f, -0.5f)},  // in mid-flight
    };
    const float dt = 0.1f;
    const std::vector<Particle> out = step(in, dt);

    EXPECT_EQ(lastWritten, in.size());
    EXPECT_EQ(out[in.size()].age, -7.0f) << "a record beyond the last particle was written";
    for (size_t i = 0; i < in.size(); ++i) {
        EXPECT_FLOAT_EQ(out[i].age, in[i].age + dt) << "particle " << i;
        EXPECT_EQ(out[i].lifetime, in[i].lifetime) << "particle " << i;
    }

    // Flies along its direction, slowed by the air, while gravity pulls it down.
    EXPECT_GT(out[0].position.x, 1.0f + 0.7f * 3.0f * dt);
    EXPECT_LT(out[0].position.x, 1.0f + 3.0f * dt);
    EXPECT_LT(out[0].position.y, 2.0f);
    EXPECT_GT(out[0].position.y, 2.0f - 9.81f * dt * dt * 1.5f);
    EXPECT_NEAR(out[0].position.z, 3.0f, 1e-6f);
    EXPECT_LT(out[0].flydirection.y, 0.0f);
    EXPECT_LT(out[0].velocity, in[0].velocity);
    EXPECT_GT(out[0].velocity, 0.7f * in[0].velocity);
    EXPECT_NEAR(out[0].type, dt / 0.8f, 1e-5f) << "type carries the phase of life";
    EXPECT_GT(out[3].position.y, 0.0f);
    EXPECT_GT(out[3].type, 0.2f);
    EXPECT_LT(out[3].type, 1.0f);

    // Expiring stops the particle where it is.
    for (size_t i : {1u, 2u}) {
        EXPECT_EQ(out[i].type, 1.0f) << "particle " << i;
        EXPECT_EQ(out[i].position, in[i].position) << "particle " << i;
        EXPECT_EQ(out[i].velocity, in[i].velocity) << "particle " << i;
    }
    EXPECT_EQ(testsupport::glErrors(), "");
}

TEST_F(ParticleUpdate, AStepOfZeroChangesNothing)
{
    // A long frame is passed on as 0: the burst must freeze exactly.
    const std::vector<Particle> in = {{0.25f, glm::vec3(1, 2, 3), 0.2f, 3.0f, 0.8f, glm::vec3(0.3f, -0.9f, 0.1f)},
                                      {0, glm::vec3(-4, 0, 2), 0.0f, 2.5f, 0.5f, glm::vec3(-1, 1, 1)}};
    const std::vector<Particle> out = step(in, 0.0f);
    for (size_t i = 0; i < in.size(); ++i) {
        EXPECT_EQ(out[i].position, in[i].position) << "particle " << i;
        EXPECT_EQ(out[i].flydirection, in[i].flydirection) << "particle " << i;
        EXPECT_EQ(out[i].age, in[i].age) << "particle " << i;
        EXPECT_EQ(out[i].velocity, in[i].velocity) << "particle " << i;
    }
    EXPECT_NEAR(out[0].type, 0.25f, 1e-6f);
}

TEST_F(ParticleUpdate, AWholeBurstHasExpiredBeforeItsSystemIsRetired)
{
    // 500 particles as a splash spawns them; 91 frames of 1/60 s retire the
    // system, and by then every particle (lifetime at most 1 s) must be gone.
    std::mt19937 random(7);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::vector<Particle> burst(500);
    for (Particle& p : burst)
        p = {0, glm::vec3(2, 1, -3), 0, unit(random) * 1.5f + 2.5f, unit(random) * 0.5f + 0.5f,
             glm::vec3(unit(random) * 2 - 1, unit(random) * 2 - 1, unit(random) * 2 - 1)};
    std::vector<Particle> state = burst;
    int aliveAtHalfSecond = 0;
    for (int frame = 1; frame <= 91; ++frame) {
        state = step(state, 1.0f / 60.0f);
        state.pop_back();
        ASSERT_EQ(lastWritten, 500u);
        if (frame == 29)
            for (const Particle& p : state)
                aliveAtHalfSecond += p.type < 1.0f;
    }
    EXPECT_EQ(aliveAtHalfSecond, 500) << "no lifetime is below 0.5 s";
    for (const Particle& p : state) {
        EXPECT_EQ(p.type, 1.0f);
        EXPECT_LT(glm::length(p.position - glm::vec3(2, 1, -3)), 5.0f) << "a splash stays near where it burst";
    }
}

class ParticleDraw : public testsupport::GlTest {};

TEST_F(ParticleDraw, LivingParticlesBecomeCameraFacingSpritesAndExpiredOnesVanish)
{
    // Strings, not literals: three literals would pick the transform-feedback
    // constructor, a literal converting to its bool.
    frosk::Shader shader(std::string("Shader/particle_draw.vert"), std::string("Shader/particle_draw.geo"),
                         std::string("Shader/particle_draw.frag"));
    const GLuint program = shader.programHandle;

    // A white, opaque particle image.
    const GLuint texture = shadertest::rgbTexture(4, 4, std::vector<unsigned char>(4 * 4 * 3, 255));
    const std::vector<Particle> particles = {
        {0.0f, glm::vec3(0, 0, 0), 0, 3, 1, glm::vec3(0)},     // just born, at the centre
        {1.0f, glm::vec3(0.5f, 0, 0), 2, 3, 1, glm::vec3(0)},  // expired, right of it
    };
    GLuint buffer = 0, vertexArray = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(Particle) * particles.size(), particles.data(), GL_STATIC_DRAW);
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    for (const auto& [name, components, offset] :
         {std::tuple{"type", 1, offsetof(Particle, type)}, std::tuple{"position", 3, offsetof(Particle, position)}}) {
        const GLuint location = static_cast<GLuint>(glGetAttribLocation(program, name));
        glEnableVertexAttribArray(location);
        glVertexAttribPointer(location, components, GL_FLOAT, GL_FALSE, sizeof(Particle), reinterpret_cast<const void*>(offset));
    }
    glBindVertexArray(0);

    testsupport::OffscreenTarget target(200, 200);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glUseProgram(program);
    shadertest::setMatrix(program, "modelMatrix", glm::mat4(1.0f));
    shadertest::setMatrix(program, "projectionMatrix", shadertest::cameraProjection(1.0f));
    glUniform1i(glGetUniformLocation(program, "colorTexture"), 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);

    // Seen from the front and from the side the sprite is the same square:
    // it turns to face the eye.
    int sideOfSquare[2] = {0, 0};
    const glm::vec3 eyes[2] = {glm::vec3(0, 0, 1), glm::vec3(-1, 0, 0)};
    for (int view = 0; view < 2; ++view) {
        target.clear(glm::vec4(0, 0, 0, 1));
        shadertest::setMatrix(program, "viewMatrix", glm::lookAt(eyes[view], glm::vec3(0), glm::vec3(0, 1, 0)));
        glUniform3fv(glGetUniformLocation(program, "cameraPosition"), 1, &eyes[view].x);
        glDepthMask(GL_FALSE);
        glBindVertexArray(vertexArray);
        glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(particles.size()));
        glBindVertexArray(0);
        glDepthMask(GL_TRUE);
        target.savePng(view == 0 ? "particle_sprite_front" : "particle_sprite_side");

        EXPECT_EQ(target.pixel(100, 100).r, 255) << "view " << view;
        int lit = 0;
        for (int x = 0; x < 200; ++x)
            lit += target.pixel(x, 100).r > 128;
        sideOfSquare[view] = lit;
        int column = 0;
        for (int y = 0; y < 200; ++y)
            column += target.pixel(100, y).r > 128;
        EXPECT_NEAR(column, lit, 1) << "a square sprite, view " << view;
    }
    // The 0.09 half size at 1 unit with a 60 degree view spans about 31 of 200 pixels.
    EXPECT_NEAR(sideOfSquare[0], 31, 2);
    EXPECT_NEAR(sideOfSquare[1], sideOfSquare[0], 1);
    target.unbind();
    glDisable(GL_BLEND);

    glDeleteVertexArrays(1, &vertexArray);
    glDeleteBuffers(1, &buffer);
    glDeleteTextures(1, &texture);
    EXPECT_EQ(testsupport::glErrors(), "");
}

} // namespace
