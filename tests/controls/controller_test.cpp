// The player controller in the running game: scripted keys, buttons and
// cursor, a real physics world and the game's own loop.
#include "support/game_world.h"

#include "app/config.h"
#include "app/game.h"
#include "common/game_state.h"
#include "common/globals.h"
#include "controls/controller.h"
#include "physicsengine/physics.h"
#include "scene/cake.h"
#include "scene/hand.h"

#include <AL/al.h>
#include <GLFW/glfw3.h>
#include <glm/gtc/constants.hpp>

using frosk::controller;
using frosk::thrownCakes;

namespace {

constexpr float pi = glm::pi<float>();

bool playing(ALuint source)
{
    ALint state = 0;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
}

} // namespace

class Look : public GameWorld {};

TEST_F(Look, CursorTurnsTheCameraWithinItsLimits)
{
    frame();
    EXPECT_FLOAT_EQ(controller->horizontalAngle, 0.0f);
    EXPECT_FLOAT_EQ(controller->verticalAngle, 0.0f);
    EXPECT_EQ(input.cursorPosition(), glm::dvec2(400.0, 300.0)) << "the cursor is put back to the centre";

    input.moveCursor({100.0, 0.0});
    frame();
    EXPECT_NEAR(controller->horizontalAngle, -0.5f, 1e-5f) << "100 px right turns by -0.5 rad";
    EXPECT_EQ(input.cursorPosition(), glm::dvec2(400.0, 300.0));

    input.moveCursor({0.0, -1000.0});
    frame();
    EXPECT_FLOAT_EQ(controller->verticalAngle, pi / 2.0f) << "looking up stops straight up";
    input.moveCursor({0.0, 5000.0});
    frame();
    EXPECT_FLOAT_EQ(controller->verticalAngle, -pi / 4.0f) << "looking down stops at 45 degrees";

    // Yaw stays within [-pi, pi]: -0.5 + 4 wraps round.
    input.moveCursor({-800.0, 0.0});
    frame();
    EXPECT_NEAR(controller->horizontalAngle, 3.5f - 2.0f * pi, 1e-4f);

    // The view looks along the direction of the angles.
    const glm::vec3 dir = controller->direction();
    const glm::vec4 ahead = controller->viewMatrix * glm::vec4(controller->position + dir, 1.0f);
    EXPECT_NEAR(ahead.x, 0.0f, 1e-4f);
    EXPECT_NEAR(ahead.y, 0.0f, 1e-4f);
    EXPECT_NEAR(ahead.z, -1.0f, 1e-4f);
}

// The configuration's mouse settings, taken by the game at start-up.
TEST_F(Look, SensitivityScalesTheTurnAndInversionFlipsTheVerticalLook)
{
    frosk::Config settings("config.conf");
    settings.mouseSensitivity = 250;
    settings.invertMouse = true;
    frosk::shutdown();
    input.releaseAll();
    frosk::initialize(window, input, settings);
    frame();

    input.moveCursor({100.0, 0.0});
    frame();
    EXPECT_NEAR(controller->horizontalAngle, -1.25f, 1e-5f) << "100 px right at 250 % turns by -1.25 rad";
    input.moveCursor({0.0, -40.0});
    frame();
    EXPECT_NEAR(controller->verticalAngle, -0.5f, 1e-5f) << "40 px up at 250 % looks down by 0.5 rad";
}

class Walk : public GameWorld {};

TEST_F(Walk, AlongTheViewAndSidewaysOnTheGround)
{
    addGround(-2.0f);
    settle();
    const glm::vec3 start = controller->position;
    EXPECT_NEAR(start.y, -2.0f + 1.225f + 1.5f, 0.05f) << "the eye stands 1.5 above the capsule's centre";

    input.press(GLFW_KEY_W);
    frames(60);
    input.release(GLFW_KEY_W);
    frame();
    const glm::vec3 walked = controller->position - start;
    EXPECT_NEAR(walked.z, 3.0f, 0.1f) << "3 units a second along +z, the start view";
    EXPECT_NEAR(walked.x, 0.0f, 0.05f);
    EXPECT_NEAR(walked.y, 0.0f, 0.05f) << "gravity keeps the capsule on the ground";

    const glm::vec3 before = controller->position;
    input.press(GLFW_KEY_D);
    frames(30);
    input.release(GLFW_KEY_D);
    input.press(GLFW_KEY_S);
    frames(30);
    input.release(GLFW_KEY_S);
    frame();
    const glm::vec3 moved = controller->position - before;
    EXPECT_NEAR(moved.x, -1.5f, 0.1f) << "right of +z is -x";
    EXPECT_NEAR(moved.z, -1.5f, 0.1f) << "S walks back";

    // Looking straight up, W lifts the capsule 3 a second but gravity pulls 9.8.
    input.moveCursor({0.0, -1000.0});
    input.press(GLFW_KEY_W);
    const float y = controller->position.y;
    frames(30);
    EXPECT_NEAR(controller->position.y, y, 0.05f);
}

