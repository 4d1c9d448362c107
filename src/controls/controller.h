#pragma once

#include "controls/input.h"
#include "sound/sound.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <array>
#include <memory>

namespace frosk::physicsengine {
class Physics;
}
namespace frosk::scene {
class Cake;
}

namespace frosk::controls {

// Escape, or Start on a pad: the player wants to end the game.
bool quitPressed(InputSource& input);

// The player: mouse or right-stick look, walking (keys or left stick) or flying
// the capsule, the hold-and-release throw (left button, right trigger or A)
// that also drives the hand and the held cake, and the debug switches.
// Reads keys, buttons, the cursor and the pads only through its input source. Reaches
// the hand, the held cake, the level and the game state through the
// application's globals, each only while it exists.
class Controller {
public:
    Controller(InputSource& input, const glm::vec3& position, const glm::vec3& lookAt,
               physicsengine::Physics* playerController, double windowWidth, double windowHeight);
    // Deletes the templates.
    virtual ~Controller();
    Controller(const Controller&) = delete;
    Controller& operator=(const Controller&) = delete;

    void update(double deltaTime);
    // Whatever the cursor did since the last frame is not taken as a turn
    // (the window is given back after a pause).
    void forgetCursorMotion();
    // Where the cursor is put back every frame: the middle of the window. A
    // turn is the cursor's way from there.
    glm::dvec2 cursorCentre() const { return {windowWidth * 0.5, windowHeight * 0.5}; }

    // A throw leaves the hand at least this fast, and faster by this much for
    // every second the button is held.
    static constexpr float startStrength = 5.0f;
    static constexpr float strengthPerSecond = 13.0f;

    // The view direction of the current angles.
    glm::vec3 direction() const;
    // The minification filter that the sampling and mipmap modes select.
    GLint textureFilter() const;
    // True while the texture-settings message shows.
    bool showTextureMessage() const { return messageTimer && *messageTimer >= 0.0; }
    // Gives the current level's terrain and sky the filter the player chose
    // with F4 or F5; before any choice they keep the filters they were built
    // with. The loop calls it for every level it builds: the new level's
    // textures may be fresh, or shared with an earlier level that showed
    // another filter.
    void showChosenTextureFilter();

    InputSource* input = nullptr;
    glm::mat4 viewMatrix{1.0f};
    glm::vec3 position{0.0f};
    double windowWidth = 0.0;
    double windowHeight = 0.0;
    float speed = 3.0f;
    // Radians the view turns per pixel the cursor moves, and per second with
    // the right stick tilted all the way, both at a sensitivity of 1.
    float mouseSpeed = 0.005f;
    float stickTurnSpeed = 2.5f;
    // The player's look sensitivity (1 is 100 %), for the mouse and the stick.
    float lookSensitivity = 1.0f;
    // Moving the mouse or the right stick up looks down.
    bool invertMouse = false;
    float horizontalAngle = 0.0f;
    float verticalAngle = 0.0f;
    bool wireframe = false;
    bool blending = true;
    bool charging = false;
    bool flying = false;
    bool showFps = false;
    // The physics debug view over the frame.
    bool physicsDebug = false;
    int mipmapMode = 2;
    int samplingMode = 1;
    Sound sound;
    float throwStrength = 0.0f;
    physicsengine::Physics* playerController = nullptr;
    // Milliseconds the texture-settings message still shows; none before F4 or F5.
    std::unique_ptr<double> messageTimer;
    // Kinds 1 to 4.
    std::array<scene::Cake*, 4> cakeTemplates{};

private:
    struct Toggle {
        int key;
        // A pad button doing the same, or -1.
        int padButton = -1;
        bool latch = false;
    };
    // True once per press of the key (or the pad button).
    bool pressedOnce(Toggle& toggle, const GLFWgamepadstate& pad);
    void look(double deltaTime, const GLFWgamepadstate& pad);
    void move(double deltaTime, const glm::vec3& dir, const glm::vec3& right, const GLFWgamepadstate& pad);
    void toggles(const GLFWgamepadstate& pad);
    void applyTextureFilter();
    void throwCake();

    // F4 or F5 has been pressed.
    bool textureFilterChosen = false;
    Toggle flyKey;
    Toggle fpsKey;
    Toggle wireframeKey;
    Toggle samplingKey;
    Toggle mipmapKey;
    Toggle blendKey;
    Toggle debugKey;
};

} // namespace frosk::controls
