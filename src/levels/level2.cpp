#include "levels/level2.h"

#include "levels/layouts.h"
#include "scene/snowman.h"

namespace frosk::levels {

Level2::Level2(const LevelResources& resources)
    : Level(resources, winterWood()), man(snowmen.at(0).get()), child(snowmen.at(1).get()), woman(snowmen.at(2).get())
{
}

} // namespace frosk::levels
