// The game paused while another window has the focus: the game's own loop,
// a scripted window focus, real physics, GL and OpenAL (silent device).
#include "support/game_world.h"

#include "app/game.h"
#include "common/globals.h"
#include "controls/controller.h"
#include "levels/level.h"
#include "particlesystem/particle_system.h"
#include "physicsengine/physics.h"
#include "scene/cake.h"
#include "scene/hand.h"
#include "scene/target.h"
#include "sound/sound.h"
#include "support/offscreen.h"

#include <AL/al.h>
#include <GLFW/glfw3.h>

#include <chrono>
#include <thread>
#include <vector>

namespace {

constexpr double frameTime = 1.0 / 60.0;

float musicSeconds()
{
    ALfloat seconds = -1.0f;
    alGetSourcef(frosk::level->sound->sources[0], AL_SEC_OFFSET, &seconds);
    return seconds;
}

void wait(double seconds)
{
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

// Everything of the world that moves by itself, and where the player looks.
struct Moving {
    double timeLeft;
    glm::vec3 cakeInFlight;
    float burstAge;
    glm::mat4 hand;
    std::vector<glm::mat4> targets;
    float yaw;
    float pitch;

    static Moving now()
    {
        Moving moving{*frosk::timeLeft,
                      frosk::physics->position(frosk::thrownCakes.front()->actor),
                      frosk::particleSystems.front()->time,
                      frosk::hand->modelMatrix,
                      {},
                      frosk::controller->horizontalAngle,
                      frosk::controller->verticalAngle};
        for (const frosk::scene::Target* target : frosk::level->targets)
            moving.targets.push_back(target->modelMatrix);
        return moving;
    }
};

void expectStill(const Moving& before, const Moving& after)
{
    EXPECT_EQ(after.timeLeft, before.timeLeft) << "the level clock";
    EXPECT_EQ(after.cakeInFlight, before.cakeInFlight) << "the cake in flight";
    EXPECT_EQ(after.burstAge, before.burstAge) << "the burst";
    EXPECT_EQ(after.hand, before.hand) << "the hand";
    EXPECT_EQ(after.targets, before.targets) << "the targets";
    EXPECT_EQ(after.yaw, before.yaw) << "the view";
    EXPECT_EQ(after.pitch, before.pitch) << "the view";
}

int differingPixels(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b)
{
    int count = 0;
    for (std::size_t i = 0; i + 3 < a.size(); i += 4)
        if (a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2])
            ++count;
    return count;
}

} // namespace

class Pause : public GameWorld {
protected:
    // A cake in flight, a burst, the hand winding up again and the targets
    // moving: a world where everything is under way.
    void startSomethingOfEverything()
    {
        addGround(-2.0f);
        settle();
        input.moveCursor({0.0, -200.0});
        input.press(GLFW_MOUSE_BUTTON_LEFT);
        frames(20);
        input.release(GLFW_MOUSE_BUTTON_LEFT);
        frames(3);
        const glm::vec3 ahead = frosk::controller->position + 4.0f * frosk::controller->direction();
        frosk::particleSystems.push_back(new frosk::particlesystem::ParticleSystem(
            ahead, 2, frosk::particleUpdateShader, frosk::particleDrawShader));
        loop();
        ASSERT_EQ(frosk::thrownCakes.size(), 1u);
        ASSERT_FALSE(frosk::paused);
    }

    // One pass of the game's loop; the picture it shows, when asked for.
    bool loop(std::vector<unsigned char>* picture = nullptr)
    {
        frosk::FrameHooks hooks;
        if (picture != nullptr)
            hooks.beforeSwap = [picture] { *picture = testsupport::readPixels(0, 0, 800, 600); };
        return frosk::runFrame(window, input, frameTime, hooks);
    }
};

TEST_F(Pause, WithoutTheFocusNothingMovesAndWithItEverythingGoesOnWhereItStood)
{
    startSomethingOfEverything();
    if (HasFatalFailure())
        return;
    const Moving before = Moving::now();
    const float musicBefore = musicSeconds();
    ASSERT_GE(musicBefore, 0.0f) << "the level's music plays";

    input.setFocused(false);
    for (int i = 0; i < 5; ++i) {
        // The mouse wanders and the button is pressed where the game cannot
        // see it; frames keep coming.
        input.moveCursor({37.0, -11.0});
        EXPECT_TRUE(loop());
    }
    EXPECT_TRUE(frosk::paused);
    const float musicPaused = musicSeconds();
    wait(0.3);
    expectStill(before, Moving::now());
    EXPECT_EQ(musicSeconds(), musicPaused) << "the music stands still";

    input.setFocused(true);
    EXPECT_TRUE(loop());
    EXPECT_FALSE(frosk::paused);
    const Moving after = Moving::now();
    EXPECT_NEAR(after.timeLeft, before.timeLeft - 1000.0 * frameTime, 1e-9)
        << "the first frame after the pause is one frame long";
    EXPECT_EQ(after.yaw, before.yaw) << "no turn from the mouse moved during the pause";
    EXPECT_EQ(after.pitch, before.pitch);
    EXPECT_NE(after.cakeInFlight, before.cakeInFlight) << "the cake flies on";
    EXPECT_GT(after.burstAge, before.burstAge) << "the burst goes on";
    wait(0.3);
    EXPECT_GT(musicSeconds(), musicPaused + 0.1f) << "the music goes on";
}

// The paused picture is the world as the pause found it with "PAUSED" over
// its middle, and it stays so frame after frame.
TEST_F(Pause, ThePictureStaysWithPausedInTheMiddle)
{
    startSomethingOfEverything();
    if (HasFatalFailure())
        return;
    std::vector<unsigned char> playing;
    std::vector<unsigned char> pausing;
    std::vector<unsigned char> paused;
    loop(&playing);
    input.setFocused(false);
    loop(&pausing);
    loop(&paused);
    loop(&paused);
    testsupport::writePng(testsupport::screenshotPath("frame_paused"), 800, 600, paused);

    EXPECT_EQ(differingPixels(pausing, paused), 0) << "the paused frames show the same picture";
    // What differs from the last frame played is the word in the middle.
    int outside = 0;
    int inside = 0;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) {
            const std::size_t i = static_cast<std::size_t>((y * 800 + x) * 4);
            const bool differs = playing[i] != paused[i] || playing[i + 1] != paused[i + 1]
                                 || playing[i + 2] != paused[i + 2];
            const bool middle = x > 250 && x < 550 && y > 250 && y < 350;
            (middle ? inside : outside) += differs ? 1 : 0;
        }
    EXPECT_EQ(outside, 0) << "the rest of the picture stays";
    EXPECT_GT(inside, 500) << "PAUSED is written over the middle";

    input.setFocused(true);
    std::vector<unsigned char> resumed;
    loop(&resumed);
    EXPECT_GT(differingPixels(resumed, paused), 500) << "the word goes with the pause";
}

TEST_F(Pause, EscapeOrClosingTheWindowStillEndTheGame)
{
    input.setFocused(false);
    EXPECT_TRUE(loop());
    input.tap(GLFW_KEY_ESCAPE);
    EXPECT_FALSE(loop()) << "Escape";
    EXPECT_TRUE(loop());
    glfwSetWindowShouldClose(window, GLFW_TRUE);
    EXPECT_FALSE(loop()) << "the window closed";
    glfwSetWindowShouldClose(window, GLFW_FALSE);
    input.setFocused(true);
    EXPECT_TRUE(loop());
}
