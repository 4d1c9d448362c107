#pragma once

#include <string>
#include <vector>

namespace bench {

struct PassSample {
    std::string name;
    double milliseconds;
};

// The game's per-pass GL timer queries, seen through one narrow door so the
// benchmark does not depend on how they are kept.
void timePasses(bool on);
// The passes of the newest frame whose timings are in; empty when off.
std::vector<PassSample> passTimes();

} // namespace bench
