#include "scene/flight.h"

#include "common/globals.h"
#include "particlesystem/particle_system.h"
#include "physicsengine/physics.h"
#include "scene/cake.h"

#include <algorithm>
#include <vector>

namespace frosk::scene {

namespace {

constexpr float playAreaRadius = 50.0f;
constexpr float burstSeconds = 1.5f;

// The one place a thrown cake is deleted. Its body stands for no cake any
// more and is handed to `leaving`, whose owner takes it out of the world.
void deleteCake(Cake* thrown, std::vector<physicsengine::Body*>& leaving)
{
    thrown->physics->setCake(thrown->actor, nullptr);
    leaving.push_back(thrown->actor);
    delete thrown;
}

} // namespace

Cake* throwCake(physicsengine::Physics& physics, const Cake& cakeTemplate, const glm::vec3& spawn,
                const glm::vec3& direction, float strength)
{
    const std::int32_t id = nextCakeId++;
    physicsengine::Body* body = physics.throwCake(spawn, strength * direction, static_cast<std::uint32_t>(id));
    auto* thrown = new Cake(&cakeTemplate, &physics, body, direction, strength);
    physics.setCake(body, thrown);
    thrownCakes.push_back(thrown);
    return thrown;
}

bool burstCake(std::uint32_t cakeId)
{
    const auto found = std::find_if(thrownCakes.begin(), thrownCakes.end(), [cakeId](const Cake* thrown) {
        return static_cast<std::uint32_t>(thrown->id) == cakeId;
    });
    if (found == thrownCakes.end())
        return false;
    Cake* thrown = *found;
    thrownCakes.erase(found);
    particleSystems.push_back(
        new particlesystem::ParticleSystem(thrown->position(), thrown->kind, particleUpdateShader, particleDrawShader));
    // The body leaves after the step, with the bodies of the report.
    deleteCake(thrown, actorsToRemove);
    return true;
}

void retireFarCakes()
{
    const auto far = std::stable_partition(thrownCakes.begin(), thrownCakes.end(), [](const Cake* thrown) {
        return glm::length(thrown->position()) <= playAreaRadius;
    });
    if (far == thrownCakes.end())
        return;
    physicsengine::Physics& world = *(*far)->physics;
    std::vector<physicsengine::Body*> leaving;
    for (auto it = far; it != thrownCakes.end(); ++it)
        deleteCake(*it, leaving);
    thrownCakes.erase(far, thrownCakes.end());
    world.removeBodies(leaving);
}

void updateBursts(double dt)
{
    for (auto it = particleSystems.begin(); it != particleSystems.end();) {
        if ((*it)->time > burstSeconds) {
            delete *it;
            it = particleSystems.erase(it);
        } else {
            (*it)->update(static_cast<float>(dt));
            ++it;
        }
    }
}

void endFlights()
{
    std::vector<physicsengine::Body*> leaving;
    physicsengine::Physics* world = thrownCakes.empty() ? nullptr : thrownCakes.front()->physics;
    for (Cake* thrown : thrownCakes)
        deleteCake(thrown, leaving);
    thrownCakes.clear();
    if (world != nullptr)
        world->removeBodies(leaving);
    for (particlesystem::ParticleSystem* burst : particleSystems)
        delete burst;
    particleSystems.clear();
}

} // namespace frosk::scene
