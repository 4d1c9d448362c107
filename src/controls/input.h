#pragma once

// GLEW's header goes before GLFW's, which would otherwise bring in the
// system's GL header.
#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <glm/glm.hpp>

#include <set>
#include <vector>

namespace frosk::controls {

// A pad with nothing touched: sticks centred, triggers out (-1), no button down.
GLFWgamepadstate restingGamepad();
// Several pads played as one: a button is down when it is down on any pad,
// each stick axis follows the pad that tilts it furthest, each trigger the
// pad that pulls it furthest.
GLFWgamepadstate combinedGamepads(const std::vector<GLFWgamepadstate>& pads);

// Where the player's keys, buttons, cursor and pads come from, and whether the
// window has the player's attention. The game reads the window through
// GlfwInput; tests and the autoplay tool script a ScriptedInput frame by frame,
// and the game cannot tell the two apart.
// Keys and buttons are GLFW's codes (GLFW_KEY_W, GLFW_MOUSE_BUTTON_LEFT), pads
// GLFW's standard layout (GLFW_GAMEPAD_AXIS_LEFT_X, GLFW_GAMEPAD_BUTTON_A).
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
    // Every pad connected now, as one (restingGamepad() when there is none).
    virtual GLFWgamepadstate gamepad() const = 0;
    // The window has the input focus: keys and the mouse come to the game.
    virtual bool focused() const = 0;
};

// The window's keyboard and mouse, and the pads GLFW knows a mapping for,
// whenever they are plugged in. Takes over the window's key and mouse button
// callbacks, which note every press between two reads.
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
    GLFWgamepadstate gamepad() const override;
    bool focused() const override;

    // A press the window reported; called by the callbacks.
    void pressed(int keyOrButton);

private:
    GLFWwindow* window;
    // Pressed since last read; key and button codes do not overlap.
    std::set<int> unread;
};

// Input held in memory: what is pressed stays pressed until released, and the
// cursor and the pad stay where they were put, as with a real device between
// frames. The window has the focus until told otherwise.
class ScriptedInput : public InputSource {
public:
    void press(int keyOrButton);
    void release(int keyOrButton);
    // Pressed and let go before the next frame, as a quick tap or click.
    void tap(int keyOrButton);
    // Everything let go and forgotten, taps not yet read included; the pad
    // comes to rest.
    void releaseAll();
    // Moves the cursor by (dx, dy) pixels from where it is.
    void moveCursor(const glm::dvec2& delta);
    // The pads' state from now on.
    void setGamepad(const GLFWgamepadstate& state);
    // Another window takes the focus (false) or gives it back (true).
    void setFocused(bool windowFocused);

    bool keyPressed(int key) override;
    bool buttonPressed(int button) override;
    glm::dvec2 cursorPosition() const override;
    void setCursorPosition(const glm::dvec2& position) override;
    GLFWgamepadstate gamepad() const override;
    bool focused() const override;

private:
    bool read(int keyOrButton);

    std::set<int> held;
    // Pressed since last read.
    std::set<int> unread;
    glm::dvec2 cursor{0.0, 0.0};
    GLFWgamepadstate pad = restingGamepad();
    bool focus = true;
};

} // namespace frosk::controls
