// Levels change as the loop changes them: by parity after a win, back to the
// first after a loss, with the player put back at the start; and a cake that
// hits a level's target destroys it for 100 points.
#include "support/game_world.h"

#include "app/game.h"
#include "common/game_state.h"
#include "common/globals.h"
#include "controls/controller.h"
#include "datastructures/mesh.h"
#include "datastructures/tree_node.h"
#include "levels/level1.h"
#include "levels/level2.h"
#include "physicsengine/physics.h"
#include "scene/cake.h"
#include "scene/flight.h"
#include "scene/heaven.h"
#include "scene/target.h"
#include "scene/terrain.h"

#include <utility>
#include <vector>

using frosk::GameState;

namespace {

using Filters = std::vector<std::pair<GLint, GLint>>;

// Minification and magnification filter of every texture of a model, as GL
// holds them.
Filters filtersOf(const frosk::datastructures::TreeNode& root)
{
    Filters filters;
    std::vector<const frosk::datastructures::TreeNode*> open{&root};
    while (!open.empty()) {
        const frosk::datastructures::TreeNode* node = open.back();
        open.pop_back();
        for (const auto& mesh : node->meshes)
            for (GLuint texture : mesh->textures) {
                GLint min = 0, mag = 0;
                glBindTexture(GL_TEXTURE_2D, texture);
                glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
                glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
                filters.emplace_back(min, mag);
            }
        for (const auto& child : node->children)
            open.push_back(child.get());
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    return filters;
}

Filters terrainFilters()
{
    return filtersOf(*frosk::level->terrain->model);
}

Filters skyFilters()
{
    return filtersOf(*frosk::level->sky->model);
}

} // namespace

class LevelChangeInPlay : public GameWorld {
protected:
    void winLevel()
    {
        frosk::gameState->targetsLeft = 0;
        frosk::decideStatus(*frosk::gameState, *frosk::timeLeft, false);
        frosk::advanceLevel();
    }
    void press(int key)
    {
        input.press(key);
        frame();
        input.release(key);
        frame();
    }
};

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

// Levels share their textures, so a rebuilt level may get fresh textures or
// ones an earlier level left with another filter; either way it shows the one
// the player chose last. Before any choice, levels keep their own filters:
// the terrain smooth, the sky sharp.
TEST_F(LevelChangeInPlay, ARebuiltLevelShowsTheTextureFilterChosenWithF4OrF5)
{
    const std::pair<GLint, GLint> smooth{GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR};
    const std::pair<GLint, GLint> sharp{GL_NEAREST, GL_NEAREST};
    for (int change = 0; change < 3; ++change) {
        const Filters terrain = terrainFilters();
        ASSERT_FALSE(terrain.empty());
        EXPECT_EQ(Filters(terrain.size(), smooth), terrain) << "level " << frosk::gameState->level;
        const Filters sky = skyFilters();
        ASSERT_FALSE(sky.empty());
        EXPECT_EQ(Filters(sky.size(), sharp), sky) << "level " << frosk::gameState->level;
        winLevel();
    }

    struct Choice {
        int key;
        GLint min, mag;
    };
    // Round from linear between mipmaps: F4 to nearest sampling, F5 to no
    // mipmaps, F4 back to bilinear, and F5 to the nearest mipmap.
    const Choice choices[] = {{GLFW_KEY_F4, GL_NEAREST_MIPMAP_LINEAR, GL_NEAREST},
                              {GLFW_KEY_F5, GL_NEAREST, GL_NEAREST},
                              {GLFW_KEY_F4, GL_LINEAR, GL_LINEAR},
                              {GLFW_KEY_F5, GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR}};
    for (const Choice& choice : choices) {
        press(choice.key);
        ASSERT_EQ(frosk::controller->textureFilter(), choice.min);
        // Into each layout once.
        for (int change = 0; change < 2; ++change) {
            winLevel();
            Filters filters = terrainFilters();
            const Filters sky = skyFilters();
            filters.insert(filters.end(), sky.begin(), sky.end());
            EXPECT_EQ(Filters(filters.size(), {choice.min, choice.mag}), filters)
                << "level " << frosk::gameState->level << " after key " << choice.key;
        }
    }
    EXPECT_EQ(testsupport::glErrors(), "");
}