TEST_F(Walk, GTogglesFlyingOncePerPress)
{
    addGround(-2.0f);
    settle();
    input.press(GLFW_KEY_G);
    frames(20);
    EXPECT_TRUE(controller->flying) << "held for many frames, G toggles once";
    input.release(GLFW_KEY_G);
    frame();
    EXPECT_TRUE(controller->flying);

    // Flying, W along a view straight up climbs at 3 a second.
    input.moveCursor({0.0, -1000.0});
    frame();
    const float y = controller->position.y;
    input.press(GLFW_KEY_W);
    frames(60);
    input.release(GLFW_KEY_W);
    frame();
    EXPECT_NEAR(controller->position.y - y, 3.0f, 0.1f);

    // Without W the flying player hangs in the air.
    const float hanging = controller->position.y;
    frames(30);
    EXPECT_NEAR(controller->position.y, hanging, 1e-4f);

    input.press(GLFW_KEY_G);
    frame();
    input.release(GLFW_KEY_G);
    EXPECT_FALSE(controller->flying);
    frames(60);
    EXPECT_LT(controller->position.y, hanging - 2.5f) << "gravity again";
}

TEST_F(Walk, DebugKeysToggleOnceAndFilterKeysCycle)
{
    for (int key : {GLFW_KEY_F2, GLFW_KEY_F3, GLFW_KEY_F6, GLFW_KEY_F9}) {
        input.press(key);
        frames(3, 1.0 / 60.0);
        input.release(key);
        frame();
    }
    EXPECT_TRUE(controller->showFps);
    EXPECT_TRUE(controller->wireframe);
    EXPECT_TRUE(controller->physicsDebug);
    EXPECT_FALSE(controller->blending);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    frame(1.0 / 60.0, true);
    EXPECT_EQ(testsupport::glErrors(), "") << "a frame in wireframe with the physics view";

    EXPECT_FALSE(controller->messageTimer);
    for (int i = 0; i < 3; ++i) {
        input.press(GLFW_KEY_F5);
        frame();
        input.release(GLFW_KEY_F5);
        frame();
        EXPECT_NEAR(*controller->messageTimer, 2000.0 - 1000.0 / 60.0, 1e-6);
    }
    EXPECT_EQ(controller->textureFilter(), GL_LINEAR_MIPMAP_LINEAR) << "three presses of F5 come back round";
    input.press(GLFW_KEY_F4);
    frame();
    EXPECT_EQ(controller->textureFilter(), GL_NEAREST_MIPMAP_LINEAR);
    frame(0.5);
    EXPECT_TRUE(controller->showTextureMessage()) << "a long frame does not count down the message";
    frames(120);
    EXPECT_FALSE(controller->showTextureMessage());

    input.press(GLFW_KEY_F9);
    frame();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
}

class Throw : public GameWorld {};

