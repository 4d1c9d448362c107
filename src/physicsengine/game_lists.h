#pragma once

// The game-wide lists and counters that the physics step, its reports, the
// player controller and the frame loop share. One instance each, for the run.

#include <cstdint>
#include <vector>

namespace frosk::scene {
class Cake;
}
namespace frosk::particlesystem {
class ParticleSystem;
}

namespace frosk::physicsengine {

class Body;

// The cakes in flight: appended on a throw, erased on a hit, at rest or when
// they fly too far.
extern std::vector<scene::Cake*> thrownCakes;
// Bodies to take out of the world after the current step; the same body may
// be listed more than once (Physics::removeBodies tolerates it).
extern std::vector<Body*> actorsToRemove;
// Ids of cakes whose bounds began to overlap a target's during the step.
extern std::vector<std::uint32_t> touchedCakeIds;
// The particle bursts alive.
extern std::vector<particlesystem::ParticleSystem*> particleSystems;
// Id of the next cake thrown.
extern std::int32_t nextCakeId;

} // namespace frosk::physicsengine
