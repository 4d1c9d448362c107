#pragma once

namespace frosk::levels {

class Level;
struct LevelResources;

// The level played under a level number. The layouts take turns: odd numbers
// play the summer forest (Level1), even ones the winter wood (Level2). A new
// layout is a table in layouts.h and one line in the cycle (level_cycle.cpp).
Level* buildLevel(int levelNumber, const LevelResources& resources);

} // namespace frosk::levels