TEST_F(Throw, HeldForOneSecondLeavesAtEighteenFromInFrontOfTheEye)
{
    frosk::nextCakeId = 7;
    const std::size_t bodies = frosk::physics->bodyCount();
    input.moveCursor({-60.0, -40.0});
    frame();
    input.press(GLFW_MOUSE_BUTTON_LEFT);
    frame();
    EXPECT_TRUE(controller->charging);
    EXPECT_FLOAT_EQ(controller->throwStrength, 5.0f);
    frames(60);
    EXPECT_NEAR(controller->throwStrength, 18.0f, 1e-3f);

    const glm::vec3 eye = controller->position;
    const glm::vec3 dir = controller->direction();
    input.release(GLFW_MOUSE_BUTTON_LEFT);
    frame();

    ASSERT_EQ(thrownCakes.size(), 1u);
    frosk::scene::Cake* thrown = thrownCakes.front();
    EXPECT_EQ(thrown->id, 7) << "the id it was thrown with";
    EXPECT_EQ(frosk::nextCakeId, 8);
    EXPECT_EQ(frosk::physics->cakeIdOf(thrown->actor), 7u);
    EXPECT_EQ(frosk::physics->cakeOf(thrown->actor), thrown);
    EXPECT_EQ(frosk::physics->bodyCount(), bodies + 1);
    EXPECT_GE(thrown->kind, 1);
    EXPECT_LE(thrown->kind, 4);
    EXPECT_NEAR(thrown->strength, 18.0f, 1e-3f);

    const glm::vec3 at = frosk::physics->position(thrown->actor);
    EXPECT_NEAR(glm::length(at - (eye + dir)), 0.0f, 1e-4f) << "one unit in front of the eye";
    const glm::vec3 velocity = frosk::physics->linearVelocity(thrown->actor);
    EXPECT_NEAR(glm::length(velocity), 18.0f, 1e-3f);
    EXPECT_GT(glm::dot(glm::normalize(velocity), dir), 0.9999f);

    EXPECT_EQ(frosk::gameState->cakesLeft, 19);
    EXPECT_TRUE(playing(controller->sound.sources[1])) << "the throw sound";
    EXPECT_FALSE(controller->charging);
    EXPECT_FALSE(frosk::cake->ready);

    // Next frame the cake follows its body.
    frame();
    EXPECT_NEAR(glm::length(thrown->position() - frosk::physics->position(thrown->actor)), 0.0f, 1e-5f);
}

TEST_F(Throw, ANewChargeWaitsForTheReload)
{
    input.press(GLFW_MOUSE_BUTTON_LEFT);
    frame();
    input.release(GLFW_MOUSE_BUTTON_LEFT);
    frame();
    ASSERT_EQ(thrownCakes.size(), 1u);
    EXPECT_FLOAT_EQ(thrownCakes.front()->strength, 5.0f) << "press and release at once";
    EXPECT_FLOAT_EQ(glm::length(frosk::physics->linearVelocity(thrownCakes.front()->actor)), 5.0f);

    // Held through the wind-up (about 0.57 s) and the reload (about 1.43 s).
    input.press(GLFW_MOUSE_BUTTON_LEFT);
    int frame = 0;
    while (!controller->charging && frame < 200) {
        GameWorld::frame();
        ++frame;
    }
    EXPECT_TRUE(controller->charging);
    EXPECT_NEAR(frame / 60.0, 2.0, 0.1) << "a charge starts on the frame the held cake is ready";
    EXPECT_TRUE(frosk::cake->visible);
}

TEST_F(Throw, NoCakeLeftNoThrowAndTheLossComesWhenTheLastLands)
{
    frosk::gameState->cakesLeft = 1;
    input.press(GLFW_MOUSE_BUTTON_LEFT);
    frame();
    input.release(GLFW_MOUSE_BUTTON_LEFT);
    frame();
    ASSERT_EQ(thrownCakes.size(), 1u);
    EXPECT_EQ(frosk::gameState->cakesLeft, 0);

    // Pressing on through the reload starts no charge and throws nothing.
    input.press(GLFW_MOUSE_BUTTON_LEFT);
    frames(150);
    EXPECT_FALSE(controller->charging);
    input.release(GLFW_MOUSE_BUTTON_LEFT);
    frame();
    EXPECT_EQ(frosk::gameState->cakesLeft, 0);
    EXPECT_LE(thrownCakes.size(), 1u);

    // Once the last cake has burst, the level is lost.
    for (int i = 0; i < 600 && !thrownCakes.empty(); ++i)
        frame();
    EXPECT_TRUE(thrownCakes.empty());
    EXPECT_EQ(frosk::gameState->status, frosk::GameState::lost);
}

TEST_F(Throw, ACakeFarAwayIsGoneWithItsBody)
{
    input.moveCursor({0.0, -80.0});
    frame();
    const std::size_t bodies = frosk::physics->bodyCount();
    input.press(GLFW_MOUSE_BUTTON_LEFT);
    frames(120);
    input.release(GLFW_MOUSE_BUTTON_LEFT);
    frame();
    ASSERT_EQ(thrownCakes.size(), 1u);
    EXPECT_EQ(frosk::physics->bodyCount(), bodies + 1);
    // About 31 units a second upwards and forwards: past 50 within two seconds.
    int frame = 0;
    while (!thrownCakes.empty() && frame < 240) {
        GameWorld::frame();
        ++frame;
    }
    EXPECT_TRUE(thrownCakes.empty());
    EXPECT_EQ(frosk::physics->bodyCount(), bodies);
    EXPECT_EQ(frosk::gameState->cakesLeft, 19);
}

