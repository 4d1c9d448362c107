#include "app/hud.h"
#include "app/hud_image.h"
#include "app/text_renderer.h"
#include "common/game_state.h"
#include "common/globals.h"
#include "shader/shader.h"
#include "support/gl_context.h"
#include "support/offscreen.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <iostream>
#include <memory>
#include <sstream>

namespace {

TEST(TimeLeftText, MinutesAndSecondsWithLeadingZeros)
{
    EXPECT_EQ(frosk::timeLeftText(120000.0), "02:00");
    EXPECT_EQ(frosk::timeLeftText(59999.0), "00:59");
    EXPECT_EQ(frosk::timeLeftText(600000.0), "10:00");
    EXPECT_EQ(frosk::timeLeftText(120000.0 - 61500.0), "00:58");
    EXPECT_EQ(frosk::timeLeftText(999.9), "00:00");
    EXPECT_EQ(frosk::timeLeftText(0.0), "00:00");
}

TEST(TimeLeftText, AClockThatRanOutNeverShowsAMinus)
{
    EXPECT_EQ(frosk::timeLeftText(-5.0), "00:00");
    EXPECT_EQ(frosk::timeLeftText(-120000.0), "00:00");
    EXPECT_EQ(frosk::timeLeftText(std::nan("")), "00:00");
    EXPECT_EQ(frosk::timeLeftText(-1e300), "00:00");
    EXPECT_NE(frosk::timeLeftText(1e300).find(':'), std::string::npos);
}

TEST(HudLayout, ImagesSitWhereTheTableSaysFor800x600)
{
    const frosk::HudLayout layout(800, 600);
    EXPECT_EQ(layout.reticleSide, 80);
    EXPECT_EQ(layout.reticlePosition, glm::vec2(360, 260));
    EXPECT_EQ(layout.cakeSide, 100);
    EXPECT_EQ(layout.cakePosition, glm::vec2(10, 10));
    EXPECT_EQ(layout.targetSide, 90);
    EXPECT_EQ(layout.targetPosition, glm::vec2(630, 15));
}

TEST(HudLayout, ImagesSitWhereTheTableSaysFor1280x720)
{
    const frosk::HudLayout layout(1280, 720);
    EXPECT_EQ(layout.reticleSide, 86);
    EXPECT_EQ(layout.reticlePosition, glm::vec2(597, 317));
    EXPECT_EQ(layout.cakeSide, 108);
    EXPECT_EQ(layout.targetSide, 98);
    // 1280 - 1.7 * 108 = 1096.4, truncated.
    EXPECT_EQ(layout.targetPosition, glm::vec2(1096, 15));
}

// Text drawn with the game's own program and font into an off-screen target.
class Text : public testsupport::GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        if (HasFatalFailure())
            return;
        program = std::make_unique<frosk::Shader>("Shader/text_render.vert", "Shader/text_render.frag");
        text = std::make_unique<frosk::TextRenderer>(program.get());
        glUseProgram(program->programHandle);
        const glm::mat4 screen = glm::ortho(0.0f, 800.0f, 600.0f, 0.0f, -1.0f, 1.0f);
        glUniformMatrix4fv(glGetUniformLocation(program->programHandle, "orthogonalMatrix"), 1, GL_FALSE,
                           glm::value_ptr(screen));
    }
    void TearDown() override
    {
        text.reset();
        program.reset();
        GlTest::TearDown();
    }

    // Pixels of an 800x600 frame with `s` drawn in white at (x, y) on black,
    // top row first so that (col, row) matches the screen's pixel coordinates.
    std::vector<unsigned char> draw(const std::string& s, int x, int y, const std::string& screenshot = "")
    {
        testsupport::OffscreenTarget target(800, 600);
        target.clear(glm::vec4(0, 0, 0, 1));
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        text->renderText(s, x, y, 40, glm::vec3(1, 1, 1));
        glDisable(GL_BLEND);
        if (!screenshot.empty())
            target.savePng(screenshot);
        std::vector<unsigned char> bottomUp = target.readRgba();
        target.unbind();
        std::vector<unsigned char> topDown(bottomUp.size());
        for (int row = 0; row < 600; ++row)
            std::copy_n(&bottomUp[static_cast<size_t>(599 - row) * 800 * 4], 800 * 4, &topDown[static_cast<size_t>(row) * 800 * 4]);
        return topDown;
    }

    static unsigned char red(const std::vector<unsigned char>& pixels, int col, int row)
    {
        return pixels[(static_cast<size_t>(row) * 800 + static_cast<size_t>(col)) * 4];
    }

    std::unique_ptr<frosk::Shader> program;
    std::unique_ptr<frosk::TextRenderer> text;
};

