#include "world_fixture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unistd.h>

using namespace testworld;
using frosk::actorsToRemove;
using frosk::touchedCakeIds;

namespace {

const glm::vec3 still(0.0f);

bool samePair(const std::pair<Body*, Body*>& pair, Body* a, Body* b)
{
    return (pair.first == a && pair.second == b) || (pair.first == b && pair.second == a);
}

} // namespace

TEST_F(WorldTest, LongFramesStepOneSixtiethAndAFrameOfATenthStepsItsLength)
{
    Body* cake = physics->throwCake({0, 100, 0}, still, 1);
    physics->step(0.25);
    EXPECT_NEAR(physics->linearVelocity(cake).y, -9.8f / 60.0f, 1e-5f);
    physics->step(0.1);
    EXPECT_NEAR(physics->linearVelocity(cake).y, -9.8f / 60.0f - 0.98f, 1e-4f);
    EXPECT_FLOAT_EQ(Physics::elapsedTime(0.25), 1.0f / 60.0f);
    EXPECT_FLOAT_EQ(Physics::elapsedTime(0.1), 0.1f);
    EXPECT_EQ(Physics::elapsedTime(-0.5), 0.0f);
    EXPECT_EQ(Physics::elapsedTime(NAN), 0.0f);
    const float before = physics->linearVelocity(cake).y;
    physics->step(-0.5);
    EXPECT_EQ(physics->linearVelocity(cake).y, before);
}

TEST_F(WorldTest, ACakeAtRestOnACollisionModelSleepsOnceWithinASecondOfStopping)
{
    addGround();
    Body* cake = physics->throwCake({0, 2.5f, 0}, {1, 0, 0}, 7);
    double stopped = -1.0, asleep = -1.0;
    for (int frame = 1; frame <= 600 && asleep < 0.0; ++frame) {
        physics->step(1.0 / 60.0);
        const double t = frame / 60.0;
        const bool slow = glm::length(physics->linearVelocity(cake)) < 0.1f;
        if (!slow)
            stopped = -1.0;
        else if (stopped < 0.0)
            stopped = t;
        if (!reports.slept.empty())
            asleep = t;
    }
    ASSERT_GT(asleep, 0.0) << "the cake never slept";
    std::printf("cake stopped at %.3f s, sleep reported at %.3f s (%.3f s later)\n", stopped, asleep,
                asleep - stopped);
    EXPECT_LE(asleep - stopped, 1.0);
    EXPECT_GE(asleep - stopped, 0.3);
    EXPECT_NEAR(physics->position(cake).y, 0.5f, 0.05f);
    run(2.0);
    ASSERT_EQ(reports.slept.size(), 1u);
    EXPECT_EQ(reports.slept[0], cake);
    EXPECT_TRUE(physics->isSleeping(cake));
    EXPECT_TRUE(touchedCakeIds.empty());
    EXPECT_TRUE(reports.contacts.empty());
}

TEST_F(WorldTest, ACakeThrownAtATargetReportsOneTouchAndRecordsItsIdOnce)
{
    Body* target = physics->addTargetBody(shapeOf(testmodels::box({-2, -2, -0.1f}, {2, 2, 0.1f})),
                                          at(0, 4, 8), nullptr);
    Body* cake = physics->throwCake({0, 4.5f, 0}, {0, 0, 20}, 42);
    reports.queueContacts = true;
    run(1.0);
    ASSERT_EQ(reports.contacts.size(), 1u);
    EXPECT_TRUE(samePair(reports.contacts[0], cake, target));
    EXPECT_EQ(touchedCakeIds, std::vector<std::uint32_t>{42});
    EXPECT_EQ(physics->bodyCount(), 0u);
}

TEST_F(WorldTest, AContactReportHandsBackTheOwnersAndGroups)
{
    auto* targetObject = reinterpret_cast<frosk::scene::Target*>(0x1000);
    auto* cakeObject = reinterpret_cast<frosk::scene::Cake*>(0x2000);
    Body* target = physics->addTargetBody(shapeOf(testmodels::box({-2, -2, -0.1f}, {2, 2, 0.1f})),
                                          at(0, 4, 8), targetObject);
    Body* cake = physics->throwCake({0, 4.5f, 0}, {0, 0, 20}, 3);
    physics->setCake(cake, cakeObject);
    run(1.0);
    ASSERT_FALSE(reports.contacts.empty());
    EXPECT_EQ(physics->targetOf(target), targetObject);
    EXPECT_EQ(physics->cakeOf(cake), cakeObject);
    EXPECT_EQ(physics->cakeOf(target), nullptr);
    EXPECT_EQ(physics->groupOf(target), frosk::physicsengine::groupTarget);
    EXPECT_EQ(physics->groupOf(cake), frosk::physicsengine::groupCake);
    EXPECT_EQ(physics->cakeIdOf(cake), 3u);
    physics->setCake(cake, nullptr);
    EXPECT_EQ(physics->cakeOf(cake), nullptr);
}

