#pragma once

#include <glm/glm.hpp>

#include <string>
#include <vector>

namespace frosk {

class GameState;
class HudImage;
class TextRenderer;

// Where the HUD's images go for a window of W x H pixels.
struct HudLayout {
    HudLayout(int width, int height);

    int reticleSide;
    glm::vec2 reticlePosition;
    int cakeSide;
    glm::vec2 cakePosition;
    int targetSide;
    glm::vec2 targetPosition;
};

// The player's display switches that decide what else the HUD shows.
struct HudSwitches {
    bool showFps = false;
    int samplingMode = 0;
    int mipmapMode = 0;
    // The texture-settings message shows while its timer runs.
    bool showTextureMessage = false;
    // "PAUSED" in the middle of the screen.
    bool paused = false;
};

struct HudText {
    std::string text;
    int x;
    int y;
    glm::vec3 colour;
};

// "MM:SS" of the time left; a clock that has run out reads 00:00.
std::string timeLeftText(double milliseconds);

// Every string the HUD draws this frame, in drawing order, with its position.
std::vector<HudText> hudTexts(const TextRenderer& text, const GameState& state, double millisecondsLeft,
                              const HudSwitches& switches, const std::string& fps, int width, int height);

void createHudImages(int width, int height);
void destroyHudImages();
// The 2D overlay: images, then text. Depth test off while drawing, on after.
void drawHud(TextRenderer& text, const GameState& state, double millisecondsLeft,
             const HudSwitches& switches, const std::string& fps, int width, int height);

} // namespace frosk
