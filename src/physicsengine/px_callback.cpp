#include "physicsengine/px_callback.h"

#include "app/game_state.h"
#include "app/globals.h"
#include "levels/level.h"
#include "particlesystem/particle_system.h"
#include "physicsengine/game_lists.h"
#include "scene/cake.h"
#include "scene/target.h"

#include <algorithm>

namespace frosk::physicsengine {

pxCallback::pxCallback(Physics& physics)
    : physics(&physics),
      actorsToRemove(&physicsengine::actorsToRemove),
      particleSystems(&physicsengine::particleSystems),
      touchedCakeIds(&physicsengine::touchedCakeIds),
      thrownCakes(&physicsengine::thrownCakes)
{
    sound.load(hitSlot);
    sound.load(restSlot);
}

void pxCallback::onWake(Body* const* /*bodies*/, std::size_t /*count*/) {}

void pxCallback::onContact(Body* first, Body* second)
{
    actorsToRemove->push_back(first);
    actorsToRemove->push_back(second);
    hitTarget(first, second);

    // Every cake whose bounds met a target's since the last report bursts,
    // whether or not it is one of this pair; so does a cake of the pair whose
    // id was not recorded.
    std::vector<std::uint32_t> ids = *touchedCakeIds;
    for (Body* body : {first, second})
        if (physics->groupOf(body) == groupCake)
            ids.push_back(physics->cakeIdOf(body));
    touchedCakeIds->clear();
    for (std::uint32_t id : ids)
        burstCake(id, hitSlot);
}

void pxCallback::hitTarget(Body* first, Body* second)
{
    if (level == nullptr)
        return;
    std::vector<scene::Target*>& targets = level->targets;
    scene::Target* hitSecond = physics->targetOf(second);
    scene::Target* hitFirst = physics->targetOf(first);
    const auto hit = std::find_if(targets.begin(), targets.end(), [&](scene::Target* target) {
        return target != nullptr && (target == hitSecond || target == hitFirst);
    });
    if (hit == targets.end())
        return;
    scene::Target* target = *hit;
    targets.erase(hit);
    // Its body is already queued with the pair and leaves after the step.
    target->releaseBody();
    delete target;
    if (gameState) {
        gameState->targetHit();
        gameState->addScore();
    }
}

void pxCallback::burstCake(std::uint32_t id, int soundSlot)
{
    const auto found = std::find_if(thrownCakes->begin(), thrownCakes->end(), [id](scene::Cake* cake) {
        return static_cast<std::uint32_t>(cake->id) == id;
    });
    if (found == thrownCakes->end())
        return;
    scene::Cake* cake = *found;
    thrownCakes->erase(found);

    particleSystems->push_back(new particlesystem::ParticleSystem(cake->position(), cake->kind));
    sound.play(soundSlot);
    // The body leaves with the report's bodies (removal takes each once), and
    // until then stands for no cake.
    actorsToRemove->push_back(cake->actor);
    physics->setCake(cake->actor, nullptr);
    delete cake;
}

void pxCallback::onSleep(Body* const* bodies, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        Body* body = bodies[i];
        // A body whose cake is already gone is only taken out.
        if (scene::Cake* cake = physics->cakeOf(body))
            burstCake(static_cast<std::uint32_t>(cake->id), restSlot);
        actorsToRemove->push_back(body);
    }
}

} // namespace frosk::physicsengine