// FreeType's own answer for one character of the game's font at 40 pixels.
struct FreeTypeGlyph {
    int advance, bearingX, width, rows;
    std::vector<unsigned char> bitmap;  // width x rows, top row first
};

FreeTypeGlyph referenceGlyph(char c)
{
    FT_Library library;
    FT_Face face;
    FT_Init_FreeType(&library);
    FT_New_Face(library, "Fonts/CantoraOne-Regular.ttf", 0, &face);
    FT_Set_Pixel_Sizes(face, 0, 40);
    FT_Load_Char(face, static_cast<FT_ULong>(c), FT_LOAD_RENDER);
    const FT_Bitmap& b = face->glyph->bitmap;
    FreeTypeGlyph g{static_cast<int>(face->glyph->advance.x >> 6), static_cast<int>(face->glyph->metrics.horiBearingX >> 6),
                    static_cast<int>(b.width), static_cast<int>(b.rows), {}};
    for (unsigned row = 0; row < b.rows; ++row)
        for (unsigned col = 0; col < b.width; ++col)
            g.bitmap.push_back(b.buffer[row * static_cast<unsigned>(b.pitch) + col]);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return g;
}

TEST_F(Text, AdvancesAreFreeTypesAndEmptyTextMeasuresZero)
{
    int expected = 0;
    for (char c : std::string("LEVEL 1"))
        expected += referenceGlyph(c).advance;
    EXPECT_EQ(text->measureText("LEVEL 1", 40), expected);
    EXPECT_EQ(text->measureText("", 40), 0);
    EXPECT_EQ(text->measureText("A", 40), referenceGlyph('A').advance);
    // Half size halves the bearing and the rest of the advance separately.
    const FreeTypeGlyph w = referenceGlyph('W');
    EXPECT_EQ(text->measureText("W", 20), (w.bearingX * 20) / 40 + ((w.advance - w.bearingX) * 20) / 40);
}

TEST_F(Text, EveryGlyphLandsUnshearedAtTheBottomOfItsQuad)
{
    // Each printable glyph alone, compared texel for texel with FreeType's
    // bitmap: a wrong row stride would shear it, a wrong flip turn it over.
    for (char c = 33; c < 127; ++c) {
        const FreeTypeGlyph g = referenceGlyph(c);
        const int H = text->textureHeight[static_cast<unsigned char>(c)];
        const int x = 100, y = 100;
        const std::vector<unsigned char> pixels = draw(std::string(1, c), x, y);
        int worst = 0;
        for (int row = 0; row < g.rows; ++row)
            for (int col = 0; col < g.width; ++col) {
                const int want = g.bitmap[static_cast<size_t>(row * g.width + col)];
                const int got = red(pixels, x + col, y + H - g.rows + row);
                worst = std::max(worst, std::abs(want - got));
            }
        EXPECT_LE(worst, 3) << "glyph '" << c << "' (" << g.width << "x" << g.rows << ")";
        // Nothing outside the glyph's own box.
        int stray = 0;
        for (int row = 0; row < 600; ++row)
            for (int col = 0; col < 800; ++col) {
                const bool inside = col >= x && col < x + g.width && row >= y + H - g.rows && row < y + H;
                if (!inside && red(pixels, col, row) > 8)
                    ++stray;
            }
        EXPECT_EQ(stray, 0) << "glyph '" << c << "'";
    }
}

