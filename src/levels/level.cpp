#include "levels/level.h"

#include "scene/target.h"

#include <algorithm>

namespace frosk::levels {

// Targets are only ever taken out of a level, never added, so their count
// tells whether the standing ones are still those of the last call.
bool Level::staticCastersChanged()
{
    const std::ptrdiff_t standing = std::count_if(targets.begin(), targets.end(), [](const scene::Target* target) {
        return target != nullptr && target->standsStill();
    });
    const bool changed = standing != standingTargetsSeen;
    standingTargetsSeen = standing;
    return changed;
}

} // namespace frosk::levels