TEST_F(WorldTest, ACakeBrushingPastATargetsBoundsRecordsItsIdWithoutAContact)
{
    // A board in the plane z = 0 whose upper right half is empty: its bounds
    // reach where the cake flies, its triangle does not.
    testmodels::Mesh halfBoard{{{-2, 0, 0}, {2, 0, 0}, {-2, 4, 0}}, {0, 1, 2}};
    physics->addTargetBody(shapeOf(halfBoard), glm::mat4(1.0f), nullptr);
    Body* cake = physics->throwCake({1.5f, 3.3f, -5}, {0, 0, 30}, 9);
    run(0.5);
    EXPECT_EQ(touchedCakeIds, std::vector<std::uint32_t>{9});
    EXPECT_TRUE(reports.contacts.empty());
    EXPECT_GT(physics->position(cake).z, 5.0f);
    EXPECT_NEAR(physics->linearVelocity(cake).z, 30.0f, 1e-3f);
}

TEST_F(WorldTest, CakesOnTerrainAgainstSceneryOrEachOtherReportNothing)
{
    addGround();
    physics->addStaticBody(shapeOf(testmodels::box({-1, 0, -1}, {1, 4, 1})), at(0, 0, 6));
    physics->throwCake({0, 2, 0}, {0, 0, 12}, 1);
    physics->throwCake({3, 1, 0}, {0, 0, 0}, 2);
    physics->throwCake({3, 3, 0}, {0, 0, 0}, 3);
    run(2.0);
    EXPECT_TRUE(reports.contacts.empty());
    EXPECT_TRUE(touchedCakeIds.empty());
}

TEST_F(WorldTest, ACakePassesThroughThePlayersCapsule)
{
    physics->setPlayerPosition({0, 5, 10});
    Body* cake = physics->throwCake({0, 5, 4}, {0, 0, 20}, 5);
    run(0.6);
    EXPECT_GT(physics->position(cake).z, 14.0f);
    EXPECT_NEAR(physics->linearVelocity(cake).z, 20.0f, 1e-3f);
    EXPECT_NEAR(physics->playerPosition().z, 10.0, 1e-6);
    EXPECT_TRUE(reports.contacts.empty());
}

// Fast throws at a board and a trunk thinner than a step's travel, starting
// from four places so that they are met at different points of a step.
TEST_F(WorldTest, AFastCakeDoesNotPassThroughAThinTargetOrTrunk)
{
    Body* target = physics->addTargetBody(shapeOf(testmodels::box({-2, -2, -0.05f}, {2, 2, 0.05f})),
                                          at(0, 3, 10), nullptr);
    physics->addStaticBody(shapeOf(testmodels::box({-0.15f, 0, -0.15f}, {0.15f, 6, 0.15f})), at(20, 0, 10));
    for (const float speed : {40.0f, 80.0f, 120.0f})
        for (int phase = 0; phase < 4; ++phase) {
            const float start = speed / 60.0f * phase / 4.0f;
            reports.contacts.clear();
            Body* cake = physics->throwCake({0, 3, start}, {0, 0, speed}, 11);
            run(0.5);
            EXPECT_LT(physics->position(cake).z, 10.0f) << "through the board at " << speed << " from " << start;
            ASSERT_EQ(reports.contacts.size(), 1u) << speed << " from " << start;
            EXPECT_TRUE(samePair(reports.contacts[0], cake, target));
            physics->removeBody(cake);

            cake = physics->throwCake({20, 3, start}, {0, 0, speed}, 12);
            run(0.3);
            EXPECT_LT(physics->position(cake).z, 10.0f) << "through the trunk at " << speed << " from " << start;
            physics->removeBody(cake);
        }
}

TEST_F(WorldTest, ContactsCombineRestitutionByAverage)
{
    addGround();
    Body* cake = physics->throwCake({0, 0.6f, 0}, {0, -7, 0}, 1);
    float fastestUp = 0.0f;
    for (int frame = 0; frame < 30; ++frame) {
        physics->step(1.0 / 120.0);
        fastestUp = std::max(fastestUp, physics->linearVelocity(cake).y);
    }
    // 0.5 and 0.5 average to 0.5; their product would be 0.25.
    EXPECT_GT(fastestUp, 3.0f);
    EXPECT_LT(fastestUp, 4.5f);
}

