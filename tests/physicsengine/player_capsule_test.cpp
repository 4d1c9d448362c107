#include "world_fixture.h"

#include <cmath>

using namespace testworld;
using frosk::physicsengine::collisionDown;
using frosk::physicsengine::collisionSides;

namespace {

constexpr double frame = 1.0 / 60.0;
// Centre height of the capsule standing on y = 0: half of 1.85 plus the
// radius 0.3, plus the contact offset it keeps.
constexpr double standing = 0.925 + 0.3 + 0.01;

class CapsuleTest : public WorldTest {
protected:
    // One frame of the controller: a walk, then the fall.
    unsigned walkFrame(const glm::vec3& velocity)
    {
        const float dt = static_cast<float>(frame);
        unsigned flags = physics->movePlayer(velocity * dt, 0.0f, dt);
        flags |= physics->movePlayer({0.0f, -9.8f * dt, 0.0f}, 0.001f, dt);
        return flags;
    }
    unsigned walk(const glm::vec3& velocity, double seconds)
    {
        unsigned flags = 0;
        for (double t = 0.0; t < seconds - 1e-9; t += frame)
            flags = walkFrame(velocity);
        return flags;
    }
    glm::dvec3 player() const { return physics->playerPosition(); }
};

// A ramp rising along +x from x = 2 to x = 6 at `degrees`, between z0 and z1,
// with a vertical back.
testmodels::Mesh ramp(float degrees, float z0, float z1)
{
    const float h = 4.0f * std::tan(glm::radians(degrees));
    return testmodels::Mesh{{{2, 0, z0}, {6, h, z0}, {6, h, z1}, {2, 0, z1}, {6, 0, z0}, {6, 0, z1}},
                            {0, 2, 1, 0, 3, 2, 1, 2, 5, 1, 5, 4}};
}

} // namespace

TEST_F(CapsuleTest, StartsAtItsPlaceAndKeepsTheCentreItIsGiven)
{
    EXPECT_EQ(player(), glm::dvec3(0, 3, 0));
    physics->setPlayerPosition({1.25, 7.5, -2.0});
    EXPECT_EQ(player(), glm::dvec3(1.25, 7.5, -2.0));
}

TEST_F(CapsuleTest, FallsAtTheSpeedItIsMovedLandsAndWalks)
{
    addGround();
    physics->setPlayerPosition({0, 6, 0});
    walk({0, 0, 0}, 0.25);
    EXPECT_NEAR(player().y, 6.0 - 9.8 * 0.25, 0.01);
    const unsigned flags = walk({0, 0, 0}, 1.0);
    EXPECT_TRUE(flags & collisionDown);
    EXPECT_NEAR(player().y, standing, 0.01);

    walk({3, 0, 0}, 1.0);
    EXPECT_NEAR(player().x, 3.0, 0.02);
    EXPECT_NEAR(player().y, standing, 0.01);
    EXPECT_NEAR(player().z, 0.0, 1e-3);
}

TEST_F(CapsuleTest, WalksOffAnEdgeAndFalls)
{
    addGround(10.0f);
    physics->setPlayerPosition({3, standing, 0});
    walk({3, 0, 0}, 1.0);
    EXPECT_FALSE(walkFrame({3, 0, 0}) & collisionDown);
    EXPECT_LT(player().y, standing - 1.0);
}

TEST_F(CapsuleTest, SlidesAlongAWall)
{
    addGround();
    physics->addStaticBody(shapeOf(testmodels::box({2, 0, -10}, {3, 3, 10})), glm::mat4(1.0f));
    physics->setPlayerPosition({0, standing, 0});
    unsigned flags = 0;
    for (int i = 0; i < 90; ++i)
        flags |= walkFrame({2, 0, 2});
    EXPECT_TRUE(flags & collisionSides);
    EXPECT_NEAR(player().x, 2.0 - 0.3, 0.03);
    EXPECT_GT(player().z, 2.0);
    EXPECT_NEAR(player().y, standing, 0.02);
}

