#include "controls/input.h"

#include <GLFW/glfw3.h>

namespace frosk::controls {

GlfwInput::GlfwInput(GLFWwindow* window) : window(window) {}

bool GlfwInput::keyPressed(int key) const
{
    return glfwGetKey(window, key) == GLFW_PRESS;
}

bool GlfwInput::buttonPressed(int button) const
{
    return glfwGetMouseButton(window, button) == GLFW_PRESS;
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
}

void ScriptedInput::release(int keyOrButton)
{
    held.erase(keyOrButton);
}

void ScriptedInput::releaseAll()
{
    held.clear();
}

void ScriptedInput::moveCursor(const glm::dvec2& delta)
{
    cursor += delta;
}

// GLFW's key and mouse-button codes do not overlap (buttons are 0..7, keys
// start at 32), so one set holds both.
bool ScriptedInput::keyPressed(int key) const
{
    return held.count(key) != 0;
}

bool ScriptedInput::buttonPressed(int button) const
{
    return held.count(button) != 0;
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
