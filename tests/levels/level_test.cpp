// Both levels as the running game builds them: targets where the tables put
// them, moving targets with their bodies in step, the snowmen's animation,
// the level's sound, and nothing left behind when a level goes.
#include "support/game_world.h"

#include "app/game.h"
#include "common/globals.h"
#include "datastructures/tree_node.h"
#include "levels/level1.h"
#include "levels/level2.h"
#include "physicsengine/physics.h"
#include "scene/snowman.h"
#include "scene/target.h"
#include "scene/terrain.h"
#include "sound/sound.h"

#include <AL/al.h>
#include <glm/gtc/matrix_transform.hpp>

using frosk::levels::Level1;
using frosk::levels::Level2;
using frosk::scene::Target;

namespace {

void expectNear(const glm::mat4& a, const glm::mat4& b, float tolerance, const std::string& what)
{
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_NEAR(a[c][r], b[c][r], tolerance) << what << " [" << c << "][" << r << "]";
}

ALint sourceState(ALuint source)
{
    ALint state = 0;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state;
}

} // namespace

class Levels : public GameWorld {
protected:
    Level1* level1() const { return dynamic_cast<Level1*>(frosk::level); }
};

TEST_F(Levels, LevelOnePlacesItsTenTargetsAsTheTableSaysWithBodiesInPlace)
{
    ASSERT_NE(level1(), nullptr);
    const std::vector<Target*>& targets = frosk::level->targets;
    ASSERT_EQ(targets.size(), 10u);
    EXPECT_EQ(std::count(targets.begin(), targets.end(), level1()->targetTemplate.get()), 0);

    // First and fifth rows: translation, then the turn about y in degrees.
    expectNear(targets[0]->modelMatrix, frosk::levels::placementMatrix({-9.0f, -0.05f, -36.0f}, -60.0f), 1e-6f, "#1");
    const glm::mat4 fifth = glm::rotate(glm::translate(glm::mat4(1.0f), glm::vec3(18, -1, 0)),
                                        glm::radians(-180.0f), glm::vec3(0, 1, 0));
    expectNear(targets[4]->modelMatrix, fifth, 1e-5f, "#5");
    for (Target* target : targets) {
        ASSERT_NE(target->body, nullptr);
        EXPECT_EQ(frosk::physics->targetOf(target->body), target);
        EXPECT_EQ(frosk::physics->groupOf(target->body), 20u);
        expectNear(frosk::physics->pose(target->body), target->modelMatrix, 1e-4f, "body of a target");
    }
}

TEST_F(Levels, AMovingTargetSweepsItsDistanceAndBackWithItsBodyInStep)
{
    // Row 5: speed 3 over 8 units along its own x, turned by -180 degrees, so
    // it first moves towards -x in the world.
    Target* target = frosk::level->targets[4];
    const glm::vec3 start(target->modelMatrix[3]);
    int frames = 0;
    while (target->travelled < 8.0f && frames < 100) {
        target->update(0.05);
        ++frames;
        expectNear(frosk::physics->pose(target->body), target->modelMatrix, 1e-4f, "body while moving");
    }
    EXPECT_EQ(frames, 54) << "0.15 a frame until 8 is reached";
    const glm::vec3 far(target->modelMatrix[3]);
    EXPECT_NEAR(far.x, start.x - 8.1f, 1e-3f);
    EXPECT_NEAR(far.z, start.z, 1e-4f);

    // The frame after the sweep only turns the target round.
    target->update(0.05);
    EXPECT_EQ(target->travelled, 0.0f);
    EXPECT_EQ(glm::vec3(target->modelMatrix[3]), far);
    EXPECT_EQ(target->direction, glm::vec3(-1, 0, 0));
    for (int i = 0; i < 54; ++i)
        target->update(0.05);
    EXPECT_NEAR(target->modelMatrix[3].x, start.x, 1e-3f);
}

TEST_F(Levels, LongFramesAndStandingTargetsMoveNothing)
{
    Target* standing = frosk::level->targets[0];
    Target* moving = frosk::level->targets[5];
    const glm::mat4 before = moving->modelMatrix;
    moving->update(0.11);
    EXPECT_EQ(moving->modelMatrix, before);
    moving->update(0.1);
    EXPECT_NE(moving->modelMatrix, before) << "a frame of exactly 0.1 s still counts";

    const glm::mat4 still = standing->modelMatrix;
    for (double dt : {0.0, 0.016, 0.1})
        standing->update(dt);
    EXPECT_EQ(standing->modelMatrix, still);
}

TEST_F(Levels, LevelOnePlaysItsMusicUntilItIsDestroyed)
{
    const ALuint music = level1()->sound->sources[0];
    EXPECT_EQ(sourceState(music), AL_PLAYING);
    ALint looping = 0;
    alGetSourcei(music, AL_LOOPING, &looping);
    EXPECT_EQ(looping, AL_TRUE);
    delete frosk::level;
    frosk::level = nullptr;
    EXPECT_FALSE(alIsSource(music)) << "the music's source goes with the level";
    frosk::level = new Level1(frosk::levelResources());
}

