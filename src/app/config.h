#pragma once

#include <string>

namespace frosk {

// Start-up settings from "config.conf": window size, full-screen mode, how
// the mouse turns the view and how many frames a second the game may draw.
class Config {
public:
    // Reads the file and names it on the console, or says it is missing and
    // keeps the defaults. The game never writes it.
    explicit Config(const std::string& fileName);
    virtual ~Config() = default;

    int width = 800;
    int height = 600;
    bool fullscreen = false;
    // How far the view turns for a mouse move, in percent of the normal turn.
    int mouseSensitivity = 100;
    // Moving the mouse up looks down.
    bool invertMouse = false;

    // At most this many frames a second, for a screen that does not pace
    // them (no vsync); 0 leaves them unlimited.
    int maxFramesPerSecond = 0;

    static constexpr int lowestMouseSensitivity = 10;
    static constexpr int highestMouseSensitivity = 1000;
    // Below 20 a frame would come near the 0.1 s past which the level's clock
    // stands still.
    static constexpr int lowestFrameLimit = 20;
    static constexpr int highestFrameLimit = 1000;
};

// The configuration file the game starts with: the player's own
// "$XDG_CONFIG_HOME/crumbrise/config.conf" when that file exists, else
// "config.conf" in the working directory, the default that lies beside the
// game's data. Following the XDG base directory rules, an unset, empty or
// relative XDG_CONFIG_HOME means "$HOME/.config"; without HOME there is no
// player's file to look for.
std::string configFileName();

} // namespace frosk
