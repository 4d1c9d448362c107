// Plays the game through scripted input at a fixed frame time, as a player
// would: aims at each target, charges, throws and learns from its misses; or
// throws every cake away. Prints one line per event and a summary, and
// exits with 0 when the run reached what it set out to do.

#include "leak_check.h"
#include "observer.h"
#include "options.h"
#include "player.h"
#include "screenshots.h"

#include "app/config.h"
#include "app/game.h"
#include "common/game_state.h"
#include "common/globals.h"
#include "controls/input.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <IL/il.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using autoplay::Aim;

void reportGlfwError(int code, const char* description)
{
    std::fprintf(stderr, "GLFW error %d: %s\n", code, description);
}

GLFWwindow* openWindow(const frosk::Config& settings, bool visible)
{
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        std::fprintf(stderr, "crumbrise_autoplay needs an X display (DISPLAY is not set); "
                             "run it under xvfb-run -a -s \"-screen 0 1280x720x24\"\n");
        return nullptr;
    }
    glfwSetErrorCallback(reportGlfwError);
    if (!glfwInit())
        return nullptr;
    std::string failure;
    GLFWwindow* window = frosk::openWindow(settings, visible, failure);
    if (window == nullptr)
        std::fprintf(stderr, "%s\n", failure.c_str());
    return window;
}

std::string frameName(const char* what, int frame)
{
    char name[64];
    std::snprintf(name, sizeof name, "%s_%06d", what, frame);
    return name;
}

} // namespace

int main(int argc, char** argv)
{
    autoplay::Options options;
    std::string error;
    bool help = false;
    if (!autoplay::parseOptions(argc, argv, options, error, help)) {
        std::fprintf(stderr, "crumbrise_autoplay: %s\n%s", error.c_str(), autoplay::usage());
        return 1;
    }
    if (help) {
        std::fputs(autoplay::usage(), stdout);
        return 0;
    }
    // Without a sound card the sound library finds no device; the silent one
    // lets the game play on.
    if (!options.sound)
        setenv("ALSOFT_DRIVERS", "null", 0);
    std::srand(options.seed);

    frosk::Config settings("config.conf");
    if (options.width > 0) {
        settings.width = options.width;
        settings.height = options.height;
    }
    GLFWwindow* window = openWindow(settings, options.visible);
    if (window == nullptr)
        return 1;
    ilInit();

    frosk::controls::ScriptedInput input;
    frosk::initialize(window, input, settings);

    const autoplay::EventLog log(stdout, options.quiet);
    autoplay::Observer observer(log, options.frameSeconds);
    autoplay::Player player(input, observer, log, options.frameSeconds, options.wobbleDegrees, options.seed);
    autoplay::LeakCheck leaks(log);
    const autoplay::Screenshots screenshots(options.screenshotDir, settings.width, settings.height);

    std::size_t played = 0; // plan entries finished
    bool offPlan = false;
    observer.levelBuilt(0);
    if (options.checkLeaks)
        leaks.levelBuilt(frosk::gameState->level % 2 != 0 ? 1 : 2);
    player.setAim(options.plan.front());

    int frame = 0;
    frosk::FrameHooks hooks;
    hooks.afterUpdate = [&] { observer.afterUpdate(frame); };
    hooks.beforeSwap = [&] {
        if (!screenshots.enabled())
            return;
        if (options.screenshotEvery > 0 && frame % options.screenshotEvery == 0)
            screenshots.take(frameName("frame", frame));
        if (observer.wonThisFrame)
            screenshots.take(frameName("win", frame));
        if (observer.lostThisFrame)
            screenshots.take(frameName("loss", frame));
    };

    const auto start = std::chrono::steady_clock::now();
    while (frame < options.maxFrames) {
        ++frame;
        // The player waits for the leak check of a new level before it plays:
        // what the old level left must have gone before anything is counted.
        if (!leaks.waiting())
            player.beforeFrame(frame);
        // The game's own frame, at the fixed frame time.
        if (!frosk::runFrame(window, input, options.frameSeconds, hooks))
            break;

        if (observer.wonThisFrame || observer.lostThisFrame) {
            const Aim wanted = options.plan[played];
            if ((wanted == Aim::win) != observer.wonThisFrame)
                offPlan = true;
            ++played;
            observer.levelBuilt(frame);
            player.levelChanged();
            if (options.checkLeaks)
                leaks.levelBuilt(frosk::gameState->level % 2 != 0 ? 1 : 2);
            if (played < options.plan.size())
                player.setAim(options.plan[played]);
        }
        if (options.checkLeaks)
            leaks.afterFrame(frame);
        player.afterFrame(frame);
        // Done once the plan is played and the last level change checked.
        if (offPlan || (played == options.plan.size() && !leaks.waiting()))
            break;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const frosk::GameState& state = *frosk::gameState;
    const bool reached = !offPlan && played == options.plan.size() && leaks.failures == 0 && !leaks.waiting();
    std::printf("summary: frames=%d levels_won=%d losses=%d level=%d score=%d cakes_thrown=%d hits=%d rests=%d "
                "far=%d leak_checks=%d leak_failures=%d wall_seconds=%.1f goal=%s\n",
                frame, observer.levelsWon, observer.losses, state.level, state.score, observer.thrown, observer.hits,
                observer.rests, observer.far, leaks.checks, leaks.failures, seconds, reached ? "reached" : "missed");
    std::fflush(stdout);

    frosk::shutdown();
    glfwDestroyWindow(window);
    glfwTerminate();
    return reached ? 0 : 1;
}
