// The generated collision models in the game's own physics world: the player
// lands where the game starts him, cakes come to rest on the ground and on
// what carries the targets, and a thrown cake meets a placed target.

#include "assetgen.h"

#include "modelLoader/physic_model.h"
#include "physicsengine/physics.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

namespace {

using frosk::modelLoader::PhysicModel;
using frosk::physicsengine::Body;
using frosk::physicsengine::Physics;

const glm::mat4 terrainPlace = glm::translate(glm::mat4(1.0f), glm::vec3(0, -2, 0));

void run(Physics& physics, double seconds, bool walkPlayer)
{
    for (int i = 0; i < static_cast<int>(seconds * 60.0); ++i) {
        if (walkPlayer)
            physics.movePlayer({0.0f, -9.8f / 60.0f, 0.0f}, 0.001f, 1.0f / 60.0f);
        physics.step(1.0 / 60.0);
    }
}

class LevelGround : public ::testing::TestWithParam<int> {};

TEST_P(LevelGround, PlayerLandsAndCakesRestOnTheGroundAndOnWhatCarriesTheTargets)
{
    const int level = GetParam();
    Physics physics;
    PhysicModel terrain;
    terrain.loadStaticActors(physics, level == 1 ? "Models/level1_boundingbox3.dae" : "Models/level2_boundingbox.dae",
                             terrainPlace);
    ASSERT_FALSE(terrain.actors.empty());

    // Cakes dropped beside the start and on top of every standing target's place.
    std::vector<std::pair<Body*, float>> cakes;
    cakes.emplace_back(physics.throwCake({4.0f, 0.0f, 3.0f}, glm::vec3(0.0f), 0), -2.0f);
    uint32_t id = 1;
    for (const assetgen::TargetPlacement& t : assetgen::levelTargets(level))
        if (!t.moving())
            cakes.emplace_back(physics.throwCake(t.position + glm::vec3(0, 1.5f, 0), glm::vec3(0.0f), id++), t.position.y);

    run(physics, 4.0, true);
    // The capsule's centre stands 0.3 + 1.85 / 2 above the ground at y -2.
    EXPECT_NEAR(physics.playerPosition().y, -2.0 + 1.225, 0.15);
    for (const auto& [cake, ground] : cakes) {
        SCOPED_TRACE(ground);
        EXPECT_NEAR(physics.position(cake).y, ground + 0.5f, 0.35f) << "the cake did not come to rest on it";
        EXPECT_LT(glm::length(physics.linearVelocity(cake)), 0.2f);
    }
    physics.removeBodies(terrain.actors);
}

INSTANTIATE_TEST_SUITE_P(BothLevels, LevelGround, ::testing::Values(1, 2));

TEST(TargetCollision, AThrownCakeReachesAPlacedTarget)
{
    Physics physics;
    const assetgen::TargetPlacement& t = assetgen::levelTargets(1)[1];
    const glm::mat4 pose = assetgen::targetMatrix(t, 0.0f);
    PhysicModel board;
    Body* target = physics.addTargetBody(board.loadShape(physics, "Models/target5.dae", pose), pose, nullptr);
    ASSERT_NE(target, nullptr);
    // Thrown from 8 units in front of the board's face straight at its middle.
    const glm::vec3 centre(pose * glm::vec4(0, assetgen::targetBoardCentre, 0, 1));
    const glm::vec3 from(pose * glm::vec4(8, assetgen::targetBoardCentre, 0, 1));
    Body* cake = physics.throwCake(from, glm::normalize(centre - from) * 20.0f, 0);
    run(physics, 1.0, false);
    // The board stops the cake: it ends in front of the face, not behind it.
    const glm::vec3 local(glm::inverse(pose) * glm::vec4(physics.position(cake), 1));
    EXPECT_GT(local.x, 0.0f);
}

TEST(SnowmanCollision, EachKindStopsACakeThrownAtItsMiddle)
{
    const char* files[3] = {"Models/snowman_boundingbox2.dae", "Models/snowman_boundingbox_woman.dae",
                            "Models/snowman_boundingbox_child.dae"};
    const float scales[3] = {1.0f, 0.9f, 0.5f};
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(files[k]);
        Physics physics;
        PhysicModel model;
        const glm::mat4 pose = glm::translate(glm::mat4(1.0f), glm::vec3(0, -1.95f, 0));
        ASSERT_NE(physics.addStaticBody(model.loadShape(physics, files[k], pose), pose), nullptr);
        // Straight at the middle ball, at its height for this size; it must
        // bounce off, not pass through.
        const float middle = -1.95f + 1.06f * scales[k];
        Body* cake = physics.throwCake({3.0f, middle, 0.0f}, {-20.0f, 0.0f, 0.0f}, 0);
        run(physics, 0.4, false);
        EXPECT_GT(physics.position(cake).x, 0.0f);
        physics.removeBody(cake);
        // Thrown over the top of the head it flies on.
        Body* high = physics.throwCake({3.0f, -1.95f + 1.75f * scales[k] + 0.7f, 0.0f}, {-20.0f, 0.0f, 0.0f}, 1);
        run(physics, 0.4, false);
        EXPECT_LT(physics.position(high).x, -2.0f);
    }
}

} // namespace