TEST_F(CapsuleTest, ClimbsALowStepButNotAHighOne)
{
    addGround();
    physics->addStaticBody(shapeOf(testmodels::box({2, 0, -10}, {6, 0.3f, 0})), glm::mat4(1.0f));
    physics->addStaticBody(shapeOf(testmodels::box({2, 0, 0.5f}, {6, 0.8f, 10})), glm::mat4(1.0f));

    physics->setPlayerPosition({0, standing, -3});
    walk({3, 0, 0}, 1.5);
    EXPECT_GT(player().x, 4.0);
    EXPECT_NEAR(player().y, standing + 0.3, 0.02);

    physics->setPlayerPosition({0, standing, 4});
    walk({3, 0, 0}, 1.5);
    EXPECT_NEAR(player().x, 2.0 - 0.3, 0.03);
    EXPECT_NEAR(player().y, standing, 0.02);
}

TEST_F(CapsuleTest, WalksUpAGentleSlopeButNotASteepOne)
{
    addGround();
    physics->addStaticBody(shapeOf(ramp(20.0f, -10, -1)), glm::mat4(1.0f));
    physics->addStaticBody(shapeOf(ramp(60.0f, 1, 10)), glm::mat4(1.0f));

    physics->setPlayerPosition({0, standing, -5});
    walk({3, 0, 0}, 1.5);
    EXPECT_GT(player().x, 3.5);
    EXPECT_GT(player().y, standing + 0.4);

    physics->setPlayerPosition({0, standing, 5});
    walk({3, 0, 0}, 2.0);
    EXPECT_LT(player().x, 2.2);
    EXPECT_LT(player().y, standing + 0.4);
}

// A face too steep to walk on stops the capsule climbing it, and does not
// drag it down either: it stays where its fall first met the face, at any
// frame rate, until walking takes it down.
TEST_F(CapsuleTest, RestsOnASteepFaceWithoutSlidingAndCannotClimbIt)
{
    addGround();
    physics->addStaticBody(shapeOf(ramp(50.0f, -10, -1)), glm::mat4(1.0f));
    physics->addStaticBody(shapeOf(ramp(70.0f, 1, 10)), glm::mat4(1.0f));
    for (const double z : {-5.0, 5.0})
        for (const double dt : {1.0 / 60.0, 1.0 / 15.0}) {
            const glm::vec3 gravity(0.0f, -9.8f * static_cast<float>(dt), 0.0f);
            physics->setPlayerPosition({3.5, 20, z});
            int frames = 0;
            while (!(physics->movePlayer(gravity, 0.001f, static_cast<float>(dt)) & collisionDown) && ++frames < 300) {
            }
            const glm::dvec3 touched = player();
            ASSERT_GT(touched.y, standing + 1.0) << "the capsule did not come down on the face at z " << z;
            unsigned flags = collisionDown;
            for (double t = 0.0; t < 2.0; t += dt)
                flags &= physics->movePlayer(gravity, 0.001f, static_cast<float>(dt));
            EXPECT_LT(glm::distance(player(), touched), 1e-3)
                << "gravity moved the capsule along the face at z " << z << ", " << 1.0 / dt << " frames a second";
            EXPECT_TRUE(flags & collisionDown) << "the capsule does not rest on the face";
        }

    const glm::dvec3 resting = player();
    walk({3, 0, 0}, 1.0);
    EXPECT_LT(player().y, resting.y + 1e-3) << "the capsule climbed the face";
    walk({0, 0, 3}, 1.0);
    EXPECT_NEAR(player().z, resting.z + 3.0, 0.05) << "the capsule walks across the face";
    EXPECT_LT(player().y, resting.y + 1e-3);
    walk({-3, 0, 0}, 2.0);
    EXPECT_LT(player().x, 2.0);
    EXPECT_NEAR(player().y, standing, 0.02) << "walking down the face reaches the ground";
}

