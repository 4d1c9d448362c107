// The physics reports turned into game events, in the running game: cakes
// that hit targets, cakes that come to rest, and the bodies they leave behind.
#include "support/game_world.h"

#include "common/game_state.h"
#include "common/globals.h"
#include "controls/controller.h"
#include "levels/level.h"
#include "particlesystem/particle_system.h"
#include "physicsengine/physics.h"
#include "physicsengine/px_callback.h"
#include "scene/cake.h"
#include "scene/flight.h"
#include "scene/target.h"

#include <AL/al.h>
#include <GLFW/glfw3.h>

using namespace frosk::physicsengine;
using frosk::actorsToRemove;
using frosk::particleSystems;
using frosk::thrownCakes;
using frosk::touchedCakeIds;
using frosk::scene::Cake;

namespace {

bool playing(ALuint source)
{
    ALint state = 0;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
}

} // namespace

class Reports : public GameWorld {
protected:
    // A cake of kind 3 let go at `at` without a push, as the controller throws.
    Cake* dropAt(const glm::vec3& at)
    {
        return frosk::scene::throwCake(*frosk::physics, *frosk::controller->cakeTemplates[2], at,
                                       glm::vec3(0.0f, 0.0f, 1.0f), 0.0f);
    }

    // Frames until no cake is in flight; how many it took.
    int untilNoCakes(int limit)
    {
        int count = 0;
        while (!thrownCakes.empty() && count < limit) {
            frame();
            ++count;
        }
        return count;
    }
};

TEST_F(Reports, ACakeAtRestBurstsWithTheExplosionAndLeavesTheWorld)
{
    addGround(-2.0f);
    settle();
    const std::size_t bodies = frosk::physics->bodyCount();
    const int score = frosk::gameState->score;
    Cake* dropped = dropAt({3.0f, -1.0f, 4.0f});
    const int kind = dropped->kind;
    const int took = untilNoCakes(300);
    EXPECT_TRUE(thrownCakes.empty());
    EXPECT_LT(took / 60.0, 2.0) << "comes to rest and bursts in about a second";
    ASSERT_EQ(particleSystems.size(), 1u);
    EXPECT_EQ(particleSystems.front()->texture != 0, true);
    EXPECT_EQ(kind, 3);
    EXPECT_TRUE(playing(frosk::eventCallback->sound.sources[pxCallback::restSlot]));
    EXPECT_FALSE(playing(frosk::eventCallback->sound.sources[pxCallback::hitSlot]));
    EXPECT_EQ(frosk::physics->bodyCount(), bodies) << "its body is gone after the step";
    EXPECT_EQ(frosk::gameState->score, score);
    EXPECT_EQ(frosk::gameState->targetsLeft, 10);
}

TEST_F(Reports, ACakeWhoseBoundsMetATargetGoesWithItsBodyOnceAndIsNeverReadAgain)
{
    // Two cakes in the air; the id of the second was recorded although its
    // body is not part of the report that comes.
    Cake* hitting = dropAt({0.0f, 20.0f, 0.0f});
    Cake* brushing = dropAt({6.0f, 20.0f, 0.0f});
    Body* hittingBody = hitting->actor;
    Body* brushingBody = brushing->actor;
    frame();
    const std::size_t bodies = frosk::physics->bodyCount();
    touchedCakeIds.push_back(static_cast<std::uint32_t>(brushing->id));
    // Reported with the hitting cake twice over (two targets touched), each
    // listing its bodies.
    frosk::eventCallback->onContact(hittingBody, hittingBody);
    frosk::eventCallback->onContact(hittingBody, hittingBody);
    EXPECT_TRUE(thrownCakes.empty()) << "both cakes burst";
    EXPECT_EQ(particleSystems.size(), 2u);
    EXPECT_TRUE(touchedCakeIds.empty());
    EXPECT_EQ(frosk::physics->cakeOf(brushingBody), nullptr) << "its body stands for no cake any more";
    EXPECT_GE(actorsToRemove.size(), 5u) << "listed more than once";

    // A sleep report of the orphan body before the removal reads no cake.
    frosk::eventCallback->onSleep(&brushingBody, 1);
    EXPECT_EQ(particleSystems.size(), 2u);

    frosk::physics->removeBodies(actorsToRemove);
    EXPECT_EQ(frosk::physics->bodyCount(), bodies - 2) << "each body taken out once";
    frame();
    EXPECT_EQ(frosk::physics->bodyCount(), bodies - 2);
}
