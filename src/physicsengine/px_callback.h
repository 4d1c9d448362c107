#pragma once

#include "physicsengine/physics.h"
#include "sound/sound.h"

#include <cstdint>
#include <vector>

namespace frosk::scene {
class Cake;
}
namespace frosk::particlesystem {
class ParticleSystem;
}

namespace frosk::physicsengine {

// Turns the world's reports into game events: a cake touching a target
// destroys the target, scores and bursts with the splash sound; a cake that
// comes to rest bursts with the explosion sound. Bodies leave the world only
// after the step, through actorsToRemove; a cake is deleted at once and its
// body stops standing for it, so nothing reads it as a cake again.
class pxCallback : public SimulationEventCallback {
public:
    explicit pxCallback(Physics& physics);
    ~pxCallback() override = default;

    void onWake(Body* const* bodies, std::size_t count) override;
    void onSleep(Body* const* bodies, std::size_t count) override;
    void onContact(Body* first, Body* second) override;

    Physics* physics = nullptr;
    Sound sound;
    std::vector<Body*>* actorsToRemove = nullptr;
    std::vector<particlesystem::ParticleSystem*>* particleSystems = nullptr;
    std::vector<std::uint32_t>* touchedCakeIds = nullptr;
    std::vector<scene::Cake*>* thrownCakes = nullptr;

    static constexpr int hitSlot = 2;
    static constexpr int restSlot = 3;

private:
    void hitTarget(Body* first, Body* second);
    // Bursts the cake in flight with this id, if there is one.
    void burstCake(std::uint32_t id, int soundSlot);
};

} // namespace frosk::physicsengine