TEST_F(Text, AStringCoversTheBoxItsAdvancesSpan)
{
    const std::vector<unsigned char> pixels = draw("LEVEL 1", 50, 200, "text_level_1");
    int left = 800, right = -1, top = 600, bottom = -1;
    for (int row = 0; row < 600; ++row)
        for (int col = 0; col < 800; ++col)
            if (red(pixels, col, row) > 128) {
                left = std::min(left, col);
                right = std::max(right, col);
                top = std::min(top, row);
                bottom = std::max(bottom, row);
            }
    const FreeTypeGlyph first = referenceGlyph('L');
    const FreeTypeGlyph last = referenceGlyph('1');
    EXPECT_NEAR(left, 50, 1);
    EXPECT_NEAR(right, 50 + text->measureText("LEVEL ", 40) + last.width - 1, 1);
    EXPECT_NEAR(bottom, 200 + text->textureHeight['L'] - 1, 1);
    EXPECT_NEAR(top, 200 + text->textureHeight['L'] - first.rows, 1);
}

TEST_F(Text, CodesWithoutAGlyphAreSkipped)
{
    const std::string odd = std::string("\x01\n\t") + static_cast<char>(0x80) + static_cast<char>(0xff) + "A";
    EXPECT_EQ(text->measureText(odd, 40), text->measureText("A", 40));
    const std::vector<unsigned char> a = draw("A", 10, 10);
    const std::vector<unsigned char> withOdd = draw(odd, 10, 10);
    EXPECT_EQ(a, withOdd);
}

// A thousand frames of the HUD's changing texts plus every byte value, at the
// sizes the HUD uses and beyond; in the sanitizer build any read past a glyph
// or a table is reported. The last frame must still be the same as the first.
TEST_F(Text, AThousandFramesOfChangingTextDrawTheSameEveryTime)
{
    std::string everyByte;
    for (int code = 1; code < 256; ++code)
        everyByte += static_cast<char>(code);
    frosk::GameState state;
    testsupport::OffscreenTarget target(800, 600);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    std::vector<unsigned char> firstFrame;
    for (int frame = 0; frame < 1000; ++frame) {
        const double millisecondsLeft = 120000.0 - frame * 130.0;
        state.score = (frame % 11) * 100;
        const frosk::HudSwitches switches{frame % 2 == 0, frame % 3, frame % 2, frame % 5 == 0};
        target.clear(glm::vec4(0, 0, 0, 1));
        for (const frosk::HudText& line : frosk::hudTexts(*text, state, millisecondsLeft, switches,
                                                           std::to_string(frame) + " fps", 800, 600))
            text->renderText(line.text, line.x, line.y, 40, line.colour);
        text->renderText(everyByte, 0, 300 + frame % 7, 10 + frame % 60, glm::vec3(1, 1, 1));
        if (frame == 0 || frame == 999) {
            // Same content on the first and the last frame.
            state.score = 0;
            target.clear(glm::vec4(0, 0, 0, 1));
            text->renderText("SCORE 0 " + everyByte, 5, 100, 40, glm::vec3(1, 1, 1));
            if (frame == 0)
                firstFrame = target.readRgba();
            else
                EXPECT_EQ(target.readRgba(), firstFrame);
        }
    }
    glDisable(GL_BLEND);
    target.unbind();
    EXPECT_EQ(testsupport::glErrors(), "");
}

