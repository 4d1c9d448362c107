#pragma once

#include "levels/level.h"

namespace frosk::levels {

// The summer forest of the odd levels (summerForest in layouts.h).
class Level1 : public Level {
public:
    explicit Level1(const LevelResources& resources);
};

} // namespace frosk::levels
