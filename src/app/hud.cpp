#include "app/hud.h"

#include "app/hud_image.h"
#include "app/text_renderer.h"
#include "common/game_state.h"
#include "common/globals.h"
#include "shader/shader.h"

#include <cmath>

namespace frosk {

namespace {

const glm::vec3 black(0.0f, 0.0f, 0.0f);
const glm::vec3 grey(0.3f, 0.3f, 0.3f);
const glm::vec3 green(0.08f, 0.95f, 0.14f);
const glm::vec3 yellow(0.94f, 0.93f, 0.05f);
const glm::vec3 red(1.0f, 0.0f, 0.0f);

std::string twoDigits(long value)
{
    return (value < 10 ? "0" : "") + std::to_string(value);
}

const char* samplingText(int mode)
{
    return mode == 0 ? "TEXTURE SAMPLING: NEAREST NEIGHBOR" : "TEXTURE SAMPLING: BILINEAR";
}

const char* mipmapText(int mode)
{
    return mode == 0 ? "MIPMAP: OFF" : mode == 1 ? "MIPMAP: NEAREST NEIGHBOR" : "MIPMAP: LINEAR";
}

} // namespace

HudLayout::HudLayout(int width, int height)
{
    reticleSide = height / 20 + 50;
    reticlePosition = glm::vec2(width / 2 - reticleSide / 2, height / 2 - reticleSide / 2);
    cakeSide = height / 15 + 60;
    cakePosition = glm::vec2(10, 10);
    targetSide = cakeSide - 10;
    targetPosition = glm::vec2(static_cast<float>(static_cast<int>(width - 1.7 * cakeSide)),
                               static_cast<float>(cakeSide / 2 - targetSide / 2 + 10));
}

std::string timeLeftText(double milliseconds)
{
    // Negative, NaN and absurdly large clocks all stay within what fits.
    long t = 0;
    if (milliseconds > 0.0)
        t = milliseconds < 1e12 ? static_cast<long>(milliseconds) : static_cast<long>(1e12);
    const long minutes = t / 60000;
    const long seconds = t / 1000 - 60 * minutes;
    return twoDigits(minutes) + ":" + twoDigits(seconds);
}

std::vector<HudText> hudTexts(const TextRenderer& text, const GameState& state, double millisecondsLeft,
                              const HudSwitches& switches, const std::string& fps, int width, int height)
{
    const HudLayout layout(width, height);
    const int S = layout.cakeSide;
    const int T = layout.targetSide;
    const int size = TextRenderer::fontSize;
    auto centred = [&](const std::string& s) { return width / 2 - text.measureText(s, size) / 2; };

    std::vector<HudText> texts;
    texts.push_back({state.cakesText(), S + 20, S / 2 - 10, black});
    texts.push_back({state.targetsText(), static_cast<int>(layout.targetPosition.x + static_cast<float>(T + 10)),
                     S / 2 - 10, black});
    const std::string time = timeLeftText(millisecondsLeft);
    texts.push_back({time, centred(time), 3 * ((S / 2 - 10) / 2), black});
    const std::string level = state.levelText();
    texts.push_back({level, centred(level), (S / 2 - 10) / 2, black});
    texts.push_back({state.scoreText(), 10, height - (S / 2 - 10), black});

    const std::string status = state.statusText();
    if (status == GameState::won) {
        texts.push_back({status, centred(status), height / 4, green});
        const std::string wait = "Please wait for next level";
        texts.push_back({wait, centred(wait), 3 * height / 4, yellow});
    } else if (status == GameState::lost) {
        texts.push_back({status, centred(status), height / 4, red});
        const std::string score = "Your " + state.scoreText();
        texts.push_back({score, centred(score), 3 * height / 4, yellow});
    }

    if (switches.showTextureMessage) {
        const std::string sampling = samplingText(switches.samplingMode);
        texts.push_back({sampling, centred(sampling), 4 * height / 5, grey});
        const std::string mipmap = mipmapText(switches.mipmapMode);
        texts.push_back({mipmap, centred(mipmap), 4 * height / 5 + 50, grey});
    }
    if (switches.paused) {
        const std::string paused = "PAUSED";
        texts.push_back({paused, centred(paused), height / 2 - size / 2, black});
    }
    if (switches.showFps)
        texts.push_back({fps, width - text.measureText(fps, size), height - (S / 2 - 10), black});
    return texts;
}

void createHudImages(int width, int height)
{
    const HudLayout layout(width, height);
    reticle = new HudImage("reticle2.png", layout.reticleSide, layout.reticleSide, layout.reticlePosition, hudShader);
    cakeIcon = new HudImage("cake2.png", layout.cakeSide, layout.cakeSide, layout.cakePosition, hudShader);
    targetIcon = new HudImage("Target_1.png", layout.targetSide, layout.targetSide, layout.targetPosition, hudShader);
}

void destroyHudImages()
{
    delete reticle;
    delete cakeIcon;
    delete targetIcon;
    reticle = cakeIcon = targetIcon = nullptr;
}

void drawHud(TextRenderer& text, const GameState& state, double millisecondsLeft,
             const HudSwitches& switches, const std::string& fps, int width, int height)
{
    glDisable(GL_DEPTH_TEST);
    glUseProgram(hudShader->programHandle);
    reticle->draw();
    cakeIcon->draw();
    targetIcon->draw();
    glEnable(GL_DEPTH_TEST);

    for (const HudText& item : hudTexts(text, state, millisecondsLeft, switches, fps, width, height))
        text.renderText(item.text, item.x, item.y, TextRenderer::fontSize, item.colour);
}

} // namespace frosk
