#include "levels/level1.h"

#include "levels/layouts.h"

namespace frosk::levels {

Level1::Level1(const LevelResources& resources) : Level(resources, summerForest()) {}

} // namespace frosk::levels