// Taps shorter than a frame: pressed and let go between two frames, as a
// quick key press or click on a slow machine arrives.
class Tap : public GameWorld {};

TEST_F(Tap, AToggleKeyTappedBetweenFramesTogglesExactlyOnce)
{
    for (int key : {GLFW_KEY_G, GLFW_KEY_F2, GLFW_KEY_F3, GLFW_KEY_F6, GLFW_KEY_F9}) {
        const auto state = [key] {
            switch (key) {
            case GLFW_KEY_G:
                return controller->flying;
            case GLFW_KEY_F2:
                return controller->showFps;
            case GLFW_KEY_F3:
                return controller->wireframe;
            case GLFW_KEY_F6:
                return controller->physicsDebug;
            default:
                return controller->blending;
            }
        };
        const bool before = state();
        input.tap(key);
        frame();
        EXPECT_NE(state(), before) << "key " << key;
        frames(3);
        EXPECT_NE(state(), before) << "key " << key << " toggled again without a press";
        input.tap(key);
        input.tap(key);
        frame();
        EXPECT_EQ(state(), before) << "key " << key << ": two taps within one frame count once";
    }
    const int mipmaps = controller->mipmapMode;
    input.tap(GLFW_KEY_F5);
    frames(2);
    EXPECT_EQ(controller->mipmapMode, (mipmaps + 1) % 3);
}

TEST_F(Tap, AClickBetweenFramesThrowsTheShortestCharge)
{
    input.tap(GLFW_MOUSE_BUTTON_LEFT);
    frame();
    EXPECT_TRUE(controller->charging) << "the click is seen in the next frame";
    frame();
    ASSERT_EQ(thrownCakes.size(), 1u);
    EXPECT_FLOAT_EQ(thrownCakes.front()->strength, frosk::controls::Controller::startStrength);
    EXPECT_FALSE(controller->charging);
}

// A pad in GLFW's standard layout, scripted: at rest but for what a case sets.
class Pad : public GameWorld {
protected:
    void tilt(int axis, float value)
    {
        state.axes[axis] = value;
        input.setGamepad(state);
    }
    void hold(int button, bool down)
    {
        state.buttons[button] = down ? GLFW_PRESS : GLFW_RELEASE;
        input.setGamepad(state);
    }

    GLFWgamepadstate state = frosk::controls::restingGamepad();
};

TEST_F(Pad, TheRightStickLooksBeyondItsDeadZoneAtTheLookSensitivity)
{
    frame();
    tilt(GLFW_GAMEPAD_AXIS_RIGHT_X, 0.15f);
    tilt(GLFW_GAMEPAD_AXIS_RIGHT_Y, -0.1f);
    frames(30);
    EXPECT_EQ(controller->horizontalAngle, 0.0f) << "a stick resting a little off centre does not turn";
    EXPECT_EQ(controller->verticalAngle, 0.0f);

    tilt(GLFW_GAMEPAD_AXIS_RIGHT_X, 1.0f);
    tilt(GLFW_GAMEPAD_AXIS_RIGHT_Y, 0.0f);
    frames(30);
    EXPECT_NEAR(controller->horizontalAngle, -1.25f, 1e-4f) << "full right for half a second: 2.5 rad/s";

    // Half way between the dead zone and full tilt turns half as fast.
    tilt(GLFW_GAMEPAD_AXIS_RIGHT_X, 0.0f);
    tilt(GLFW_GAMEPAD_AXIS_RIGHT_Y, -0.6f);
    frames(30);
    EXPECT_NEAR(controller->verticalAngle, 0.625f, 1e-4f) << "pushed up looks up";

    controller->lookSensitivity = 2.0f;
    controller->invertMouse = true;
    frames(15);
    EXPECT_NEAR(controller->verticalAngle, 0.0f, 1e-4f) << "inverted at 200 %: up looks down, twice as fast";
}

