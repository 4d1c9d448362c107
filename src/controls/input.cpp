#include "controls/input.h"

#include <GLFW/glfw3.h>

namespace frosk::controls {

namespace {

GlfwInput* inputOf(GLFWwindow* window)
{
    return static_cast<GlfwInput*>(glfwGetWindowUserPointer(window));
}

void keyEvent(GLFWwindow* window, int key, int /*scancode*/, int action, int /*mods*/)
{
    if (action == GLFW_PRESS && inputOf(window) != nullptr)
        inputOf(window)->pressed(key);
}

void buttonEvent(GLFWwindow* window, int button, int action, int /*mods*/)
{
    if (action == GLFW_PRESS && inputOf(window) != nullptr)
        inputOf(window)->pressed(button);
}

} // namespace

GlfwInput::GlfwInput(GLFWwindow* window) : window(window)
{
    glfwSetWindowUserPointer(window, this);
    glfwSetKeyCallback(window, keyEvent);
    glfwSetMouseButtonCallback(window, buttonEvent);
}

GlfwInput::~GlfwInput()
{
    glfwSetKeyCallback(window, nullptr);
    glfwSetMouseButtonCallback(window, nullptr);
    glfwSetWindowUserPointer(window, nullptr);
}

void GlfwInput::pressed(int keyOrButton)
{
    unread.insert(keyOrButton);
}

bool GlfwInput::keyPressed(int key)
{
    const bool tapped = unread.erase(key) != 0;
    return glfwGetKey(window, key) == GLFW_PRESS || tapped;
}

bool GlfwInput::buttonPressed(int button)
{
    const bool clicked = unread.erase(button) != 0;
    return glfwGetMouseButton(window, button) == GLFW_PRESS || clicked;
}

glm::dvec2 GlfwInput::cursorPosition() const
{
    glm::dvec2 position;
    glfwGetCursorPos(window, &position.x, &position.y);
    return position;
}

void GlfwInput::setCursorPosition(const glm::dvec2& position)
{
    glfwSetCursorPos(window, position.x, position.y);
}

void ScriptedInput::press(int keyOrButton)
{
    held.insert(keyOrButton);
    unread.insert(keyOrButton);
}

void ScriptedInput::release(int keyOrButton)
{
    held.erase(keyOrButton);
}

void ScriptedInput::tap(int keyOrButton)
{
    press(keyOrButton);
    release(keyOrButton);
}

void ScriptedInput::releaseAll()
{
    held.clear();
    unread.clear();
}

void ScriptedInput::moveCursor(const glm::dvec2& delta)
{
    cursor += delta;
}

bool ScriptedInput::read(int keyOrButton)
{
    const bool tapped = unread.erase(keyOrButton) != 0;
    return held.count(keyOrButton) != 0 || tapped;
}

// GLFW's key and mouse-button codes do not overlap (buttons are 0..7, keys
// start at 32), so one set holds both.
bool ScriptedInput::keyPressed(int key)
{
    return read(key);
}

bool ScriptedInput::buttonPressed(int button)
{
    return read(button);
}

glm::dvec2 ScriptedInput::cursorPosition() const
{
    return cursor;
}

void ScriptedInput::setCursorPosition(const glm::dvec2& position)
{
    cursor = position;
}

} // namespace frosk::controls
