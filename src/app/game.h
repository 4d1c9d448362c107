#pragma once

#include "app/game_state.h"

struct GLFWwindow;

namespace frosk {

namespace controls {
class InputSource;
}

// The whole program: configuration, window, start-up, frame loop, shut-down.
// Returns the process exit status.
int runGame();

// Start-up and shut-down of the application-wide objects (see globals.h).
// The player reads keys, buttons and cursor from `input` for the whole run.
void initialize(GLFWwindow* window, controls::InputSource& input);
void shutdown();
// The GL state the frame loop starts from: blending on (F9 turns it off),
// the clear colour and the window's viewport. Call after initialize.
void setLoopGlState();

namespace levels {
struct LevelResources;
}
// What every level is built with: the shared programs, effects and world.
levels::LevelResources levelResources();

// One frame's work, in the order the loop calls them.
void update(double dt);
void drawFrame();
void advanceLevel();

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

// One pass of the frame loop at time `now`; false once the loop should end
// (window closed before the frame, or Escape held after it).
bool runFrame(GLFWwindow* window, controls::InputSource& input, FrameClock& clock, double now);

// Frames longer than this do not count against the level clock (the physics
// world has the same limit for its step).
constexpr double longFrame = 0.1;

// Milliseconds a frame of dt seconds takes off the level clock.
double clockStep(double dt);
// The win and loss rules, checked every frame; a win beats a loss.
void decideStatus(GameState& state, double millisecondsLeft, bool cakesInFlight);

} // namespace frosk
