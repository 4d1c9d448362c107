#pragma once

#include "event_log.h"

#include <cstddef>
#include <map>

namespace autoplay {

// Checks that a level change leaves nothing behind: once the cakes of the
// old level have gone and its bursts have faded, the world holds as many
// bodies, and GL as many objects, as the last time the same layout stood in
// the same quiet state. Images are loaded once per run, so GL counts are
// compared only once both layouts have stood.
class LeakCheck {
public:
    explicit LeakCheck(const EventLog& log) : log(log) {}

    void levelBuilt(int layout);
    // Measures at the first quiet frame after a level was built.
    void afterFrame(int frame);
    bool waiting() const { return pending; }

    int checks = 0;
    int failures = 0;

private:
    static int glObjectCount();

    const EventLog& log;
    bool pending = false;
    int layout = 0;
    bool bothSeen = false;
    std::map<int, std::size_t> bodies;
    std::map<int, int> glObjects;
    std::map<int, bool> seen;
};

} // namespace autoplay
