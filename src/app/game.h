#pragma once

#include "common/game_state.h"

#include <functional>
#include <string>

struct GLFWwindow;

namespace frosk {

class Config;

namespace controls {
class InputSource;
}
namespace levels {
struct LevelResources;
}
namespace physicsengine {
class GameEvents;
}

// The whole program: configuration, window, start-up, frame loop, shut-down.
// Returns the process exit status.
int runGame();

// Opens the game's window at the size and mode of `settings` (hidden unless
// `visible`) with a current GL 3.3 core context and GL's entry points loaded.
// GLFW must be initialised. On failure returns null with the game's message
// for it in `failure`.
GLFWwindow* openWindow(const Config& settings, bool visible, std::string& failure);

// The game started on an open window whose GL 3.3 context is current, as the
// program starts it: `settings` become the configuration, the application-wide
// objects of common/globals.h are made in start-up order and the loop's GL
// state is set. The player reads keys, buttons and cursor from `input` for the
// whole run. The program, the tests, the autoplay tool and the benchmarks all
// start the game this way and end it with shutdown.
void initialize(GLFWwindow* window, controls::InputSource& input, const Config& settings);
// Everything initialize made, in the reverse order; the window stays open.
void shutdown();

// What every level is built with: the shared programs, effects and world.
levels::LevelResources levelResources();
// The game's side of the physics reports: hits score, cakes burst.
physicsengine::GameEvents& gameEvents();

// One frame's work, in the order the loop calls them.
void update(double dt);
void drawFrame();
void advanceLevel();
// The picture of a paused frame: the world as the last full frame drew it,
// with the HUD (saying "PAUSED") over it.
void drawPausedFrame();

// The loop's clock: frame time since the previous frame and the frame-rate
// text, refreshed whenever more than a second has piled up.
class FrameClock {
public:
    // Returns dt for a frame that starts at `now` (seconds).
    double tick(double now);

private:
    double previous = 0.0;
    int frames = 0;
    double accumulator = 0.0;
};

// The player's frame-rate limit: how long the loop waits after a frame so
// that frames start no more often than the limit allows. A frame that took
// longer than its share waits for nothing, and the next one's share counts
// from its own start, so a slow frame is not made up for by a burst.
class FrameLimiter {
public:
    // At most `perSecond` frames a second; 0 for no limit.
    explicit FrameLimiter(int perSecond);
    // Seconds to wait after a frame that ends at `now` (seconds).
    double waitAfterFrame(double now);

private:
    double period = 0.0;
    double frameStart = 0.0;
};

// Fixed points of a frame where a driver of the loop other than the player
// (the autoplay tool, the benchmark) may look or act; the game sets none.
struct FrameHooks {
    // The frame's state is decided (a win or loss shows in the status) and
    // nothing is drawn yet.
    std::function<void()> afterUpdate;
    // The frame's picture is in the back buffer, not yet shown.
    std::function<void()> beforeSwap;
};

// One pass of the frame loop with a frame time of dt seconds; false once the
// loop should end (window closed before the frame, or Escape or a pad's Start
// pressed since the last frame). While the window has no focus the game is
// paused: nothing moves, the sound stands still, the frame only waits for the
// window's events and shows the picture again.
bool runFrame(GLFWwindow* window, controls::InputSource& input, double dt, const FrameHooks& hooks = {});

// Frames longer than this do not count against the level clock (the physics
// world has the same limit for its step).
constexpr double longFrame = 0.1;

// Milliseconds a frame of dt seconds takes off the level clock.
double clockStep(double dt);
// The win and loss rules, checked every frame; a win beats a loss.
void decideStatus(GameState& state, double millisecondsLeft, bool cakesInFlight);

} // namespace frosk
