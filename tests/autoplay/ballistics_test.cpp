// The autoplay's aim against the real physics world: a cake launched with the
// solved angles passes through the point it was aimed at.

#include "ballistics.h"

#include "physicsengine/physics.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using autoplay::Ballistics;
using autoplay::Launch;
using frosk::physicsengine::Physics;

constexpr double step = 1.0 / 60.0;

// Throws a cake as the controller does (one unit in front of the eye, along
// the view) in an otherwise empty world and returns where it is after the
// launch's number of steps.
glm::vec3 flyInWorld(Physics& world, const glm::vec3& eye, const Launch& launch)
{
    const glm::vec3 d = Ballistics::direction(launch.yaw, launch.pitch);
    frosk::physicsengine::Body* cake = world.throwCake(eye + d, d * launch.speed, 0);
    for (int i = 0; i < launch.steps; ++i)
        world.step(step);
    const glm::vec3 where = world.position(cake);
    world.removeBody(cake);
    return where;
}

struct Case {
    glm::vec3 eye, aim;
    float speed;
};

const Case cases[] = {
    {{0, 0.74f, -2}, {3, -0.15f, 12}, 14.0f},     // near and a little below
    {{0, 0.74f, -2}, {-9, 0.8f, -36}, 22.0f},     // far
    {{0, 0.74f, 0}, {8, 9.05f, -27}, 21.0f},      // far and high up
    {{5, 3.0f, 5}, {-12, -0.15f, 7}, 16.0f},      // from a hill, down
};

} // namespace

TEST(AutoplayBallistics, FlatAndLobbedLaunchesArriveWhereTheyWereAimedInTheWorld)
{
    Physics world;
    const Ballistics ballistics(step);
    for (const Case& c : cases) {
        for (bool lob : {false, true}) {
            const std::optional<Launch> launch = ballistics.solve(c.eye, c.aim, c.speed, lob);
            ASSERT_TRUE(launch) << "speed " << c.speed << (lob ? " lob" : " flat");
            EXPECT_GE(launch->pitch, Ballistics::lowestPitch);
            EXPECT_LE(launch->pitch, Ballistics::highestPitch);
            const glm::vec3 arrived = flyInWorld(world, c.eye, *launch);
            // Within a fraction of the cake's own size (2 x 1 x 2).
            EXPECT_LT(glm::length(arrived - c.aim), 0.35f)
                << (lob ? "lob" : "flat") << " at " << c.speed << " to (" << c.aim.x << ", " << c.aim.y << ", "
                << c.aim.z << ") arrived at (" << arrived.x << ", " << arrived.y << ", " << arrived.z << ")";
            EXPECT_NEAR(glm::length(ballistics.positionAfter(c.eye, *launch, launch->steps) - arrived), 0.0f, 0.05f)
                << "the predicted flight is the world's";
        }
    }
}

TEST(AutoplayBallistics, TheLobFliesHigherAndLongerThanTheFlatThrow)
{
    const Ballistics ballistics(step);
    const glm::vec3 eye(0, 0.74f, 0), aim(15, 2, 10);
    const auto flat = ballistics.solve(eye, aim, 18.0f, false);
    const auto lob = ballistics.solve(eye, aim, 18.0f, true);
    ASSERT_TRUE(flat && lob);
    EXPECT_LT(flat->pitch, lob->pitch);
    EXPECT_LT(flat->steps, lob->steps);
    EXPECT_NEAR(flat->yaw, std::atan2(15.0f, 10.0f), 1e-5f);
    EXPECT_FLOAT_EQ(flat->yaw, lob->yaw);
}

TEST(AutoplayBallistics, OutOfReachHasNoSolutionAndTheSpeedSearchFindsOne)
{
    const Ballistics ballistics(step);
    const glm::vec3 eye(0, 0.74f, 0), aim(0, 0, 40);
    EXPECT_FALSE(ballistics.solve(eye, aim, 8.0f, false)) << "8 units/s reach about 6.5 units";
    const float speed = ballistics.speedFor(eye, aim, 0.35f, false, 5.5f);
    EXPECT_GT(speed, 19.0f);
    EXPECT_LT(speed, 40.0f);
    const auto launch = ballistics.solve(eye, aim, speed, false);
    ASSERT_TRUE(launch);
    EXPECT_LE(launch->pitch, 0.35f + 1e-3f);
    EXPECT_GT(launch->pitch, 0.2f) << "the slowest speed whose flat throw is no steeper than asked";
}