// Straight down onto the ground: 10 units/s at 60 steps a second moves the
// cake less than the quarter unit that has it swept against what lies ahead,
// the others more. Each speed starts from four heights so that the ground is
// met at different points of a step.
TEST_F(WorldTest, ASteepLandingReboundsAtHalfItsSpeedSweptOrNot)
{
    addGround();
    struct Landing {
        float speed;
        double dt;
    };
    const Landing landings[] = {{10, 1.0 / 60.0}, {20, 1.0 / 60.0}, {40, 1.0 / 60.0}, {20, 1.0 / 20.0}};
    for (const Landing& landing : landings)
        for (int phase = 0; phase < 4; ++phase) {
            const float height = 0.5f + landing.speed * static_cast<float>(landing.dt) * (2.0f + phase / 4.0f);
            Body* cake = physics->throwCake({0, height, 0}, {0, -landing.speed, 0}, 1);
            float impact = 0.0f, rebound = 0.0f;
            for (int frame = 0; frame < 6 && rebound <= 0.0f; ++frame) {
                physics->step(landing.dt);
                const float vy = physics->linearVelocity(cake).y;
                impact = std::max(impact, -vy);
                rebound = std::max(rebound, vy);
            }
            EXPECT_NEAR(rebound / impact, 0.5f, 0.05f)
                << landing.speed << " units/s at " << 1.0 / landing.dt << " steps/s from height " << height
                << ": impact " << impact << ", rebound " << rebound;
            physics->removeBody(cake);
        }
}

TEST_F(WorldTest, AMovingTargetPushesACakeAndKeepsACakeOnItAwake)
{
    Body* platform = physics->addTargetBody(shapeOf(testmodels::box({-3, -0.5f, -3}, {3, 0, 3})),
                                            at(0, 0, 0), nullptr);
    Body* rider = physics->throwCake({0, 0.6f, 0}, still, 1);
    float x = 0.0f, direction = 1.0f;
    for (int frame = 0; frame < 300; ++frame) {
        physics->step(1.0 / 60.0);
        x += direction * 0.02f;
        if (std::abs(x) > 1.0f)
            direction = -direction;
        physics->setKinematicPose(platform, at(x, 0, 0));
    }
    EXPECT_FALSE(physics->isSleeping(rider));
    EXPECT_TRUE(reports.slept.empty());
    EXPECT_GT(physics->position(rider).y, 0.3f) << "the cake fell through the platform";

    // A target still moves after several seconds and shoves a cake aside.
    Body* pusher = physics->addTargetBody(shapeOf(testmodels::box({-0.5f, 0, -2}, {0.5f, 2, 2})),
                                          at(10, 0, 20), nullptr);
    physics->addStaticBody(shapeOf(testmodels::grid(40, 4)), at(10, 0, 20));
    Body* pushed = physics->throwCake({13, 0.6f, 20}, still, 2);
    run(3.0);
    for (int frame = 1; frame <= 120; ++frame) {
        physics->setKinematicPose(pusher, at(10 + frame * 0.05f, 0, 20));
        physics->step(1.0 / 60.0);
    }
    EXPECT_NEAR(physics->position(pusher).x, 16.0f, 0.06f);
    EXPECT_GT(physics->position(pushed).x, 16.0f);
}

TEST_F(WorldTest, ABodyListedTwiceIsRemovedOnceAndRemovalWakesWhatRestedOnIt)
{
    Body* shelf = physics->addStaticBody(shapeOf(testmodels::box({-3, -0.5f, -3}, {3, 0, 3})), at(0, 2, 0));
    Body* cake = physics->throwCake({0, 2.6f, 0}, still, 1);
    Body* other = physics->throwCake({20, 50, 0}, still, 2);
    run(3.0);
    ASSERT_TRUE(physics->isSleeping(cake));
    EXPECT_EQ(physics->bodyCount(), 3u);

    actorsToRemove = {shelf, shelf, nullptr};
    physics->removeBodies(actorsToRemove);
    EXPECT_TRUE(actorsToRemove.empty());
    EXPECT_EQ(physics->bodyCount(), 2u);
    EXPECT_FALSE(physics->isSleeping(cake));
    run(0.5);
    EXPECT_LT(physics->position(cake).y, 2.0f);

    // A handle that already left is skipped, not freed again.
    actorsToRemove = {shelf, other, other};
    physics->removeBodies(actorsToRemove);
    EXPECT_EQ(physics->bodyCount(), 1u);
    physics->removeBody(cake);
    EXPECT_EQ(physics->bodyCount(), 0u);
}

