#pragma once

#include <vector>

namespace bench {

// Order statistics of a series of frame times (milliseconds).
struct Summary {
    int count = 0;
    double median = 0.0;
    double p99 = 0.0;
    double mean = 0.0;
    double max = 0.0;
    // Frames per second over the slowest 1 % of frames (at least one frame).
    double onePercentLowFps = 0.0;
};

Summary summarize(std::vector<double> values);

} // namespace bench
