// The glow blurred and added only where something glows, against the plain
// way, every blur pass and the composite over the whole window: the same
// state drawn both ways must give the same window, byte for byte, whether the
// targets are in the middle of the view, cut by its edges, close enough to
// reach behind the eye, or out of sight.
#include "support/game_world.h"

#include "app/game.h"
#include "common/game_state.h"
#include "common/globals.h"
#include "effects/bloom.h"
#include "levels/level.h"
#include "physicsengine/physics.h"
#include "scene/target.h"
#include "support/offscreen.h"

#include <string>
#include <vector>

namespace {

constexpr int width = 800;
constexpr int height = 600;

// The window's back buffer after a frame, before the swap: RGB rows from the
// bottom.
std::vector<unsigned char> windowPicture()
{
    std::vector<unsigned char> rgb(static_cast<std::size_t>(width * height * 3));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}

// RGB rows as the RGBA rows a PNG is written from.
std::vector<unsigned char> rgba(const std::vector<unsigned char>& rgb)
{
    std::vector<unsigned char> out;
    out.reserve(rgb.size() / 3 * 4);
    for (std::size_t i = 0; i < rgb.size(); i += 3)
        out.insert(out.end(), {rgb[i], rgb[i + 1], rgb[i + 2], 255});
    return out;
}

long glowingTexels()
{
    const frosk::effects::RenderTarget& glow = frosk::bloom->glow;
    std::vector<unsigned char> rgb(static_cast<std::size_t>(glow.width * glow.height * 3));
    glBindTexture(GL_TEXTURE_2D, glow.colorTexture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    long count = 0;
    for (std::size_t i = 0; i < rgb.size(); i += 3)
        count += rgb[i] + rgb[i + 1] + rgb[i + 2] > 0 ? 1 : 0;
    return count;
}

long areaPixels(const std::vector<frosk::effects::TexelRect>& areas)
{
    long pixels = 0;
    for (const frosk::effects::TexelRect& area : areas)
        pixels += static_cast<long>(area.x1 - area.x0) * (area.y1 - area.y0);
    return pixels;
}

} // namespace

class GlowAreas : public GameWorld {
protected:
    struct View {
        std::vector<unsigned char> plain;
        std::vector<unsigned char> areas;
        // Texels of the blurred glow that are not black.
        long glowingTexels = 0;
        long compositePixels = 0;
    };

    // The present state drawn the plain way, then keeping to the glow areas.
    View drawBothWays()
    {
        View view;
        frosk::bloom->onlyWhereItGlows = false;
        frosk::drawFrame();
        view.plain = windowPicture();
        view.glowingTexels = glowingTexels();
        frosk::bloom->onlyWhereItGlows = true;
        frosk::drawFrame();
        view.areas = windowPicture();
        view.compositePixels = areaPixels(frosk::bloom->compositeAreas());
        return view;
    }

    // Sixteen headings all the way round, each drawn both ways. Returns how
    // many views had any glow on screen.
    int lookAllRound(const std::string& level)
    {
        int glowing = 0;
        bool someViewKeptSmall = false;
        for (int heading = 0; heading < 16; ++heading) {
            input.moveCursor({78.5, heading == 0 ? 40.0 : 0.0});
            frame();
            const View view = drawBothWays();
            EXPECT_EQ(testsupport::differingBytes(view.plain, view.areas), 0u) << level << ", heading " << heading;
            if (view.glowingTexels > 0)
                ++glowing;
            if (view.compositePixels > 0 && view.compositePixels < width * height / 2)
                someViewKeptSmall = true;
            if (heading == 4)
                testsupport::writePng(testsupport::screenshotPath("glow_areas_" + level), width, height,
                                      rgba(view.areas));
        }
        EXPECT_TRUE(someViewKeptSmall) << level << ": the glow areas were never less than half the window";
        return glowing;
    }
};

TEST_F(GlowAreas, TheWindowIsTheSameAsWithTheGlowBlurredEverywhere)
{
    EXPECT_GT(lookAllRound("level1"), 2) << "too few views with a target on screen to compare";

    frosk::gameState->status = frosk::GameState::won;
    frosk::advanceLevel();
    frames(10);
    EXPECT_GT(lookAllRound("level2"), 2);

    // Nothing on screen glows: the blur draws nowhere and the composite only
    // copies the scene.
    input.moveCursor({0.0, -400.0});
    frame();
    const View sky = drawBothWays();
    EXPECT_EQ(testsupport::differingBytes(sky.plain, sky.areas), 0u);
    EXPECT_EQ(sky.glowingTexels, 0);
    EXPECT_EQ(sky.compositePixels, 0);
    EXPECT_EQ(testsupport::glErrors(), "");
}

// Right at a target's board, turning round: the target fills the view, is cut
// by the near plane or lies behind.
TEST_F(GlowAreas, CloseToATargetTheWindowIsTheSameAsWell)
{
    const frosk::scene::Target& target = *frosk::level->targets[1];
    const glm::vec3 board(target.modelMatrix * glm::vec4(0.6f, 0.75f, 0.0f, 1.0f));
    frosk::physics->setPlayerPosition(glm::dvec3(board.x, board.y, board.z));
    for (int i = 0; i < 8; ++i) {
        input.moveCursor({157.0, 0.0});
        frame();
        const View view = drawBothWays();
        EXPECT_EQ(testsupport::differingBytes(view.plain, view.areas), 0u) << "turn " << i;
    }
    EXPECT_EQ(testsupport::glErrors(), "");
}
