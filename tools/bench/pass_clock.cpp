#include "pass_clock.h"

#include "app/pass_timings.h"

namespace bench {

void timePasses(bool on)
{
    frosk::enablePassTimings(on);
}

std::vector<PassSample> passTimes()
{
    std::vector<PassSample> samples;
    for (const frosk::PassTiming& timing : frosk::lastPassTimings())
        samples.push_back({timing.name, timing.milliseconds});
    return samples;
}

} // namespace bench
