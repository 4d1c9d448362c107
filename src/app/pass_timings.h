#pragma once

#include <string>
#include <vector>

namespace frosk {

struct PassTiming {
    std::string name;
    double milliseconds;
};

// GL timer queries (GL_TIME_ELAPSED) around each pass of a frame: "shadow",
// "glow", "blur", "scene", "composite", "overlay" (and "physics debug" when
// on). Off unless enabled; when off, costs nothing. Turning them off deletes
// the queries, so do it while the context is still current.
void enablePassTimings(bool on);
// The timings of the most recent frame whose queries have finished (may wait
// for them). Empty when off.
std::vector<PassTiming> lastPassTimings();

// Times the GL work issued during its life as the pass `name` of the current
// frame. Passes do not nest: a timer started while another runs times nothing.
class PassTimer {
public:
    explicit PassTimer(const char* name);
    ~PassTimer();
    PassTimer(const PassTimer&) = delete;
    PassTimer& operator=(const PassTimer&) = delete;

private:
    bool running = false;
};

// The passes timed since the previous call make one frame. A pass timed a
// second time before the call also starts a new frame.
void endPassTimingFrame();

} // namespace frosk
