// What the player sees: the game's own frame, read back from its scene target.
#include "support/game_world.h"

#include "app/config.h"
#include "app/game.h"
#include "common/globals.h"
#include "controls/controller.h"
#include "particlesystem/particle_system.h"
#include "scene/cake.h"
#include "support/offscreen.h"

#include <GLFW/glfw3.h>

#include <vector>

namespace {

int coloured(const std::vector<unsigned char>& rgba)
{
    int count = 0;
    for (std::size_t i = 0; i < rgba.size(); i += 4)
        if (rgba[i] + rgba[i + 1] + rgba[i + 2] > 30)
            ++count;
    return count;
}

// The window's colour set to `colour`, and the game's clear colour left as
// the game last set it.
void fillWindow(const glm::vec4& colour)
{
    GLfloat gameColour[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, gameColour);
    glClearColor(colour.r, colour.g, colour.b, colour.a);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(gameColour[0], gameColour[1], gameColour[2], gameColour[3]);
}

} // namespace

class Frame : public GameWorld {};

TEST_F(Frame, HandAndHeldCakeAreDrawnInFrontOfTheEye)
{
    addGround(-2.0f);
    settle();
    frame(1.0 / 60.0, true);
    const std::vector<unsigned char> atRest = scenePicture();
    testsupport::writePng(testsupport::screenshotPath("frame_hand_at_rest"), 800, 600, atRest);
    EXPECT_GT(coloured(atRest), 5000) << "the hand and the cake in it";
    EXPECT_EQ(testsupport::glErrors(), "");
}

TEST_F(Frame, ACakeInFlightAndABurstShowInTheScene)
{
    addGround(-2.0f);
    settle();
    input.moveCursor({0.0, -30.0});
    input.press(GLFW_MOUSE_BUTTON_LEFT);
    frames(40);
    input.release(GLFW_MOUSE_BUTTON_LEFT);
    frames(12);
    ASSERT_EQ(frosk::thrownCakes.size(), 1u);
    EXPECT_FALSE(frosk::cake->visible) << "the held cake is gone from the hand";
    const glm::vec3 ahead = frosk::controller->position + 4.0f * frosk::controller->direction();
    frosk::particleSystems.push_back(new frosk::particlesystem::ParticleSystem(ahead, 2, frosk::particleUpdateShader,
                                                                               frosk::particleDrawShader));
    frames(8);
    frame(1.0 / 60.0, true);
    const std::vector<unsigned char> picture = scenePicture();
    testsupport::writePng(testsupport::screenshotPath("frame_cake_in_flight"), 800, 600, picture);
    EXPECT_GT(coloured(picture), 3000);
    EXPECT_EQ(testsupport::glErrors(), "");
}

class Loop : public GameWorld {};

TEST_F(Loop, RetiresABurstOnceItIsOlderThanOneAndAHalfSeconds)
{
    auto* burst = new frosk::particlesystem::ParticleSystem(glm::vec3(0.0f, 1.0f, 2.0f), 4, frosk::particleUpdateShader,
                                                           frosk::particleDrawShader);
    auto& systems = frosk::particleSystems;
    systems.push_back(burst);
    const GLuint buffers[2] = {burst->particleBuffers[0], burst->particleBuffers[1]};
    const GLuint arrays[4] = {burst->updateVAO[0], burst->updateVAO[1], burst->drawVAO[0], burst->drawVAO[1]};
    const GLuint texture = burst->texture;
    const GLuint feedback = burst->transformFeedback;

    frames(90);
    ASSERT_EQ(systems.size(), 1u);
    EXPECT_LE(burst->time, 1.5f);
    frame();
    ASSERT_EQ(systems.size(), 1u) << "updated on the 91st frame";
    EXPECT_GT(burst->time, 1.5f);
    frame();
    EXPECT_TRUE(systems.empty()) << "retired at the next check";
    for (GLuint buffer : buffers)
        EXPECT_FALSE(glIsBuffer(buffer));
    for (GLuint array : arrays)
        EXPECT_FALSE(glIsVertexArray(array));
    EXPECT_FALSE(glIsTexture(texture));
    EXPECT_FALSE(glIsTransformFeedback(feedback));
}

TEST_F(Loop, EscapeTappedBetweenFramesEndsTheLoopAfterTheNextFrame)
{
    EXPECT_TRUE(frosk::runFrame(window, input, 1.0 / 60.0));
    input.tap(GLFW_KEY_ESCAPE);
    EXPECT_FALSE(frosk::runFrame(window, input, 1.0 / 60.0));
    // Held down it ends the loop as well.
    input.press(GLFW_KEY_ESCAPE);
    EXPECT_FALSE(frosk::runFrame(window, input, 1.0 / 60.0));
    input.release(GLFW_KEY_ESCAPE);
    EXPECT_TRUE(frosk::runFrame(window, input, 1.0 / 60.0));
}

// The composite covers the configured size of the window; whatever the
// window has beyond it (a full-screen mode larger than asked for) is cleared
// every frame instead of showing what was there before.
TEST_F(Loop, AWindowLargerThanTheGameIsClearedBeyondThePicture)
{
    frosk::Config smaller("config.conf");
    smaller.width = 640;
    smaller.height = 480;
    frosk::shutdown();
    frosk::initialize(window, input, smaller);

    std::vector<unsigned char> shown;
    frosk::FrameHooks hooks;
    hooks.beforeSwap = [&shown] { shown = testsupport::readPixels(0, 0, 800, 600); };
    for (int frame = 0; frame < 2; ++frame) {
        fillWindow({1.0f, 0.0f, 0.0f, 1.0f});
        ASSERT_TRUE(frosk::runFrame(window, input, 1.0 / 60.0, hooks));
    }
    const auto pixel = [&shown](int x, int y) {
        const std::size_t i = 4 * (static_cast<std::size_t>(y) * 800 + static_cast<std::size_t>(x));
        return glm::u8vec4(shown[i], shown[i + 1], shown[i + 2], shown[i + 3]);
    };
    int red = 0;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            red += pixel(x, y) == glm::u8vec4(255, 0, 0, 255);
    EXPECT_EQ(red, 0);
    EXPECT_EQ(pixel(700, 300), glm::u8vec4(0, 0, 0, 255)) << "beside the picture";
    EXPECT_EQ(pixel(300, 550), glm::u8vec4(0, 0, 0, 255)) << "above it";
    EXPECT_EQ(testsupport::glErrors(), "");
}

// A window of the game's own size is covered by the composite alone: what
// the frame shows is the scene, whatever the window held before.
TEST_F(Loop, TheCompositeCoversAWindowOfTheGamesSize)
{
    std::vector<unsigned char> shown;
    frosk::FrameHooks hooks;
    hooks.beforeSwap = [&shown] { shown = testsupport::readPixels(0, 0, 800, 600); };
    std::vector<unsigned char> pictures[2];
    for (int frame = 0; frame < 2; ++frame) {
        fillWindow(frame == 0 ? glm::vec4(1.0f, 0.0f, 0.0f, 1.0f) : glm::vec4(0.0f, 1.0f, 0.0f, 1.0f));
        ASSERT_TRUE(frosk::runFrame(window, input, 0.0, hooks));
        pictures[frame] = shown;
    }
    EXPECT_EQ(testsupport::differingBytes(pictures[0], pictures[1]), 0u);
    EXPECT_EQ(testsupport::glErrors(), "");
}
