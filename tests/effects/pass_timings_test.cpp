// GL timer queries around the passes of the game's own frames.
#include "support/game_world.h"

#include "app/game.h"
#include "app/pass_timings.h"
#include "common/globals.h"
#include "controls/controller.h"

#include <string>
#include <vector>

namespace {

std::vector<std::string> names(const std::vector<frosk::PassTiming>& timings)
{
    std::vector<std::string> list;
    for (const frosk::PassTiming& timing : timings)
        list.push_back(timing.name);
    return list;
}

const std::vector<std::string> framePasses = {"shadow", "glow", "blur", "scene", "composite", "overlay"};

} // namespace

class PassTimings : public GameWorld {
protected:
    void TearDown() override
    {
        frosk::enablePassTimings(false);
        GameWorld::TearDown();
    }
};

TEST_F(PassTimings, EachPassOfAFrameIsTimedInOrder)
{
    frosk::enablePassTimings(true);
    EXPECT_TRUE(frosk::lastPassTimings().empty()) << "no frame yet";
    frame(1.0 / 60.0, true);
    const std::vector<frosk::PassTiming> timings = frosk::lastPassTimings();
    EXPECT_EQ(names(timings), framePasses);
    for (const frosk::PassTiming& timing : timings) {
        EXPECT_GT(timing.milliseconds, 0.0) << timing.name;
        EXPECT_LT(timing.milliseconds, 10000.0) << timing.name;
    }

    // Many frames in a row, read only now and then: the newest one comes back
    // whole, not a mixture of several.
    for (int i = 0; i < 7; ++i)
        frame(1.0 / 60.0, true);
    EXPECT_EQ(names(frosk::lastPassTimings()), framePasses);
    // Read again with no new frame: the same frame.
    EXPECT_EQ(names(frosk::lastPassTimings()), framePasses);

    frosk::controller->physicsDebug = true;
    frame(1.0 / 60.0, true);
    std::vector<std::string> withDebug = framePasses;
    withDebug.push_back("physics debug");
    EXPECT_EQ(names(frosk::lastPassTimings()), withDebug);
    frosk::controller->physicsDebug = false;
    EXPECT_EQ(testsupport::glErrors(), "");
}

TEST_F(PassTimings, NothingIsRecordedWhileOffNorByFramesThatOnlyUpdate)
{
    frame(1.0 / 60.0, true);
    EXPECT_TRUE(frosk::lastPassTimings().empty());

    frosk::enablePassTimings(true);
    frame(1.0 / 60.0, true);
    ASSERT_EQ(frosk::lastPassTimings().size(), framePasses.size());
    // Off forgets what was timed; on again starts afresh.
    frosk::enablePassTimings(false);
    EXPECT_TRUE(frosk::lastPassTimings().empty());
    frame(1.0 / 60.0, true);
    EXPECT_TRUE(frosk::lastPassTimings().empty());
    frosk::enablePassTimings(true);
    EXPECT_TRUE(frosk::lastPassTimings().empty());

    // Every pass, the shadow pass too, belongs to the drawn frame: an update
    // alone issues no GL work to time.
    frames(3);
    frame();
    EXPECT_TRUE(frosk::lastPassTimings().empty());
    EXPECT_EQ(testsupport::glErrors(), "");
}
