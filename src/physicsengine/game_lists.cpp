#include "physicsengine/game_lists.h"

namespace frosk::physicsengine {

std::vector<scene::Cake*> thrownCakes;
std::vector<Body*> actorsToRemove;
std::vector<std::uint32_t> touchedCakeIds;
std::vector<particlesystem::ParticleSystem*> particleSystems;
std::int32_t nextCakeId = 0;

} // namespace frosk::physicsengine
