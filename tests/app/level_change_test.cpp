// Levels change as the loop changes them: by parity after a win, back to the
// first after a loss, with the player put back at the start; and a cake that
// hits a level's target destroys it for 100 points.
#include "support/game_world.h"

#include "app/game.h"
#include "common/game_state.h"
#include "common/globals.h"
#include "controls/controller.h"
#include "levels/level1.h"
#include "levels/level2.h"
#include "physicsengine/physics.h"
#include "scene/cake.h"
#include "scene/flight.h"
#include "scene/target.h"

using frosk::GameState;

class LevelChangeInPlay : public GameWorld {};

TEST_F(LevelChangeInPlay, WinsAlternateTheLayoutsAndALossStartsOver)
{
    GameState& state = *frosk::gameState;
    state.score = 300;
    state.targetsLeft = 0;
    frosk::physics->setPlayerPosition(glm::dvec3(10.0, 5.0, 10.0));
    frosk::decideStatus(state, *frosk::timeLeft, false);
    frosk::advanceLevel();
    EXPECT_NE(dynamic_cast<frosk::levels::Level2*>(frosk::level), nullptr);
    EXPECT_EQ(state.level, 2);
    EXPECT_EQ(state.cakesLeft, 18);
    EXPECT_EQ(state.score, 300);
    EXPECT_EQ(state.status, "In process");
    EXPECT_EQ(*frosk::timeLeft, 120000.0);
    EXPECT_EQ(frosk::physics->playerPosition(), glm::dvec3(0.0, 3.0, 0.0));
    EXPECT_EQ(frosk::level->targets.size(), 10u);

    state.targetsLeft = 0;
    frosk::decideStatus(state, 5.0, false);
    frosk::advanceLevel();
    EXPECT_NE(dynamic_cast<frosk::levels::Level1*>(frosk::level), nullptr);
    EXPECT_EQ(state.level, 3);
    EXPECT_EQ(state.cakesLeft, 16);

    *frosk::timeLeft = -1.0;
    frosk::decideStatus(state, *frosk::timeLeft, false);
    ASSERT_EQ(state.status, "GAME OVER !");
    frosk::advanceLevel();
    EXPECT_NE(dynamic_cast<frosk::levels::Level1*>(frosk::level), nullptr);
    EXPECT_EQ(state.level, 1);
    EXPECT_EQ(state.score, 0);
    EXPECT_EQ(state.cakesLeft, 20);
    EXPECT_EQ(*frosk::timeLeft, 120000.0);
}

TEST_F(LevelChangeInPlay, ACakeThatHitsATargetDestroysItAndScores)
{
    // Target 2 stands still at (3, -1, 12); throw straight at its board.
    frosk::scene::Target* target = frosk::level->targets[1];
    const glm::vec3 board = glm::vec3(target->modelMatrix * glm::vec4(0.0f, 0.75f, 0.0f, 1.0f));
    const glm::vec3 from = board + glm::vec3(0.0f, 0.3f, -4.0f);
    frosk::scene::throwCake(*frosk::physics, *frosk::controller->cakeTemplates[0], from,
                            glm::normalize(board - from), 15.0f);
    const std::size_t bodies = frosk::physics->bodyCount();

    for (int i = 0; i < 120 && frosk::level->targets.size() == 10; ++i)
        frame();
    ASSERT_EQ(frosk::level->targets.size(), 9u) << "the target was not hit";
    EXPECT_EQ(std::count(frosk::level->targets.begin(), frosk::level->targets.end(), target), 0);
    EXPECT_EQ(frosk::gameState->score, 100);
    EXPECT_EQ(frosk::gameState->targetsLeft, 9);
    EXPECT_TRUE(frosk::thrownCakes.empty());
    EXPECT_EQ(frosk::particleSystems.size(), 1u);
    EXPECT_EQ(frosk::physics->bodyCount(), bodies - 2) << "cake and target bodies leave after the step";
    EXPECT_TRUE(frosk::actorsToRemove.empty());
}
