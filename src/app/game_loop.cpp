#include "app/game.h"

#include "app/config.h"
#include "common/globals.h"
#include "controls/controller.h"
#include "controls/input.h"
#include "levels/level.h"
#include "levels/level_cycle.h"
#include "physicsengine/physics.h"
#include "physicsengine/px_callback.h"
#include "scene/cake.h"
#include "scene/flight.h"
#include "scene/hand.h"
#include "scene/target.h"
#include "sound/sound.h"

#include <GLFW/glfw3.h>

#include <algorithm>

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

FrameLimiter::FrameLimiter(int perSecond) : period(perSecond > 0 ? 1.0 / perSecond : 0.0) {}

double FrameLimiter::waitAfterFrame(double now)
{
    if (period == 0.0)
        return 0.0;
    const double wait = std::max(0.0, frameStart + period - now);
    frameStart = now + wait;
    return wait;
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

// The game's side of the physics reports.
class GameRules : public physicsengine::GameEvents {
public:
    void targetTouched(scene::Target* first, scene::Target* second) override
    {
        if (level == nullptr || !level->destroyHitTarget(first, second))
            return;
        gameState->targetHit();
        gameState->addScore();
    }

    bool burstCake(std::uint32_t cakeId) override { return scene::burstCake(cakeId); }
};

// While paused, a frame waits at most this long (seconds) for the window's
// events before it shows the picture again: the loop does not spin, and the
// first frame after the pause is no longer than any other.
constexpr double pausedFrameWait = 0.05;

// The game stands still whenever another window has the focus.
void followFocus(controls::InputSource& input)
{
    const bool focused = input.focused();
    if (!focused && !paused) {
        paused = true;
        pauseAllSound();
    } else if (focused && paused) {
        paused = false;
        resumeAllSound();
        // The cursor may have wandered while it belonged to another window.
        controller->forgetCursorMotion();
    }
}

// Every frame's composite covers the configured width x height of the window,
// and nothing reads the window's depth. Only a window larger than that (a
// full-screen mode that did not match, a window manager that enlarged it) has
// a margin that nothing else draws, and only then is the window cleared: a
// software rasteriser spends several percent of a frame on the clear.
void clearWhatTheCompositeLeaves(GLFWwindow* window)
{
    int width = 0;
    int height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    if (width > config->width || height > config->height)
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

} // namespace

physicsengine::GameEvents& gameEvents()
{
    static GameRules rules;
    return rules;
}

void update(double dt)
{
    *timeLeft -= clockStep(dt);
    scene::updateBursts(dt);

    physics->step(dt);
    // Bodies the reports queued leave the world only now that the step is over.
    physics->removeBodies(actorsToRemove);
    scene::retireFarCakes();

    level->update(dt);
    hand->update(dt);
    cake->update(dt);
    for (scene::Cake* thrown : thrownCakes)
        thrown->update(dt);
    controller->update(dt);
    decideStatus(*gameState, *timeLeft, !thrownCakes.empty());
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
    level = levels::buildLevel(gameState->level, levelResources());
    controller->showChosenTextureFilter();
}

bool runFrame(GLFWwindow* window, controls::InputSource& input, double dt, const FrameHooks& hooks)
{
    if (glfwWindowShouldClose(window))
        return false;
    clearWhatTheCompositeLeaves(window);
    if (paused)
        glfwWaitEventsTimeout(pausedFrameWait);
    else
        glfwPollEvents();
    const bool wasPaused = paused;
    followFocus(input);
    if (!paused)
        update(dt);
    if (hooks.afterUpdate)
        hooks.afterUpdate();
    // The world of a pause looks as it did when the pause began: that picture
    // is still in the off-screen targets.
    if (paused && wasPaused)
        drawPausedFrame();
    else
        drawFrame();
    if (hooks.beforeSwap)
        hooks.beforeSwap();
    glfwSwapBuffers(window);
    if (!paused)
        advanceLevel();
    return !controls::quitPressed(input);
}

} // namespace frosk
