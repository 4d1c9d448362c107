#include "frame_script.h"

#include "common/game_state.h"
#include "common/globals.h"
#include "controls/controller.h"
#include "particlesystem/particle_system.h"
#include "physicsengine/physics.h"
#include "scene/cake.h"
#include "scene/flight.h"

#include <GLFW/glfw3.h>

#include <cmath>

namespace bench {

using frosk::thrownCakes;

FrameScript::FrameScript(frosk::controls::ScriptedInput& input, int cakesInFlight, int burstAfterFrames)
    : input(input), cakesInFlight(cakesInFlight), burstAfterFrames(burstAfterFrames)
{
}

void FrameScript::beforeFrame()
{
    const double t = frame / 60.0;
    // Forward all the time while turning: a circle of about 2.5 units round
    // the start; now and then a step to the side.
    input.press(GLFW_KEY_W);
    const int sidestep = static_cast<int>(t) % 6;
    if (sidestep == 2)
        input.press(GLFW_KEY_A);
    else
        input.release(GLFW_KEY_A);
    if (sidestep == 5)
        input.press(GLFW_KEY_D);
    else
        input.release(GLFW_KEY_D);
    input.moveCursor({-4.0, 3.0 * std::sin(0.9 * t)});

    // Charges of a tenth, a fifth and a third of a second, in turn.
    static const int charges[] = {6, 12, 20};
    if (holdFrames > 0) {
        if (--holdFrames == 0)
            input.release(GLFW_MOUSE_BUTTON_LEFT);
    } else if (frosk::cake->ready && !frosk::controller->charging) {
        input.press(GLFW_MOUSE_BUTTON_LEFT);
        holdFrames = charges[chargeIndex++ % 3];
    }
    ++frame;
}

void FrameScript::afterFrame()
{
    *frosk::timeLeft = 120000.0;
    frosk::gameState->cakesLeft = 20;
    frosk::gameState->targetsLeft = 10;
    burstOldCakes();
    while (static_cast<int>(thrownCakes.size()) < cakesInFlight)
        launchCake();
}

void FrameScript::stop()
{
    input.releaseAll();
    holdFrames = 0;
}

void FrameScript::burstOldCakes()
{
    const int lifetime = burstAfterFrames;
    std::map<int, int> seen;
    std::vector<int> old;
    for (const frosk::scene::Cake* thrown : thrownCakes) {
        const auto found = firstSeen.find(thrown->id);
        const int born = found == firstSeen.end() ? frame : found->second;
        if (frame - born < lifetime)
            seen[thrown->id] = born;
        else
            old.push_back(thrown->id);
    }
    for (int id : old)
        frosk::scene::burstCake(static_cast<std::uint32_t>(id));
    firstSeen = std::move(seen);
}

// A cake tossed up from beside the player, as the controller throws one, to
// land a few units away, roll and burst.
void FrameScript::launchCake()
{
    std::uniform_real_distribution<float> angle(0.0f, 6.2831853f), across(1.5f, 4.0f), up(5.0f, 8.0f);
    const float a = angle(random);
    const glm::vec3 direction(std::cos(a), 0.0f, std::sin(a));
    const glm::vec3 velocity = across(random) * direction + glm::vec3(0.0f, up(random), 0.0f);
    const glm::vec3 spawn = frosk::controller->position + direction + glm::vec3(0.0f, 0.5f, 0.0f);

    const frosk::scene::Cake& kind = *frosk::controller->cakeTemplates[launched % 4];
    frosk::scene::throwCake(*frosk::physics, kind, spawn, glm::normalize(velocity), glm::length(velocity));
    ++launched;
}

} // namespace bench
