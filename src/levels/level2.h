#pragma once

#include "levels/level.h"

namespace frosk::levels {

// The winter wood of the even levels (winterWood in layouts.h), with its
// family of snowmen by name.
class Level2 : public Level {
public:
    explicit Level2(const LevelResources& resources);

    // Views of `snowmen`, which owns them.
    scene::Snowman* man = nullptr;
    scene::Snowman* child = nullptr;
    scene::Snowman* woman = nullptr;
};

} // namespace frosk::levels
