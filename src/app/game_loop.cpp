#include "app/game.h"

#include "app/config.h"
#include "app/globals.h"
#include "app/pass_timings.h"
#include "controls/controller.h"
#include "controls/input.h"
#include "levels/level1.h"
#include "levels/level2.h"
#include "effects/shadow_mapping.h"
#include "particlesystem/particle_system.h"
#include "physicsengine/game_lists.h"
#include "physicsengine/physics.h"
#include "scene/cake.h"
#include "scene/hand.h"
#include "shader/shader.h"

#include <GLFW/glfw3.h>
#include <glm/gtc/type_ptr.hpp>

#include <algorithm>
#include <cmath>

namespace frosk {

double FrameClock::tick(double now)
{
    frames += 1;
    const double dt = now - previous;
    previous = now;
    accumulator += dt;
    if (accumulator > 1.0) {
        fpsText = "FPS:" + std::to_string(frames);
        accumulator = 0.0;
        frames = 0;
    }
    return dt;
}

double clockStep(double dt)
{
    return dt <= longFrame ? dt * 1000.0 : 0.0;
}

void decideStatus(GameState& state, double millisecondsLeft, bool cakesInFlight)
{
    if (state.targetsLeft == 0)
        state.status = GameState::won;
    else if ((state.cakesLeft <= 0 && !cakesInFlight) || millisecondsLeft <= 0.0)
        state.status = GameState::lost;
}

namespace {

// Bursts older than 1.5 s are retired; the others advance.
void updateParticleSystems(double dt)
{
    auto& systems = physicsengine::particleSystems;
    for (auto it = systems.begin(); it != systems.end();) {
        if ((*it)->time > 1.5f) {
            delete *it;
            it = systems.erase(it);
        } else {
            (*it)->update(static_cast<float>(dt));
            ++it;
        }
    }
}

// A cake more than 50 units from the origin is gone for good: deleted, with
// its body taken out of the world.
void retireFarCakes()
{
    auto& cakes = physicsengine::thrownCakes;
    const auto far = std::stable_partition(cakes.begin(), cakes.end(), [](const scene::Cake* thrown) {
        return glm::length(thrown->position()) <= 50.0f;
    });
    std::vector<physicsengine::Body*> bodies;
    for (auto it = far; it != cakes.end(); ++it) {
        bodies.push_back((*it)->actor);
        delete *it;
    }
    cakes.erase(far, cakes.end());
    physics->removeBodies(bodies);
}

void setUniform(const Shader* program, const char* name, const glm::vec3& value)
{
    glUniform3fv(glGetUniformLocation(program->programHandle, name), 1, glm::value_ptr(value));
}

void setUniform(const Shader* program, const char* name, const glm::mat4& value)
{
    glUniformMatrix4fv(glGetUniformLocation(program->programHandle, name), 1, GL_FALSE, glm::value_ptr(value));
}

// The camera of this frame into every program that draws with it.
void uploadCamera()
{
    const glm::vec3& eye = controller->position;
    const glm::mat4& view = controller->viewMatrix;
    for (const Shader* program : {toonMaterialShader, toonTextureShader, shadowTextureShader, shadowMaterialShader}) {
        glUseProgram(program->programHandle);
        setUniform(program, "cameraPosition", eye);
    }
    for (const Shader* program : {textureShader, basicShader}) {
        glUseProgram(program->programHandle);
        setUniform(program, "viewMatrix", view);
        setUniform(program, "cameraPosition", eye);
    }
    for (const Shader* program : {skyShader, bloomShader, bloomCoverShader}) {
        glUseProgram(program->programHandle);
        setUniform(program, "viewMatrix", view);
    }
    for (const particlesystem::ParticleSystem* system : physicsengine::particleSystems) {
        glUseProgram(system->drawShader->programHandle);
        setUniform(system->drawShader, "viewMatrix", view);
    }
}

// The shadow casters of this frame, drawn from the light into the shadow map:
// those that never move only when they changed, into the map's cache.
void shadowPass()
{
    PassTimer timer("shadow");
    if (shadowMapping->cacheStaticCasters) {
        if (level->staticCastersChanged()) {
            shadowMapping->startStaticPass();
            level->drawStaticDepth();
        }
        shadowMapping->startMovingPass();
        level->drawMovingDepth();
        for (scene::Cake* thrown : physicsengine::thrownCakes)
            shadowMapping->drawMovingCaster(*thrown);
    } else {
        shadowMapping->startPass1();
        level->drawDepth();
        for (scene::Cake* thrown : physicsengine::thrownCakes)
            thrown->drawDepth();
    }

    glDisable(GL_CULL_FACE);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, config->width, config->height);
}

} // namespace

void update(double dt)
{
    *timeLeft -= clockStep(dt);
    updateParticleSystems(dt);

    physics->step(dt);
    // Bodies the reports queued leave the world only now that the step is over.
    physics->removeBodies(physicsengine::actorsToRemove);
    retireFarCakes();

    level->update(dt);
    hand->update(dt);
    cake->update(dt);
    for (scene::Cake* thrown : physicsengine::thrownCakes)
        thrown->update(dt);
    controller->update(dt);
    shadowMapping->view = controller->viewMatrix;
    uploadCamera();

    shadowPass();
    decideStatus(*gameState, *timeLeft, !physicsengine::thrownCakes.empty());
}

void advanceLevel()
{
    const bool won = gameState->status == GameState::won;
    if (!won && gameState->status != GameState::lost)
        return;
    if (won)
        gameState->startNextLevel();
    else
        gameState->restart();
    *timeLeft = 120000.0;
    physics->setPlayerPosition(glm::dvec3(0.0, 3.0, 0.0));

    delete level;
    level = nullptr;
    // Odd level numbers play in the summer forest, even ones in the winter wood.
    if (gameState->level % 2 != 0)
        level = new levels::Level1(levelResources());
    else
        level = new levels::Level2(levelResources());
}

bool runFrame(GLFWwindow* window, controls::InputSource& input, FrameClock& clock, double now)
{
    if (glfwWindowShouldClose(window))
        return false;
    const double dt = clock.tick(now);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glfwPollEvents();
    update(dt);
    drawFrame();
    glfwSwapBuffers(window);
    advanceLevel();
    return !input.keyPressed(GLFW_KEY_ESCAPE);
}

} // namespace frosk
