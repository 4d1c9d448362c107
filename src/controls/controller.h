#pragma once

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

class InputSource;

// The player: mouse look, walking or flying the capsule, the hold-and-release
// throw that also drives the hand and the held cake, and the debug switches.
// Reads keys, buttons and the cursor only through its input source. Reaches
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
    // Radians the view turns per pixel the cursor moves.
    float mouseSpeed = 0.005f;
    // Moving the mouse up looks down.
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
        bool latch = false;
    };
    // True once per press of the key.
    bool pressedOnce(Toggle& toggle);
    void look();
    void move(double deltaTime, const glm::vec3& dir, const glm::vec3& right);
    void toggles();
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
