#include "app/game.h"

#include "app/config.h"
#include "app/globals.h"
#include "controls/input.h"
#include "effects/shadow_mapping.h"
#include "physicsengine/game_lists.h"
#include "physicsengine/physics.h"

#include <GLFW/glfw3.h>

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

float physicsStep(double dt)
{
    return dt <= longFrame ? static_cast<float>(dt) : 1.0f / 60.0f;
}

void decideStatus(GameState& state, double millisecondsLeft, bool cakesInFlight)
{
    if (state.targetsLeft == 0)
        state.status = GameState::won;
    else if ((state.cakesLeft <= 0 && !cakesInFlight) || millisecondsLeft <= 0.0)
        state.status = GameState::lost;
}

namespace {

// The shadow casters of this frame, drawn from the light into the shadow map.
void shadowPass()
{
    shadowMapping->startPass1();

    glDisable(GL_CULL_FACE);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, config->width, config->height);
}

} // namespace

void update(double dt)
{
    *timeLeft -= clockStep(dt);

    physics->step(dt);
    // Bodies the reports queued leave the world only now that the step is over.
    physics->removeBodies(physicsengine::actorsToRemove);

    shadowPass();
    decideStatus(*gameState, *timeLeft, !physicsengine::thrownCakes.empty());
}

void advanceLevel()
{
    if (gameState->status == GameState::won) {
        gameState->startNextLevel();
        *timeLeft = 120000.0;
    } else if (gameState->status == GameState::lost) {
        gameState->restart();
        *timeLeft = 120000.0;
    }
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
