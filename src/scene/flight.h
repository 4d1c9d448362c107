#pragma once

// The life of a thrown cake and of the splash it leaves. These functions are
// the only places that create or delete them: a cake is made by throwCake and
// listed in thrownCakes until it bursts (burstCake) or flies out of the play
// area (retireFarCakes); its burst is listed in particleSystems until it is
// 1.5 s old (updateBursts). endFlights ends them all at the end of the run.

#include <glm/glm.hpp>

#include <cstdint>

namespace frosk::physicsengine {
class Physics;
}

namespace frosk::scene {

class Cake;

// A cake leaves the hand: a body at `spawn` flying at strength x direction,
// carrying the next cake id, and a copy of `cakeTemplate` following it, listed
// last in thrownCakes.
Cake* throwCake(physicsengine::Physics& physics, const Cake& cakeTemplate, const glm::vec3& spawn,
                const glm::vec3& direction, float strength);

// The cake in flight with this id bursts where it is: a splash of its kind,
// its body queued to leave the world after the step (standing for no cake from
// now on), and the cake deleted. False when no cake in flight has the id.
bool burstCake(std::uint32_t cakeId);

// Cakes farther than 50 units from the origin are gone for good: their bodies
// leave the world now and the cakes are deleted, without a burst.
void retireFarCakes();

// Bursts older than 1.5 s are deleted; the others advance by dt.
void updateBursts(double dt);

// The end of the run: every cake in flight and every burst goes.
void endFlights();

} // namespace frosk::scene
