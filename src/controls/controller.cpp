#include "controls/controller.h"

#include "common/game_state.h"
#include "common/globals.h"
#include "controls/input.h"
#include "levels/level.h"
#include "physicsengine/physics.h"
#include "scene/cake.h"
#include "scene/flight.h"
#include "scene/hand.h"

#include <GLFW/glfw3.h>
#include <glm/gtc/constants.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace frosk::controls {

namespace {

constexpr float windUpDistance = 2.0f;
constexpr float windUpSpeed = 3.5f;
constexpr float gravitySpeed = 9.8f;
constexpr double messageMilliseconds = 2000.0;
// A stick's tilt within this share of its travel is play in the stick, not
// the player; past it the tilt counts from nothing up to full.
constexpr float stickDeadZone = 0.2f;
// A trigger counts as pulled from half way.
constexpr float triggerPulled = 0.0f;

bool padButton(const GLFWgamepadstate& pad, int button)
{
    return pad.buttons[button] == GLFW_PRESS;
}

// The stick's tilt with the dead zone taken out, at most 1 long; x right,
// y down, as GLFW gives it.
glm::vec2 stick(const GLFWgamepadstate& pad, int xAxis, int yAxis)
{
    const glm::vec2 tilt(pad.axes[xAxis], pad.axes[yAxis]);
    const float length = glm::length(tilt);
    if (length <= stickDeadZone)
        return glm::vec2(0.0f);
    const float past = std::min((length - stickDeadZone) / (1.0f - stickDeadZone), 1.0f);
    return tilt / length * past;
}

} // namespace

bool quitPressed(InputSource& input)
{
    return input.keyPressed(GLFW_KEY_ESCAPE) || padButton(input.gamepad(), GLFW_GAMEPAD_BUTTON_START);
}

Controller::Controller(InputSource& input, const glm::vec3& position, const glm::vec3& lookAt,
                       physicsengine::Physics* playerController, double windowWidth, double windowHeight)
    : input(&input),
      position(position),
      windowWidth(windowWidth),
      windowHeight(windowHeight),
      playerController(playerController),
      flyKey{GLFW_KEY_G, GLFW_GAMEPAD_BUTTON_Y},
      fpsKey{GLFW_KEY_F2},
      wireframeKey{GLFW_KEY_F3},
      samplingKey{GLFW_KEY_F4},
      mipmapKey{GLFW_KEY_F5},
      blendKey{GLFW_KEY_F9},
      debugKey{GLFW_KEY_F6}
{
    for (int kind = 1; kind <= 4; ++kind)
        cakeTemplates[kind - 1] =
            new scene::Cake(toonTextureShader, bloomCoverShader, kind, shadowMapping, toonShading, glm::mat4(1.0f));

    playerController->setPlayerPosition(glm::dvec3(position));

    const glm::vec3 d = glm::normalize(lookAt - position);
    horizontalAngle = d.x;
    verticalAngle = d.y;

    forgetCursorMotion();
    sound.load(1);
}

Controller::~Controller()
{
    for (scene::Cake*& cakeTemplate : cakeTemplates) {
        delete cakeTemplate;
        cakeTemplate = nullptr;
    }
}

glm::vec3 Controller::direction() const
{
    const float h = horizontalAngle;
    const float v = verticalAngle;
    return {std::sin(h) * std::cos(v), std::sin(v), std::cos(h) * std::cos(v)};
}

void Controller::update(double deltaTime)
{
    if (messageTimer && deltaTime <= 0.1)
        *messageTimer -= deltaTime * 1000.0;

    const GLFWgamepadstate pad = input->gamepad();
    look(deltaTime, pad);
    const glm::vec3 dir = direction();
    // 1.57 rather than pi/2: the right vector leans a hair forward.
    const glm::vec3 right(std::sin(horizontalAngle - 1.57f), 0.0f, std::cos(horizontalAngle - 1.57f));
    const glm::vec3 up = glm::cross(right, dir);
    move(deltaTime, dir, right, pad);
    toggles(pad);

    const bool button = input->buttonPressed(GLFW_MOUSE_BUTTON_LEFT) || padButton(pad, GLFW_GAMEPAD_BUTTON_A)
                        || pad.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] > triggerPulled;
    const bool cakeReady = cake == nullptr || cake->ready;
    // With no cake left there is nothing to throw; throwing anyway would drive
    // the count below zero and keep the out-of-cakes loss away for as long as
    // one cake is still flying.
    const bool cakesLeft = gameState == nullptr || gameState->cakesLeft > 0;
    if (cakeReady && cakesLeft && button && !charging) {
        charging = true;
        throwStrength = startStrength;
        if (hand)
            hand->startWindUp(windUpDistance, windUpSpeed);
        if (cake)
            cake->startWindUp(windUpDistance, windUpSpeed);
    } else if (button && charging) {
        throwStrength += static_cast<float>(deltaTime * strengthPerSecond);
    } else if (!button && charging) {
        throwCake();
    }

    const glm::dvec3 centre = playerController->playerPosition();
    position = glm::vec3(centre.x, centre.y + 1.5, centre.z);

    glm::mat4 pose = glm::translate(glm::mat4(1.0f), position);
    pose = glm::rotate(pose, horizontalAngle, glm::vec3(0.0f, 1.0f, 0.0f));
    if (hand)
        hand->setHandPose(pose);
    if (cake)
        cake->setHandPose(pose);

    viewMatrix = glm::lookAt(position, position + dir, up);
}

void Controller::forgetCursorMotion()
{
    input->setCursorPosition(cursorCentre());
}