TEST_F(Text, HudTextsSitWhereTheTableSays)
{
    frosk::GameState state;
    frosk::HudSwitches switches;
    switches.showFps = true;
    switches.showTextureMessage = true;
    switches.mipmapMode = 2;
    const auto texts = frosk::hudTexts(*text, state, 120000.0, switches, "FPS:60", 800, 600);
    ASSERT_EQ(texts.size(), 8u);
    EXPECT_EQ(texts[0].text, "20x");
    EXPECT_EQ(glm::ivec2(texts[0].x, texts[0].y), glm::ivec2(120, 40));
    EXPECT_EQ(texts[1].text, "10x");
    EXPECT_EQ(glm::ivec2(texts[1].x, texts[1].y), glm::ivec2(730, 40));
    EXPECT_EQ(texts[2].text, "02:00");
    EXPECT_EQ(glm::ivec2(texts[2].x, texts[2].y), glm::ivec2(400 - text->measureText("02:00", 40) / 2, 60));
    EXPECT_EQ(texts[3].text, "LEVEL 1");
    EXPECT_EQ(texts[3].y, 20);
    EXPECT_EQ(texts[4].text, "Score: 0");
    EXPECT_EQ(glm::ivec2(texts[4].x, texts[4].y), glm::ivec2(10, 560));
    EXPECT_EQ(texts[5].text, "TEXTURE SAMPLING: NEAREST NEIGHBOR");
    EXPECT_EQ(texts[5].y, 480);
    EXPECT_EQ(texts[5].colour, glm::vec3(0.3f));
    EXPECT_EQ(texts[6].text, "MIPMAP: LINEAR");
    EXPECT_EQ(texts[6].y, 530);
    EXPECT_EQ(texts[7].text, "FPS:60");
    EXPECT_EQ(glm::ivec2(texts[7].x, texts[7].y), glm::ivec2(800 - text->measureText("FPS:60", 40), 560));

    const auto wide = frosk::hudTexts(*text, state, 0.0, frosk::HudSwitches{}, "", 1280, 720);
    ASSERT_EQ(wide.size(), 5u);
    // S = 108: counters at S / 2 - 10 = 44, score at 720 - 44.
    EXPECT_EQ(glm::ivec2(wide[0].x, wide[0].y), glm::ivec2(128, 44));
    EXPECT_EQ(glm::ivec2(wide[1].x, wide[1].y), glm::ivec2(1096 + 98 + 10, 44));
    EXPECT_EQ(wide[2].text, "00:00");
    EXPECT_EQ(wide[2].y, 66);
    EXPECT_EQ(wide[3].y, 22);
    EXPECT_EQ(glm::ivec2(wide[4].x, wide[4].y), glm::ivec2(10, 676));
}

TEST_F(Text, WinAndGameOverMessagesAreCentredInTheirColours)
{
    frosk::GameState state;
    state.status = frosk::GameState::won;
    auto texts = frosk::hudTexts(*text, state, 1000.0, frosk::HudSwitches{}, "", 800, 600);
    ASSERT_EQ(texts.size(), 7u);
    EXPECT_EQ(texts[5].text, "YOU WIN !");
    EXPECT_EQ(glm::ivec2(texts[5].x, texts[5].y), glm::ivec2(400 - text->measureText("YOU WIN !", 40) / 2, 150));
    EXPECT_EQ(texts[5].colour, glm::vec3(0.08f, 0.95f, 0.14f));
    EXPECT_EQ(texts[6].text, "Please wait for next level");
    EXPECT_EQ(texts[6].y, 450);

    state.status = frosk::GameState::lost;
    state.score = 300;
    texts = frosk::hudTexts(*text, state, 1000.0, frosk::HudSwitches{}, "", 800, 600);
    ASSERT_EQ(texts.size(), 7u);
    EXPECT_EQ(texts[5].text, "GAME OVER !");
    EXPECT_EQ(texts[5].colour, glm::vec3(1, 0, 0));
    EXPECT_EQ(texts[6].text, "Your Score: 300");
    EXPECT_EQ(texts[6].colour, glm::vec3(0.94f, 0.93f, 0.05f));
}

class HudImages : public testsupport::GlTest {};

TEST_F(HudImages, AMissingImageSaysSoAndStillBuildsItsQuad)
{
    frosk::Shader program("Shader/2d.vert", "Shader/2d.frag");
    std::ostringstream captured;
    std::streambuf* old = std::cout.rdbuf(captured.rdbuf());
    frosk::HudImage image("no-such-image.png", 40, 30, glm::vec2(5, 6), &program);
    std::cout.rdbuf(old);
    EXPECT_EQ(captured.str(), "Could not load Image: no-such-image.png");
    EXPECT_EQ(image.texture, 0u);
    EXPECT_EQ(image.vertices, (std::vector<float>{5, 6, 0, 0, 45, 6, 1, 0, 5, 36, 0, 1, 45, 6, 1, 0, 5, 36, 0, 1, 45, 36, 1, 1}));
    glUseProgram(program.programHandle);
    image.draw();
}

} // namespace