TEST_F(CapsuleTest, IsBlockedByACakeWithoutPushingIt)
{
    addGround();
    Body* cake = physics->throwCake({2.5f, 0.51f, 0}, {0, 0, 0}, 1);
    physics->setPlayerPosition({0, standing, 0});
    walk({3, 0, 0}, 1.0);
    EXPECT_LT(player().x, 1.5 - 0.3 + 0.05);
    EXPECT_NEAR(physics->position(cake).x, 2.5f, 0.05f);
}

TEST_F(CapsuleTest, RidesAMovingTargetAndIsPushedByOne)
{
    addGround();
    Body* platform = physics->addTargetBody(shapeOf(testmodels::box({-2, 0, -2}, {2, 0.4f, 2})),
                                            at(0, 0, 0), nullptr);
    physics->setPlayerPosition({0, standing + 0.4, 0});
    walk({0, 0, 0}, 0.2);
    for (int i = 1; i <= 60; ++i) {
        physics->step(frame);
        physics->setKinematicPose(platform, at(i * 0.03f, 0, 0));
        walkFrame({0, 0, 0});
    }
    EXPECT_NEAR(player().x, 1.77, 0.1);
    EXPECT_NEAR(player().y, standing + 0.4, 0.03);

    Body* pusher = physics->addTargetBody(shapeOf(testmodels::box({-0.5f, 0, -2}, {0.5f, 3, 2})),
                                          at(0, 0, 10), nullptr);
    physics->setPlayerPosition({2, standing, 10});
    walk({0, 0, 0}, 0.2);
    for (int i = 1; i <= 60; ++i) {
        physics->step(frame);
        physics->setKinematicPose(pusher, at(i * 0.05f, 0, 10));
        walkFrame({0, 0, 0});
    }
    EXPECT_GT(player().x, 3.0 + 0.5 + 0.3 - 0.1);
    EXPECT_NEAR(player().y, standing, 0.05);
}

// The game moves its targets after the physics step and the player after
// them, so the capsule must meet a target where it was just put, in the same
// frame: blocked by it, pushed out of it, carried by it.
TEST_F(CapsuleTest, MeetsATargetAtThePoseItWasJustGiven)
{
    addGround();
    Body* wall = physics->addTargetBody(shapeOf(testmodels::box({-0.5f, 0, -2}, {0.5f, 3, 2})), at(0, 0, 30),
                                        nullptr);
    physics->setPlayerPosition({0, standing, 0});
    walk({0, 0, 0}, 0.2);
    physics->step(frame);

    physics->setKinematicPose(wall, at(2, 0, 0));
    EXPECT_TRUE(physics->movePlayer({3, 0, 0}, 0.0f, frame) & collisionSides);
    EXPECT_NEAR(player().x, 1.5 - 0.3, 0.03) << "the capsule walked through where the target now stands";

    physics->setKinematicPose(wall, at(0.6f, 0, 0));
    physics->movePlayer({0, -0.01f, 0}, 0.0f, frame);
    EXPECT_NEAR(player().x, 1.1 + 0.3, 0.03) << "the capsule was not pushed out of the target";

    physics->setKinematicPose(wall, at(0, 0, 30));
    physics->movePlayer({3, 0, 0}, 0.0f, frame);
    EXPECT_NEAR(player().x, 4.4, 0.03) << "the capsule was stopped where the target no longer is";

    Body* platform = physics->addTargetBody(shapeOf(testmodels::box({-2, 0, -2}, {2, 0.4f, 2})), at(0, 0, 10),
                                            nullptr);
    physics->setPlayerPosition({0, standing + 0.4, 10});
    walk({0, 0, 0}, 0.2);
    physics->step(frame);
    physics->setKinematicPose(platform, at(0.5f, 0.2f, 10));
    physics->movePlayer({0, -0.01f, 0}, 0.0f, frame);
    EXPECT_NEAR(player().x, 0.5, 1e-3) << "the capsule did not ride the platform's move";
    EXPECT_NEAR(player().y, standing + 0.6, 0.02);
}
