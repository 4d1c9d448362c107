#include "levels/level_cycle.h"

#include "levels/level1.h"
#include "levels/level2.h"

#include <iterator>

namespace frosk::levels {

namespace {

using Builder = Level* (*)(const LevelResources&);

const Builder cycle[] = {
    [](const LevelResources& resources) -> Level* { return new Level1(resources); },
    [](const LevelResources& resources) -> Level* { return new Level2(resources); },
};

} // namespace

Level* buildLevel(int levelNumber, const LevelResources& resources)
{
    constexpr int length = static_cast<int>(std::size(cycle));
    // Level numbers start at 1 and only count up; the modulo keeps any other
    // number inside the cycle too.
    const int turn = ((levelNumber - 1) % length + length) % length;
    return cycle[turn](resources);
}

} // namespace frosk::levels