TEST_F(Pad, TheLeftStickWalksAsFastAsItIsTilted)
{
    addGround(-2.0f);
    settle();
    const glm::vec3 start = controller->position;
    tilt(GLFW_GAMEPAD_AXIS_LEFT_X, 0.1f);
    tilt(GLFW_GAMEPAD_AXIS_LEFT_Y, 0.1f);
    frames(30);
    EXPECT_NEAR(glm::length(controller->position - start), 0.0f, 1e-3f) << "inside the dead zone nobody walks";

    tilt(GLFW_GAMEPAD_AXIS_LEFT_X, 0.0f);
    tilt(GLFW_GAMEPAD_AXIS_LEFT_Y, -1.0f);
    frames(60);
    const glm::vec3 forward = controller->position - start;
    EXPECT_NEAR(forward.z, 3.0f, 0.1f) << "pushed forward it walks along the view like W";
    EXPECT_NEAR(forward.x, 0.0f, 0.05f);

    const glm::vec3 before = controller->position;
    tilt(GLFW_GAMEPAD_AXIS_LEFT_X, 0.6f);
    tilt(GLFW_GAMEPAD_AXIS_LEFT_Y, 0.0f);
    frames(60);
    EXPECT_NEAR((controller->position - before).x, -1.5f, 0.1f) << "half tilted right: half speed to the right";
}

TEST_F(Pad, TheTriggerOrAChargesAndThrowsAndYTogglesFlying)
{
    addGround(-2.0f);
    settle();
    tilt(GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER, 0.8f);
    frames(30);
    EXPECT_TRUE(controller->charging) << "the right trigger held charges";
    tilt(GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER, -1.0f);
    frame();
    ASSERT_EQ(thrownCakes.size(), 1u) << "let go, it throws";
    EXPECT_GT(thrownCakes.front()->strength, frosk::controls::Controller::startStrength + 5.0f);

    frames(120);
    hold(GLFW_GAMEPAD_BUTTON_A, true);
    frames(10);
    EXPECT_TRUE(controller->charging) << "so does A";
    hold(GLFW_GAMEPAD_BUTTON_A, false);
    frame();
    EXPECT_EQ(thrownCakes.size(), 2u);

    hold(GLFW_GAMEPAD_BUTTON_Y, true);
    frames(10);
    EXPECT_TRUE(controller->flying) << "Y held toggles flying once";
    hold(GLFW_GAMEPAD_BUTTON_Y, false);
    frame();
    hold(GLFW_GAMEPAD_BUTTON_Y, true);
    frame();
    EXPECT_FALSE(controller->flying) << "pressed again it toggles back";
}

TEST_F(Pad, StartEndsTheGameLikeEscape)
{
    EXPECT_TRUE(frosk::runFrame(window, input, 1.0 / 60.0));
    hold(GLFW_GAMEPAD_BUTTON_START, true);
    EXPECT_FALSE(frosk::runFrame(window, input, 1.0 / 60.0));
}

// Two pads at once, as GLFW reports them: either can play.
TEST(Pads, SeveralPadsPlayAsOne)
{
    using frosk::controls::combinedGamepads;
    using frosk::controls::restingGamepad;
    EXPECT_EQ(combinedGamepads({}).axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER], -1.0f) << "no pad: at rest";

    GLFWgamepadstate idle = restingGamepad();
    GLFWgamepadstate played = restingGamepad();
    played.axes[GLFW_GAMEPAD_AXIS_LEFT_Y] = -0.8f;
    played.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] = 0.5f;
    played.buttons[GLFW_GAMEPAD_BUTTON_Y] = GLFW_PRESS;
    idle.axes[GLFW_GAMEPAD_AXIS_LEFT_Y] = 0.05f;
    for (const auto& pads : {std::vector<GLFWgamepadstate>{idle, played}, std::vector<GLFWgamepadstate>{played, idle}}) {
        const GLFWgamepadstate both = combinedGamepads(pads);
        EXPECT_EQ(both.axes[GLFW_GAMEPAD_AXIS_LEFT_Y], -0.8f) << "the stick tilted furthest";
        EXPECT_EQ(both.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER], 0.5f) << "the trigger pulled furthest";
        EXPECT_EQ(both.buttons[GLFW_GAMEPAD_BUTTON_Y], GLFW_PRESS);
        EXPECT_EQ(both.buttons[GLFW_GAMEPAD_BUTTON_A], GLFW_RELEASE);
    }
}