TEST_F(WorldTest, AReceiverMayRemoveBodiesWhileReportsAreDelivered)
{
    struct Remover : Reports {
        Physics* physics = nullptr;
        void onContact(Body* first, Body* second) override
        {
            Reports::onContact(first, second);
            physics->removeBody(first);
            physics->removeBody(second);
        }
    } remover;
    remover.physics = physics.get();
    physics->setSimulationEventCallback(&remover);
    physics->addTargetBody(shapeOf(testmodels::box({-2, -2, -0.1f}, {2, 2, 0.1f})), at(0, 4, 8), nullptr);
    physics->addTargetBody(shapeOf(testmodels::box({-2, -2, -0.1f}, {2, 2, 0.1f})), at(0, 4, 8.3f), nullptr);
    physics->throwCake({0, 4.5f, 0}, {0, 0, 60}, 1);
    run(0.5);
    EXPECT_GE(remover.contacts.size(), 1u);
    EXPECT_EQ(physics->bodyCount(), 1u);
}

TEST_F(WorldTest, ShapesWithoutUsableTrianglesGiveNoShapeAndNoBody)
{
    std::string why;
    EXPECT_EQ(physics->cookTriangleMesh({}, {}, &why), nullptr);
    EXPECT_EQ(why, "no vertices");
    EXPECT_EQ(physics->cookTriangleMesh({{0, 0, 0}, {1, 0, 0}, {0, 0, 1}}, {0, 1}, &why), nullptr);
    EXPECT_EQ(physics->cookTriangleMesh({{0, 0, 0}, {1, 0, 0}, {0, 0, 1}}, {0, 1, 3}, &why), nullptr);
    EXPECT_EQ(physics->cookTriangleMesh({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}, {0, 1, 2}, &why), nullptr);
    EXPECT_EQ(physics->cookTriangleMesh({{0, 0, 0}, {1, 0, 0}, {0, NAN, 1}}, {0, 1, 2}, &why), nullptr);
    EXPECT_EQ(physics->cookTriangleMesh({{0, 0, 0}, {1, 0, 0}, {0, INFINITY, 1}}, {0, 1, 2}, &why), nullptr);
    EXPECT_EQ(physics->createMeshShape(nullptr), nullptr);
    EXPECT_EQ(physics->addStaticBody(nullptr, glm::mat4(1.0f)), nullptr);
    EXPECT_EQ(physics->addTargetBody(nullptr, glm::mat4(1.0f), nullptr), nullptr);
    EXPECT_EQ(physics->bodyCount(), 0u);
    // A degenerate triangle among good ones is dropped, the rest is kept.
    EXPECT_NE(physics->cookTriangleMesh({{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {2, 0, 0}}, {0, 1, 2, 0, 1, 3}), nullptr);
}

TEST_F(WorldTest, TheDebugViewOutlinesEveryShape)
{
    addGround(10.0f);
    physics->throwCake({0, 5, 0}, still, 1);
    std::vector<float> lines;
    physics->debugLines(lines);
    ASSERT_EQ(lines.size() % 12, 0u);
    // 800 triangles of the ground, three edges each, and the cake's 12 edges.
    EXPECT_GE(lines.size() / 12, 2400u + 12u);
    bool cakeTop = false;
    for (std::size_t i = 0; i < lines.size(); i += 6)
        cakeTop = cakeTop || std::abs(lines[i + 1] - 5.5f) < 1e-3f;
    EXPECT_TRUE(cakeTop);
}

TEST(PhysicsStartup, EachFailureEndsWithStatusOneAndItsMessage)
{
    using Stage = Physics::Stage;
    const std::pair<Stage, const char*> failures[] = {{Stage::sdk, "Error creating Bullet SDK object!"},
                                                      {Stage::scene, "Error creating Bullet Scene!"},
                                                      {Stage::cooking, "Cooking Library is not initialized"}};
    for (auto [stage, message] : failures)
        EXPECT_EXIT(
            {
                // The message goes to standard output; the check reads standard error.
                std::fflush(stdout);
                dup2(2, 1);
                Physics physics(stage);
            },
            ::testing::ExitedWithCode(1), message);
}
