// A layout of the test's own, built in the running game: a level is a table,
// and the one Level builds, moves, draws and destroys whatever the table holds.
#include "support/game_world.h"
#include "support/offscreen.h"

#include "app/game.h"
#include "common/globals.h"
#include "levels/layouts.h"
#include "levels/level.h"
#include "physicsengine/physics.h"
#include "scene/snowman.h"
#include "scene/target.h"
#include "sound/sound.h"

#include <AL/al.h>

using frosk::levels::Layout;
using frosk::levels::Level;
using frosk::scene::Target;

namespace {

// The plain landscape without collision, one standing and one moving target,
// the man alone, and the rest sound played once.
const Layout meadow{
    3,
    {
        {{4.0f, -2.0f, 10.0f}, 90.0f, {0, 0, 0}, 0.0f, 0.0f},
        {{-4.0f, -2.0f, 10.0f}, 45.0f, {0, 0, 1}, 2.0f, 3.0f},
    },
    {
        {frosk::levels::snowmanMan, {0.0f, -1.95f, 7.0f}, 180.0f, 1.0f},
    },
    3,
    false,
};

int glObjectCount()
{
    int count = 0;
    for (GLuint name = 1; name < 20000; ++name)
        count += (glIsBuffer(name) ? 1 : 0) + (glIsTexture(name) ? 1 : 0) + (glIsVertexArray(name) ? 1 : 0);
    return count;
}

} // namespace

class ThirdLayout : public GameWorld {
protected:
    void SetUp() override
    {
        GameWorld::SetUp();
        if (HasFatalFailure())
            return;
        delete frosk::level;
        frosk::level = nullptr;
        // The plain landscape has no collision of its own to stand on.
        ground = addGround(-2.0f);
    }

    void TearDown() override
    {
        delete frosk::level;
        frosk::level = nullptr;
        if (ground != nullptr)
            frosk::physics->removeBody(ground);
        GameWorld::TearDown();
    }

    frosk::physicsengine::Body* ground = nullptr;
};

TEST_F(ThirdLayout, BuildsMovesDrawsAndGoesWithoutATrace)
{
    // Images become textures once for the run, and the frame keeps some GL
    // objects of its own: let the layout stand and be drawn once before
    // counting what GL holds.
    frosk::physics->setPlayerPosition(glm::dvec3(0.0, 0.0, 0.0));
    frosk::level = new Level(frosk::levelResources(), meadow);
    frame(1.0 / 60.0, true);
    delete frosk::level;
    frosk::level = nullptr;
    const std::size_t bodies = frosk::physics->bodyCount();
    const int objects = glObjectCount();

    frosk::level = new Level(frosk::levelResources(), meadow);
    Level& level = *frosk::level;
    ASSERT_EQ(level.targets.size(), 2u);
    ASSERT_EQ(level.snowmen.size(), 1u);
    EXPECT_EQ(frosk::physics->bodyCount(), bodies + 3) << "two targets and the man, no terrain bodies";
    for (Target* target : level.targets) {
        ASSERT_NE(target->body, nullptr);
        EXPECT_EQ(frosk::physics->targetOf(target->body), target);
        EXPECT_EQ(target->model, level.targetTemplate->model) << "placed targets share the template's model";
    }
    EXPECT_TRUE(level.targets[0]->standsStill());
    EXPECT_FALSE(level.targets[1]->standsStill());
    ALint looping = AL_TRUE;
    alGetSourcei(level.sound->sources[meadow.musicSlot], AL_LOOPING, &looping);
    EXPECT_EQ(looping == AL_TRUE, meadow.musicLoops);

    // Through the game's own frames, drawn: the moving target moves with its
    // body, the standing one and the man's place stay.
    const glm::vec3 standing(level.targets[0]->modelMatrix[3]);
    const glm::vec3 moving(level.targets[1]->modelMatrix[3]);
    const glm::vec3 man(level.snowmen[0]->modelMatrix[3]);
    for (int i = 0; i < 30; ++i)
        frame(1.0 / 60.0, true);
    EXPECT_EQ(glm::vec3(level.targets[0]->modelMatrix[3]), standing);
    EXPECT_GT(glm::length(glm::vec3(level.targets[1]->modelMatrix[3]) - moving), 0.9f);
    EXPECT_LT(glm::length(glm::vec3(frosk::physics->pose(level.targets[1]->body)[3]) -
                          glm::vec3(level.targets[1]->modelMatrix[3])),
              1e-4f);
    EXPECT_EQ(glm::vec3(level.snowmen[0]->modelMatrix[3]), man);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    testsupport::writePng(testsupport::screenshotPath("layout_meadow"), 800, 600,
                          testsupport::readPixels(0, 0, 800, 600));
    EXPECT_EQ(testsupport::glErrors(), "");

    // A hit destroys the earlier of the pair in the list; strangers and
    // nulls destroy nothing. The body is the caller's to remove.
    EXPECT_FALSE(level.destroyHitTarget(nullptr, nullptr));
    EXPECT_FALSE(level.destroyHitTarget(level.targetTemplate.get(), nullptr));
    Target* first = level.targets[0];
    Target* second = level.targets[1];
    frosk::physicsengine::Body* body = first->body;
    EXPECT_TRUE(level.destroyHitTarget(second, first));
    ASSERT_EQ(level.targets.size(), 1u);
    EXPECT_EQ(level.targets[0], second);
    EXPECT_EQ(frosk::physics->bodyCount(), bodies + 3) << "the hit target's body waits for its removal";
    frosk::physics->removeBody(body);

    // The level takes the rest with it: the moving target's body, the man's,
    // and every GL object it made.
    delete frosk::level;
    frosk::level = nullptr;
    EXPECT_EQ(frosk::physics->bodyCount(), bodies);
    EXPECT_EQ(glObjectCount(), objects);
}
