// Both levels as the player sees them, from the start and from two other
// places: the finished frame on the window, with no black or unpainted holes.
#include "support/game_world.h"

#include "app/game.h"
#include "common/game_state.h"
#include "common/globals.h"
#include "controls/controller.h"
#include "physicsengine/physics.h"
#include "support/offscreen.h"

#include <string>
#include <vector>

namespace {

struct View {
    std::string name;
    glm::dvec3 position;
    float horizontalAngle;
    float verticalAngle;
};

// Level 1's targets stand all around the start; these look at most of them.
const std::vector<View> views = {
    {"start", {0.0, 3.0, 0.0}, 0.0f, -0.05f},
    {"east", {6.0, 4.0, 4.0}, 1.4f, -0.1f},
    {"north", {2.0, 4.0, -4.0}, 3.0f, 0.0f},
};

// Tiles of 25x25 pixels that are black all through. Outlines are black, but
// only a hole in the picture (nothing drawn, a broken pass) is black that wide.
int blackTiles(const std::vector<unsigned char>& rgba, int width, int height)
{
    int count = 0;
    for (int ty = 0; ty + 25 <= height; ty += 25)
        for (int tx = 0; tx + 25 <= width; tx += 25) {
            bool black = true;
            for (int y = ty; y < ty + 25 && black; ++y)
                for (int x = tx; x < tx + 25 && black; ++x) {
                    const unsigned char* p = &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
                    black = p[0] + p[1] + p[2] < 24;
                }
            count += black ? 1 : 0;
        }
    return count;
}

} // namespace

class LevelViews : public GameWorld {
protected:
    // Puts the player at `view`, lets the capsule come down on the ground,
    // turns to the view and draws one frame onto the window.
    std::vector<unsigned char> look(const View& view)
    {
        frosk::physics->setPlayerPosition(view.position);
        frames(40);
        frosk::controller->horizontalAngle = view.horizontalAngle;
        frosk::controller->verticalAngle = view.verticalAngle;
        frame(1.0 / 60.0, false);
        frosk::controller->horizontalAngle = view.horizontalAngle;
        frosk::controller->verticalAngle = view.verticalAngle;
        frame(1.0 / 60.0, true);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        glReadBuffer(GL_BACK);
        return testsupport::readPixels(0, 0, 800, 600);
    }

    void checkViews(const std::string& levelName)
    {
        for (const View& view : views) {
            const std::vector<unsigned char> picture = look(view);
            testsupport::writePng(testsupport::screenshotPath(levelName + "_" + view.name), 800, 600, picture);
            EXPECT_EQ(blackTiles(picture, 800, 600), 0) << levelName << " from " << view.name;
            // Bottom-up rows: the top row of the window is the sky.
            const unsigned char* sky = &picture[static_cast<std::size_t>(599) * 800 * 4 + 400 * 4];
            EXPECT_GT(sky[2], sky[0]) << levelName << " from " << view.name << ": blue sky overhead";
        }
        EXPECT_EQ(testsupport::glErrors(), "");
    }
};

TEST_F(LevelViews, LevelOneFromTheStartAndTwoOtherPlaces)
{
    checkViews("level1");
}

TEST_F(LevelViews, LevelTwoFromTheStartAndTwoOtherPlaces)
{
    frosk::gameState->targetsLeft = 0;
    frosk::decideStatus(*frosk::gameState, *frosk::timeLeft, false);
    frosk::advanceLevel();
    ASSERT_EQ(frosk::gameState->level, 2);
    checkViews("level2");
}
