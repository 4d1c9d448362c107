#pragma once

#include "physicsengine/physics.h"
#include "sound/sound.h"

#include <cstdint>

namespace frosk::scene {
class Target;
}

namespace frosk::physicsengine {

// What a report changes in the game. The game implements it; the reports only
// decide when.
class GameEvents {
public:
    virtual ~GameEvents() = default;
    // A cake touched one of these two targets (either may be null, or not a
    // target of the level being played).
    virtual void targetTouched(scene::Target* first, scene::Target* second) = 0;
    // The cake in flight with this id bursts; false when no cake in flight has it.
    virtual bool burstCake(std::uint32_t cakeId) = 0;
};

// Turns the world's reports into game events: a cake touching a target
// destroys the target, scores and bursts with the splash sound; a cake that
// comes to rest bursts with the explosion sound. Bodies leave the world only
// after the step, through actorsToRemove.
class pxCallback : public SimulationEventCallback {
public:
    pxCallback(Physics& physics, GameEvents& game);
    ~pxCallback() override = default;

    void onWake(Body* const* bodies, std::size_t count) override;
    void onSleep(Body* const* bodies, std::size_t count) override;
    void onContact(Body* first, Body* second) override;

    Physics* physics = nullptr;
    GameEvents* game = nullptr;
    Sound sound;

    static constexpr int hitSlot = 2;
    static constexpr int restSlot = 3;
};

} // namespace frosk::physicsengine
