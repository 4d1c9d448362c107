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

#include <cmath>
#include <cstdlib>

namespace frosk::controls {

namespace {

constexpr float windUpDistance = 2.0f;
constexpr float windUpSpeed = 3.5f;
constexpr float gravitySpeed = 9.8f;
constexpr double messageMilliseconds = 2000.0;

} // namespace

Controller::Controller(InputSource& input, const glm::vec3& position, const glm::vec3& lookAt,
                       physicsengine::Physics* playerController, double windowWidth, double windowHeight)
    : input(&input),
      position(position),
      windowWidth(windowWidth),
      windowHeight(windowHeight),
      playerController(playerController),
      flyKey{GLFW_KEY_G},
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

    input.setCursorPosition({windowWidth * 0.5, windowHeight * 0.5});
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

    look();
    const glm::vec3 dir = direction();
    // 1.57 rather than pi/2: the right vector leans a hair forward.
    const glm::vec3 right(std::sin(horizontalAngle - 1.57f), 0.0f, std::cos(horizontalAngle - 1.57f));
    const glm::vec3 up = glm::cross(right, dir);
    move(deltaTime, dir, right);
    toggles();

    const bool button = input->buttonPressed(GLFW_MOUSE_BUTTON_LEFT);
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

void Controller::look()
{
    const glm::dvec2 cursor = input->cursorPosition();
    const glm::dvec2 centre(windowWidth * 0.5, windowHeight * 0.5);
    input->setCursorPosition(centre);
    horizontalAngle += mouseSpeed * static_cast<float>(centre.x - cursor.x);
    const float up = invertMouse ? -1.0f : 1.0f;
    verticalAngle += up * mouseSpeed * static_cast<float>(centre.y - cursor.y);

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

void Controller::move(double deltaTime, const glm::vec3& dir, const glm::vec3& right)
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
    // A constant fall speed, not an acceleration.
    if (!flying)
        playerController->movePlayer(glm::vec3(0.0f, -gravitySpeed * elapsed, 0.0f), 0.001f, elapsed);
}

bool Controller::pressedOnce(Toggle& toggle)
{
    const bool down = input->keyPressed(toggle.key);
    if (down && !toggle.latch) {
        toggle.latch = true;
        return true;
    }
    if (!down && toggle.latch)
        toggle.latch = false;
    return false;
}

void Controller::toggles()
{
    if (pressedOnce(flyKey))
        flying = !flying;
    if (pressedOnce(fpsKey))
        showFps = !showFps;
    if (pressedOnce(wireframeKey))
        wireframe = !wireframe;
    if (pressedOnce(samplingKey)) {
        messageTimer = std::make_unique<double>(messageMilliseconds);
        samplingMode = (samplingMode + 1) % 2;
        applyTextureFilter();
    }
    if (pressedOnce(mipmapKey)) {
        messageTimer = std::make_unique<double>(messageMilliseconds);
        mipmapMode = (mipmapMode + 1) % 3;
        applyTextureFilter();
    }
    if (pressedOnce(blendKey)) {
        blending = !blending;
        if (blending)
            glEnable(GL_BLEND);
        else
            glDisable(GL_BLEND);
    }
    if (pressedOnce(debugKey))
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
