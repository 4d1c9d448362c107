#pragma once

#include <map>
#include <string>
#include <vector>

namespace bench {

struct RunOptions {
    int width = 1280;
    int height = 720;
    // Frames in each measured block, and how many times the blocks repeat.
    int frames = 300;
    int rounds = 2;
    // Steady-clock nanoseconds when the parent started this process; 0 if unknown.
    long long spawnedAt = 0;
    // Sample the main thread's CPU during update and drawFrame.
    bool profile = false;
    // Where to save a picture of a game frame and of an empty-scene frame
    // (binary PPM); empty for none.
    std::string pictures;
};

// Everything one run measured, by name: a series per frame or single values.
using Samples = std::map<std::string, std::vector<double>>;

// Starts the game on a window of the given size, plays it, measures and shuts
// it down again. Returns the samples, or an empty map when no window opened;
// the profile's report goes to `profile`.
Samples runGameAtSize(const RunOptions& options, std::vector<std::string>& profile);

// Steady-clock nanoseconds now.
long long steadyNanoseconds();

} // namespace bench
