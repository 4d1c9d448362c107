// Times whole frames of the game (update and drawFrame, waited for) and the
// GL time of each pass, on a hidden window of any size:
//   shadow_frame_timing <width> <height> <level 1|2> <cached|plain|both> [frames]
// "both" takes turns, ten frames each way, so that both ways share whatever
// else the machine is doing; the first two frames after a change are left
// out. Run from the runtime root under an X server. Prints medians in
// milliseconds.
#include "app/config.h"
#include "app/game.h"
#include "app/pass_timings.h"
#include "common/game_state.h"
#include "common/globals.h"
#include "controls/input.h"
#include "effects/shadow_mapping.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s <width> <height> <level 1|2> <cached|plain|both> [frames]\n", argv[0]);
        return 2;
    }
    const int width = std::atoi(argv[1]);
    const int height = std::atoi(argv[2]);
    const int levelNumber = std::atoi(argv[3]);
    const std::string mode = argv[4];
    const int count = argc > 5 ? std::atoi(argv[5]) : 120;

    // Frames as fast as they come, not one per screen refresh.
    setenv("CRUMBRISE_VSYNC", "0", 0);
    if (!glfwInit())
        return 1;
    frosk::Config settings("config.conf");
    settings.width = width;
    settings.height = height;
    settings.fullscreen = false;
    std::string failure;
    GLFWwindow* window = frosk::openWindow(settings, false, failure);
    if (window == nullptr) {
        std::fprintf(stderr, "%s\n", failure.c_str());
        return 1;
    }

    frosk::controls::ScriptedInput input;
    frosk::initialize(window, input, settings);
    if (levelNumber == 2) {
        frosk::gameState->status = frosk::GameState::won;
        frosk::advanceLevel();
    }
    frosk::enablePassTimings(true);

    struct Samples {
        std::vector<double> frames;
        std::map<std::string, std::vector<double>> passes;
        std::vector<std::string> order;
    };
    std::map<bool, Samples> samples;
    const double dt = 1.0 / 60.0;
    const int block = 10;
    const int perWay = mode == "both" ? 2 * count : count;
    for (int i = 0; i < perWay + 10; ++i) {
        const bool cached = mode == "both" ? (i / block) % 2 == 1 : mode == "cached";
        frosk::shadowMapping->cacheStaticCasters = cached;
        glFinish();
        const auto start = std::chrono::steady_clock::now();
        frosk::update(dt);
        frosk::drawFrame();
        glFinish();
        const auto end = std::chrono::steady_clock::now();
        glfwSwapBuffers(window);
        // Warming up, and the first frames after a change of way.
        if (i < 10 || (mode == "both" && i % block < 2))
            continue;
        Samples& way = samples[cached];
        way.frames.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        for (const frosk::PassTiming& pass : frosk::lastPassTimings()) {
            if (way.passes.count(pass.name) == 0)
                way.order.push_back(pass.name);
            way.passes[pass.name].push_back(pass.milliseconds);
        }
    }

    for (auto& [cached, way] : samples) {
        std::printf("%dx%d level %d %s: frame %.2f ms (median of %zu)", width, height, levelNumber,
                    cached ? "cached" : "plain", median(way.frames), way.frames.size());
        for (const std::string& name : way.order)
            std::printf(", %s %.2f", name.c_str(), median(way.passes[name]));
        std::printf("\n");
    }

    frosk::enablePassTimings(false);
    frosk::shutdown();
    glfwDestroyWindow(window);
    glfwTerminate();
    return 0;
}
