#pragma once

#include <glm/glm.hpp>

#include <set>

struct GLFWwindow;

namespace frosk::controls {

// Where the player's keys, buttons and cursor come from. The game reads the
// window through GlfwInput; tests and the autoplay tool script a ScriptedInput
// frame by frame, and the game cannot tell the two apart.
// Keys and buttons are GLFW's codes (GLFW_KEY_W, GLFW_MOUSE_BUTTON_LEFT).
//
// The game reads each key and button once a frame. A key that is down reads
// as pressed; so does one pressed and let go again since it was last read, so
// a tap shorter than a frame still counts, once.
class InputSource {
public:
    virtual ~InputSource() = default;
    virtual bool keyPressed(int key) = 0;
    virtual bool buttonPressed(int button) = 0;
    virtual glm::dvec2 cursorPosition() const = 0;
    virtual void setCursorPosition(const glm::dvec2& position) = 0;
};

// The window's keyboard and mouse. Takes over the window's key and mouse
// button callbacks, which note every press between two reads.
class GlfwInput : public InputSource {
public:
    explicit GlfwInput(GLFWwindow* window);
    ~GlfwInput() override;
    GlfwInput(const GlfwInput&) = delete;
    GlfwInput& operator=(const GlfwInput&) = delete;

    bool keyPressed(int key) override;
    bool buttonPressed(int button) override;
    glm::dvec2 cursorPosition() const override;
    void setCursorPosition(const glm::dvec2& position) override;

    // A press the window reported; called by the callbacks.
    void pressed(int keyOrButton);

private:
    GLFWwindow* window;
    // Pressed since last read; key and button codes do not overlap.
    std::set<int> unread;
};

// Input held in memory: what is pressed stays pressed until released, and the
// cursor stays where it was put, as with a real device between frames.
class ScriptedInput : public InputSource {
public:
    void press(int keyOrButton);
    void release(int keyOrButton);
    // Pressed and let go before the next frame, as a quick tap or click.
    void tap(int keyOrButton);
    // Everything let go and forgotten, taps not yet read included.
    void releaseAll();
    // Moves the cursor by (dx, dy) pixels from where it is.
    void moveCursor(const glm::dvec2& delta);

    bool keyPressed(int key) override;
    bool buttonPressed(int button) override;
    glm::dvec2 cursorPosition() const override;
    void setCursorPosition(const glm::dvec2& position) override;

private:
    bool read(int keyOrButton);

    std::set<int> held;
    // Pressed since last read.
    std::set<int> unread;
    glm::dvec2 cursor{0.0, 0.0};
};

} // namespace frosk::controls