TEST_F(Levels, TextureFilterChangesTerrainAndSkyButNoTarget)
{
    frosk::level->setTextureFilter(GL_NEAREST);
    const auto firstTexture = [](const frosk::datastructures::TreeNode& root) -> GLuint {
        std::vector<const frosk::datastructures::TreeNode*> open{&root};
        while (!open.empty()) {
            const auto* node = open.back();
            open.pop_back();
            for (const auto& mesh : node->meshes)
                if (!mesh->textures.empty())
                    return mesh->textures[0];
            for (const auto& child : node->children)
                open.push_back(child.get());
        }
        return 0;
    };
    const GLuint terrainTexture = firstTexture(*level1()->terrain->model);
    ASSERT_NE(terrainTexture, 0u);
    GLint filter = 0;
    glBindTexture(GL_TEXTURE_2D, terrainTexture);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST_F(Levels, SnowmenSwingTheirArmsInOppositePhaseAndSway)
{
    delete frosk::level;
    frosk::level = new Level2(frosk::levelResources());
    auto* winter = dynamic_cast<Level2*>(frosk::level);
    ASSERT_NE(winter, nullptr);
    EXPECT_EQ(winter->targets.size(), 10u);
    frosk::scene::Snowman& man = *winter->man;

    // Shared tree: one model for the family, the child at half size.
    EXPECT_EQ(winter->child->model, man.model);
    EXPECT_EQ(winter->woman->model, man.model);
    EXPECT_NEAR(glm::length(glm::vec3(winter->child->modelMatrix[0])), 0.5f, 1e-5f);
    EXPECT_NEAR(glm::length(glm::vec3(winter->woman->modelMatrix[1])), 0.9f, 1e-5f);
    ASSERT_NE(winter->child->body, nullptr);
    // The child's body stands at its place, unscaled.
    const glm::mat4 childPose = frosk::physics->pose(winter->child->body);
    EXPECT_NEAR(glm::length(glm::vec3(childPose[0])), 1.0f, 1e-4f);
    EXPECT_NEAR(childPose[3].x, 0.6f, 1e-4f);

    // Too long a frame changes nothing at all.
    const glm::mat4 armBefore = man.model->children[0]->children[0]->transform;
    const glm::mat4 manBefore = man.modelMatrix;
    man.update(0.2);
    winter->child->updateSway(0.2);
    EXPECT_EQ(man.model->children[0]->children[0]->transform, armBefore);
    EXPECT_EQ(man.modelMatrix, manBefore);
    EXPECT_EQ(man.armAngle1, 0.0f);

    // 2 degrees a frame from 0 up to past 90, then clamped and reversed,
    // while the other arm comes down from 90.
    float previous = man.armAngle1;
    int frames = 0;
    while (man.armDirection1 > 0.0f && frames < 100) {
        man.update(0.01);
        if (man.armDirection1 > 0.0f) {
            EXPECT_NEAR(man.armAngle1 - previous, 2.0f, 1e-4f);
            EXPECT_NEAR(man.armAngle2, 90.0f - (man.armAngle1 - 0.0f), 1e-3f) << "opposite phase";
        }
        previous = man.armAngle1;
        ++frames;
    }
    EXPECT_EQ(man.armAngle1, 90.0f);
    EXPECT_EQ(man.armDirection1, -1.0f);
    man.update(0.01);
    EXPECT_NEAR(man.armAngle1, 88.0f, 1e-4f);
    EXPECT_NE(man.modelMatrix, manBefore) << "the man turns as he sways";
}

TEST_F(Levels, TheSwayCounterKeepsWholeDegrees)
{
    delete frosk::level;
    frosk::level = new Level2(frosk::levelResources());
    frosk::scene::Snowman& child = *dynamic_cast<Level2*>(frosk::level)->child;
    // A step of 1.5 degrees: 2 a frame while negative, 1 while positive.
    child.swayAngle = -30;
    child.swayDirection = 1;
    std::vector<int> seen;
    for (int i = 0; i < 18; ++i) {
        child.updateSway(1.5 / 90.0);
        seen.push_back(child.swayAngle);
    }
    EXPECT_EQ(seen[0], -28);
    EXPECT_EQ(seen[14], 0);
    EXPECT_EQ(seen[15], 1);
    EXPECT_EQ(seen[17], 3);
    // Steps below one degree leave a counter of 0 where it is.
    child.swayAngle = 0;
    const glm::mat4 before = child.modelMatrix;
    child.updateSway(0.005);
    EXPECT_EQ(child.swayAngle, 0);
    EXPECT_NE(child.modelMatrix, before);
}

TEST_F(Levels, RebuildingEachLevelTenTimesLeavesNothingBehind)
{
    // What the world and GL hold with one level standing.
    const auto glObjects = [] {
        int count = 0;
        for (GLuint name = 1; name < 20000; ++name)
            count += (glIsBuffer(name) ? 1 : 0) + (glIsTexture(name) ? 1 : 0) + (glIsVertexArray(name) ? 1 : 0);
        return count;
    };
    // Each image file becomes one texture for the run: after both layouts
    // have stood once, rebuilding them adds nothing.
    delete frosk::level;
    frosk::level = new Level2(frosk::levelResources());
    delete frosk::level;
    frosk::level = nullptr;
    const std::size_t bodies = frosk::physics->bodyCount();
    const int objects = glObjects();
    for (int round = 0; round < 10; ++round) {
        frosk::level = round % 2 == 0 ? static_cast<frosk::levels::Level*>(new Level1(frosk::levelResources()))
                                      : new Level2(frosk::levelResources());
        EXPECT_GT(frosk::physics->bodyCount(), bodies + 10);
        delete frosk::level;
        frosk::level = nullptr;
        EXPECT_EQ(frosk::physics->bodyCount(), bodies) << "round " << round;
    }
    EXPECT_EQ(glObjects(), objects);
    frosk::level = new Level1(frosk::levelResources());
}
