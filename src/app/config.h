#pragma once

#include <string>

namespace frosk {

// Start-up settings from "config.conf": window size, full-screen mode and how
// the mouse turns the view.
class Config {
public:
    explicit Config(const std::string& fileName);
    virtual ~Config() = default;

    int width = 800;
    int height = 600;
    bool fullscreen = false;
    // How far the view turns for a mouse move, in percent of the normal turn.
    int mouseSensitivity = 100;
    // Moving the mouse up looks down.
    bool invertMouse = false;

    static constexpr int lowestMouseSensitivity = 10;
    static constexpr int highestMouseSensitivity = 1000;
};

} // namespace frosk
