#pragma once

#include <glm/glm.hpp>

#include <set>

struct GLFWwindow;

namespace frosk::controls {

// Where the player's keys, buttons and cursor come from. The game reads the
// window through GlfwInput; tests and the autoplay tool script a ScriptedInput
// frame by frame, and the game cannot tell the two apart.
// Keys and buttons are GLFW's codes (GLFW_KEY_W, GLFW_MOUSE_BUTTON_LEFT).
class InputSource {
public:
    virtual ~InputSource() = default;
    virtual bool keyPressed(int key) const = 0;
    virtual bool buttonPressed(int button) const = 0;
    virtual glm::dvec2 cursorPosition() const = 0;
    virtual void setCursorPosition(const glm::dvec2& position) = 0;
};

class GlfwInput : public InputSource {
public:
    explicit GlfwInput(GLFWwindow* window);

    bool keyPressed(int key) const override;
    bool buttonPressed(int button) const override;
    glm::dvec2 cursorPosition() const override;
    void setCursorPosition(const glm::dvec2& position) override;

private:
    GLFWwindow* window;
};

// Input held in memory: what is pressed stays pressed until released, and the
// cursor stays where it was put, as with a real device between frames.
class ScriptedInput : public InputSource {
public:
    void press(int keyOrButton);
    void release(int keyOrButton);
    void releaseAll();
    // Moves the cursor by (dx, dy) pixels from where it is.
    void moveCursor(const glm::dvec2& delta);

    bool keyPressed(int key) const override;
    bool buttonPressed(int button) const override;
    glm::dvec2 cursorPosition() const override;
    void setCursorPosition(const glm::dvec2& position) override;

private:
    std::set<int> held;
    glm::dvec2 cursor{0.0, 0.0};
};

} // namespace frosk::controls
