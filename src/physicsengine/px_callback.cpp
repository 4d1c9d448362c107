#include "physicsengine/px_callback.h"

#include "common/globals.h"

#include <vector>

namespace frosk::physicsengine {

pxCallback::pxCallback(Physics& physics, GameEvents& game) : physics(&physics), game(&game)
{
    sound.load(hitSlot);
    sound.load(restSlot);
}

void pxCallback::onWake(Body* const* /*bodies*/, std::size_t /*count*/) {}

void pxCallback::onContact(Body* first, Body* second)
{
    actorsToRemove.push_back(first);
    actorsToRemove.push_back(second);
    game->targetTouched(physics->targetOf(first), physics->targetOf(second));

    // Every cake whose bounds met a target's since the last report bursts,
    // whether or not it is one of this pair; so does a cake of the pair whose
    // id was not recorded.
    std::vector<std::uint32_t> ids = touchedCakeIds;
    for (Body* body : {first, second})
        if (physics->groupOf(body) == groupCake)
            ids.push_back(physics->cakeIdOf(body));
    touchedCakeIds.clear();
    for (std::uint32_t id : ids)
        if (game->burstCake(id))
            sound.play(hitSlot);
}

void pxCallback::onSleep(Body* const* bodies, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        Body* body = bodies[i];
        // A body whose cake is already gone is only taken out.
        if (physics->cakeOf(body) != nullptr && game->burstCake(physics->cakeIdOf(body)))
            sound.play(restSlot);
        actorsToRemove.push_back(body);
    }
}

} // namespace frosk::physicsengine