void Controller::look(double deltaTime, const GLFWgamepadstate& pad)
{
    const glm::dvec2 cursor = input->cursorPosition();
    const glm::dvec2 centre = cursorCentre();
    input->setCursorPosition(centre);
    // The turn to the left and upwards, as the cursor gives it in pixels and
    // the right stick in seconds at full tilt.
    const glm::vec2 pixels(centre - cursor);
    const glm::vec2 tilted = -stick(pad, GLFW_GAMEPAD_AXIS_RIGHT_X, GLFW_GAMEPAD_AXIS_RIGHT_Y);
    const glm::vec2 turn =
        lookSensitivity * (mouseSpeed * pixels + stickTurnSpeed * static_cast<float>(deltaTime) * tilted);
    horizontalAngle += turn.x;
    const float up = invertMouse ? -1.0f : 1.0f;
    verticalAngle += up * turn.y;

    const float pi = glm::pi<float>();
    if (verticalAngle > pi / 2.0f)
        verticalAngle = pi / 2.0f;
    else if (verticalAngle < -pi / 4.0f)
        verticalAngle = -pi / 4.0f;
    if (horizontalAngle > pi)
        horizontalAngle -= 2.0f * pi;
    else if (horizontalAngle < -pi)
        horizontalAngle += 2.0f * pi;
}

void Controller::move(double deltaTime, const glm::vec3& dir, const glm::vec3& right, const GLFWgamepadstate& pad)
{
    const float elapsed = static_cast<float>(deltaTime);
    const float s = speed * elapsed;
    if (input->keyPressed(GLFW_KEY_W))
        playerController->movePlayer(dir * s, 0.0f, elapsed);
    if (input->keyPressed(GLFW_KEY_S))
        playerController->movePlayer(-dir * s, 0.0f, elapsed);
    if (input->keyPressed(GLFW_KEY_D))
        playerController->movePlayer(right * s, 0.0f, elapsed);
    if (input->keyPressed(GLFW_KEY_A))
        playerController->movePlayer(-right * s, 0.0f, elapsed);
    // The left stick walks as the keys do, as fast as it is tilted; pushed
    // forward its y is negative.
    const glm::vec2 walk = stick(pad, GLFW_GAMEPAD_AXIS_LEFT_X, GLFW_GAMEPAD_AXIS_LEFT_Y);
    if (walk != glm::vec2(0.0f))
        playerController->movePlayer((dir * -walk.y + right * walk.x) * s, 0.0f, elapsed);
    // A constant fall speed, not an acceleration.
    if (!flying)
        playerController->movePlayer(glm::vec3(0.0f, -gravitySpeed * elapsed, 0.0f), 0.001f, elapsed);
}

bool Controller::pressedOnce(Toggle& toggle, const GLFWgamepadstate& pad)
{
    // The key is read even when the pad holds the button: a tap waiting to be
    // read is used up now rather than toggling again next frame.
    const bool key = input->keyPressed(toggle.key);
    const bool down = key || (toggle.padButton >= 0 && padButton(pad, toggle.padButton));
    if (down && !toggle.latch) {
        toggle.latch = true;
        return true;
    }
    if (!down && toggle.latch)
        toggle.latch = false;
    return false;
}

void Controller::toggles(const GLFWgamepadstate& pad)
{
    if (pressedOnce(flyKey, pad))
        flying = !flying;
    if (pressedOnce(fpsKey, pad))
        showFps = !showFps;
    if (pressedOnce(wireframeKey, pad))
        wireframe = !wireframe;
    if (pressedOnce(samplingKey, pad)) {
        messageTimer = std::make_unique<double>(messageMilliseconds);
        samplingMode = (samplingMode + 1) % 2;
        applyTextureFilter();
    }
    if (pressedOnce(mipmapKey, pad)) {
        messageTimer = std::make_unique<double>(messageMilliseconds);
        mipmapMode = (mipmapMode + 1) % 3;
        applyTextureFilter();
    }
    if (pressedOnce(blendKey, pad)) {
        blending = !blending;
        if (blending)
            glEnable(GL_BLEND);
        else
            glDisable(GL_BLEND);
    }
    if (pressedOnce(debugKey, pad))
        physicsDebug = !physicsDebug;
}

GLint Controller::textureFilter() const
{
    static const GLint filters[3][2] = {{GL_NEAREST, GL_LINEAR},
                                        {GL_NEAREST_MIPMAP_NEAREST, GL_LINEAR_MIPMAP_NEAREST},
                                        {GL_NEAREST_MIPMAP_LINEAR, GL_LINEAR_MIPMAP_LINEAR}};
    return filters[mipmapMode][samplingMode];
}

void Controller::applyTextureFilter()
{
    textureFilterChosen = true;
    showChosenTextureFilter();
}

void Controller::showChosenTextureFilter()
{
    if (textureFilterChosen && level)
        level->setTextureFilter(textureFilter());
}

void Controller::throwCake()
{
    if (hand)
        hand->release();
    if (cake)
        cake->release();
    charging = false;

    // `position` is still the eye of the previous frame.
    const glm::vec3 dir = direction();
    const glm::vec3 spawn = position + dir;
    // Four equal shares of rand()'s 32768 values; the top value counts as 4.
    const int r = std::rand() % 32768;
    int kind = 1 + static_cast<int>(std::floor(4.0 * r / 32767.0));
    if (kind > 4)
        kind = 4;
    scene::throwCake(*playerController, *cakeTemplates[kind - 1], spawn, dir, throwStrength);

    throwStrength = 0.0f;
    sound.play(1);
    if (gameState)
        gameState->cakeThrown();
}

} // namespace frosk::controls
