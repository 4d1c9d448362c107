#pragma once

#include "controls/input.h"

#include <map>
#include <random>

namespace bench {

// A player's round through the first level at 60 frames a second: walking a
// slow circle round the start while looking about, throwing often with short
// and long charges. Between frames it keeps `cakesInFlight` cakes in the air
// with launches of its own (the hand alone cannot throw that often), bursts a
// cake that has been about for `burstAfterFrames` as one at rest bursts (three
// seconds by default; most come to rest later than that), and keeps the level going: time, cakes and targets never run out, so the level never
// changes under the measurement.
class FrameScript {
public:
    explicit FrameScript(frosk::controls::ScriptedInput& input, int cakesInFlight = 20, int burstAfterFrames = 180);

    // The input of the next frame.
    void beforeFrame();
    // Launches and counters after the frame.
    void afterFrame();
    // Lets go of everything, so the held cake comes back to the hand.
    void stop();

    int frame = 0;
    int launched = 0;

private:
    void launchCake();
    void burstOldCakes();

    frosk::controls::ScriptedInput& input;
    int cakesInFlight;
    int burstAfterFrames;
    int holdFrames = 0;
    int chargeIndex = 0;
    std::mt19937 random{20261207};
    // Frame each cake in flight was first seen, by cake id.
    std::map<int, int> firstSeen;
};

} // namespace bench
