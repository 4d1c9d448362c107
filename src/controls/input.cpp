#include "controls/input.h"

#include <algorithm>
#include <cmath>

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

GLFWgamepadstate restingGamepad()
{
    GLFWgamepadstate state{};
    state.axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER] = -1.0f;
    state.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] = -1.0f;
    return state;
}

GLFWgamepadstate combinedGamepads(const std::vector<GLFWgamepadstate>& pads)
{
    GLFWgamepadstate all = restingGamepad();
    for (const GLFWgamepadstate& pad : pads) {
        for (int button = 0; button <= GLFW_GAMEPAD_BUTTON_LAST; ++button)
            if (pad.buttons[button] == GLFW_PRESS)
                all.buttons[button] = GLFW_PRESS;
        for (int axis = 0; axis <= GLFW_GAMEPAD_AXIS_LAST; ++axis) {
            const bool trigger = axis == GLFW_GAMEPAD_AXIS_LEFT_TRIGGER || axis == GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER;
            if (trigger ? pad.axes[axis] > all.axes[axis] : std::fabs(pad.axes[axis]) > std::fabs(all.axes[axis]))
                all.axes[axis] = pad.axes[axis];
        }
    }
    return all;
}

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

// Every joystick slot is asked each frame, so a pad plugged in while playing
// is played at once, and one pulled out is simply no longer there.
GLFWgamepadstate GlfwInput::gamepad() const
{
    std::vector<GLFWgamepadstate> pads;
    for (int joystick = GLFW_JOYSTICK_1; joystick <= GLFW_JOYSTICK_LAST; ++joystick) {
        GLFWgamepadstate state;
        if (glfwJoystickIsGamepad(joystick) && glfwGetGamepadState(joystick, &state))
            pads.push_back(state);
    }
    return combinedGamepads(pads);
}

bool GlfwInput::focused() const
{
    return glfwGetWindowAttrib(window, GLFW_FOCUSED) == GLFW_TRUE;
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
    pad = restingGamepad();
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

void ScriptedInput::setGamepad(const GLFWgamepadstate& state)
{
    pad = state;
}

void ScriptedInput::setFocused(bool windowFocused)
{
    focus = windowFocused;
}

GLFWgamepadstate ScriptedInput::gamepad() const
{
    return pad;
}

bool ScriptedInput::focused() const
{
    return focus;
}

} // namespace frosk::controls
