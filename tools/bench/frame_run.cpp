#include "frame_run.h"

#include "empty_scene.h"
#include "frame_script.h"
#include "pass_clock.h"
#include "sampler.h"

#include "app/config.h"
#include "app/game.h"
#include "common/game_state.h"
#include "common/globals.h"
#include "controls/controller.h"
#include "levels/level1.h"
#include "levels/level2.h"
#include "particlesystem/particle_system.h"
#include "physicsengine/physics.h"
#include "scene/cake.h"
#include "scene/flight.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>

namespace bench {

namespace {

using frosk::particleSystems;
using frosk::thrownCakes;

double milliseconds(long long nanoseconds)
{
    return static_cast<double>(nanoseconds) / 1.0e6;
}

long long cpuNanoseconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// The game as the program starts it, on a window of the run's size, with the
// player's input scripted and the simulated clock at exactly 60 frames a
// second, so every run plays the same game however long its frames take.
class Game {
public:
    Game(GLFWwindow* window, const RunOptions& options) : window(window)
    {
        frosk::initialize(window, input, settingsFor(options));
    }

    ~Game() { frosk::shutdown(); }

    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    static frosk::Config settingsFor(const RunOptions& options)
    {
        frosk::Config settings("config.conf");
        settings.width = options.width;
        settings.height = options.height;
        settings.fullscreen = false;
        return settings;
    }

    double nextTime()
    {
        simulated += 1.0 / 60.0;
        return simulated;
    }

    bool frame() { return frosk::runFrame(window, input, clock.tick(nextTime())); }

    // No cake in the air and no burst left.
    static void clearFlight() { frosk::scene::endFlights(); }

    GLFWwindow* window;
    frosk::controls::ScriptedInput input;
    frosk::FrameClock clock;
    // The first frame's dt is the whole start-up, as in the game.
    double simulated = 0.0;
};

// The window's back buffer as a binary PPM, top row first.
void savePicture(const std::string& path)
{
    if (path.empty())
        return;
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const int width = viewport[2], height = viewport[3];
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * 3);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!file)
        return;
    std::fprintf(file.get(), "P6\n%d %d\n255\n", width, height);
    for (int row = height - 1; row >= 0; --row)
        std::fwrite(&pixels[static_cast<std::size_t>(row) * width * 3], 1, static_cast<std::size_t>(width) * 3,
                    file.get());
}

void recordPasses(Samples& samples, const std::string& prefix)
{
    for (const PassSample& pass : passTimes())
        samples[prefix + "pass." + pass.name].push_back(pass.milliseconds);
}

// Frames as the game runs them.
void playBlock(Game& game, FrameScript& script, int frames, Samples& samples)
{
    for (int i = 0; i < frames; ++i) {
        script.beforeFrame();
        const long long wall = steadyNanoseconds();
        const long long thread = cpuNanoseconds(CLOCK_THREAD_CPUTIME_ID);
        const long long process = cpuNanoseconds(CLOCK_PROCESS_CPUTIME_ID);
        game.frame();
        samples["game.frame"].push_back(milliseconds(steadyNanoseconds() - wall));
        samples["game.cpu_thread"].push_back(milliseconds(cpuNanoseconds(CLOCK_THREAD_CPUTIME_ID) - thread));
        samples["game.cpu_process"].push_back(milliseconds(cpuNanoseconds(CLOCK_PROCESS_CPUTIME_ID) - process));
        samples["game.cakes"].push_back(static_cast<double>(thrownCakes.size()));
        samples["game.bursts"].push_back(static_cast<double>(particleSystems.size()));
        recordPasses(samples, "game.");
        script.afterFrame();
    }
}

// The same frames taken apart: the CPU time of update and drawFrame on the
// main thread, then the wait for the GL work, then the swap. The pass timer
// queries are off: they cost the main thread time of their own.
void splitBlock(Game& game, FrameScript& script, int frames, Samples& samples, Sampler* sampler,
                const std::string& picture)
{
    timePasses(false);
    for (int i = 0; i < frames; ++i) {
        script.beforeFrame();
        const long long start = steadyNanoseconds();
        const double dt = game.clock.tick(game.nextTime());
        // The window has the game's size: the loop does not clear it either.
        glfwPollEvents();
        if (sampler != nullptr)
            sampler->resume();
        const long long cpu0 = cpuNanoseconds(CLOCK_THREAD_CPUTIME_ID);
        const long long wall0 = steadyNanoseconds();
        frosk::update(dt);
        const long long cpu1 = cpuNanoseconds(CLOCK_THREAD_CPUTIME_ID);
        frosk::drawFrame();
        const long long cpu2 = cpuNanoseconds(CLOCK_THREAD_CPUTIME_ID);
        const long long wall2 = steadyNanoseconds();
        if (sampler != nullptr)
            sampler->pause();
        glFinish();
        const long long wall3 = steadyNanoseconds();
        if (i == frames / 2)
            savePicture(picture);
        glfwSwapBuffers(game.window);
        const long long wall4 = steadyNanoseconds();
        frosk::advanceLevel();
        samples["split.cpu_update"].push_back(milliseconds(cpu1 - cpu0));
        samples["split.cpu_draw"].push_back(milliseconds(cpu2 - cpu1));
        samples["split.cpu_total"].push_back(milliseconds(cpu2 - cpu0));
        samples["split.wall_submit"].push_back(milliseconds(wall2 - wall0));
        samples["split.wall_finish"].push_back(milliseconds(wall3 - wall2));
        samples["split.wall_swap"].push_back(milliseconds(wall4 - wall3));
        samples["split.frame"].push_back(milliseconds(steadyNanoseconds() - start));
        script.afterFrame();
    }
    timePasses(true);
}

// Every pass with nothing to draw: no level, no cakes, no bursts, no hand,
// no held cake; the same clears, full-screen passes, HUD and swap.
void floorBlock(Game& game, FrameScript& script, frosk::scene::Hand& hiddenHand, int frames, Samples& samples,
                const std::string& picture)
{
    // The held cake must be back in the hand and still, so it stays hidden.
    script.stop();
    for (int i = 0; i < 240 && !(frosk::cake->ready && !frosk::controller->charging); ++i)
        game.frame();
    game.clearFlight();
    delete frosk::level;
    frosk::level = new EmptyLevel(frosk::levelResources());
    frosk::scene::Hand* hand = frosk::hand;
    frosk::hand = &hiddenHand;
    frosk::cake->visible = false;
    // Nothing to stand on.
    frosk::controller->flying = true;

    for (int i = 0; i < frames; ++i) {
        game.input.moveCursor({-4.0, 0.0});
        const long long wall = steadyNanoseconds();
        const long long thread = cpuNanoseconds(CLOCK_THREAD_CPUTIME_ID);
        game.frame();
        samples["floor.frame"].push_back(milliseconds(steadyNanoseconds() - wall));
        samples["floor.cpu_thread"].push_back(milliseconds(cpuNanoseconds(CLOCK_THREAD_CPUTIME_ID) - thread));
        recordPasses(samples, "floor.");
    }
    // The back buffer after the last swap may be anything; draw one more.
    frosk::update(1.0 / 60.0);
    frosk::drawFrame();
    savePicture(picture);
    glfwSwapBuffers(game.window);

    frosk::hand = hand;
    frosk::cake->visible = true;
    frosk::controller->flying = false;
    delete frosk::level;
    frosk::level = new frosk::levels::Level1(frosk::levelResources());
    frosk::physics->setPlayerPosition(glm::dvec3(0.0, 3.0, 0.0));
}

double changeLevel(const std::string& status);

// Real play rather than stress: a cake or two in the air (the hand's own
// throws and one more launched whenever none is), a burst now and then, the
// same walk and turn, half the frames in the summer layout and half in the
// winter one. The level changes between the halves are not timed.
void realPlayBlock(Game& game, int frames, Samples& samples)
{
    // A burst about every second: one cake lands and bursts, the next flies.
    FrameScript script(game.input, 1, 60);
    for (int half = 0; half < 2; ++half) {
        for (int i = 0; i < frames / 2; ++i) {
            script.beforeFrame();
            const long long wall = steadyNanoseconds();
            const long long process = cpuNanoseconds(CLOCK_PROCESS_CPUTIME_ID);
            game.frame();
            samples["real.frame"].push_back(milliseconds(steadyNanoseconds() - wall));
            samples["real.cpu_process"].push_back(milliseconds(cpuNanoseconds(CLOCK_PROCESS_CPUTIME_ID) - process));
            samples["real.cakes"].push_back(static_cast<double>(thrownCakes.size()));
            samples["real.bursts"].push_back(static_cast<double>(particleSystems.size()));
            recordPasses(samples, "real.");
            script.afterFrame();
        }
        script.stop();
        game.clearFlight();
        changeLevel(frosk::GameState::won);
    }
}

template <typename Work>
double timed(Work work)
{
    const long long start = steadyNanoseconds();
    work();
    return milliseconds(steadyNanoseconds() - start);
}

double changeLevel(const std::string& status)
{
    frosk::gameState->status = status;
    return timed([] { frosk::advanceLevel(); });
}

// Level changes as the loop makes them, then the level constructors alone.
void levelBuilds(Game& game, Samples& samples)
{
    game.clearFlight();
    samples["level.change_1_to_2_cold"].push_back(changeLevel(frosk::GameState::won));
    samples["level.change_2_to_1"].push_back(changeLevel(frosk::GameState::won));
    samples["level.change_1_to_2"].push_back(changeLevel(frosk::GameState::won));
    samples["level.change_restart"].push_back(changeLevel(frosk::GameState::lost));

    const frosk::levels::LevelResources resources = frosk::levelResources();
    for (int i = 0; i < 3; ++i) {
        delete frosk::level;
        samples["level.build_1_warm"].push_back(
            timed([&] { frosk::level = new frosk::levels::Level1(resources); }));
        delete frosk::level;
        samples["level.build_2_warm"].push_back(
            timed([&] { frosk::level = new frosk::levels::Level2(resources); }));
    }
    // Every texture name gone, so the model loader's texture cache misses and
    // the images are decoded and uploaded again, as at the first build. The
    // run draws nothing after this.
    delete frosk::level;
    frosk::level = nullptr;
    std::vector<GLuint> names(1 << 16);
    for (std::size_t i = 0; i < names.size(); ++i)
        names[i] = static_cast<GLuint>(i + 1);
    glDeleteTextures(static_cast<GLsizei>(names.size()), names.data());
    samples["level.build_1_cold"].push_back(timed([&] { frosk::level = new frosk::levels::Level1(resources); }));
    delete frosk::level;
    glDeleteTextures(static_cast<GLsizei>(names.size()), names.data());
    samples["level.build_2_cold"].push_back(timed([&] { frosk::level = new frosk::levels::Level2(resources); }));
}

} // namespace

long long steadyNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

Samples runGameAtSize(const RunOptions& options, std::vector<std::string>& profile)
{
    Samples samples;
    const long long mainStart = steadyNanoseconds();
    if (!glfwInit())
        return samples;
    std::string failure;
    GLFWwindow* window = frosk::openWindow(Game::settingsFor(options), true, failure);
    if (window == nullptr) {
        glfwTerminate();
        return samples;
    }
    {
        const long long initStart = steadyNanoseconds();
        Game game(window, options);
        const long long initEnd = steadyNanoseconds();
        game.frame();
        const long long firstSwap = steadyNanoseconds();
        if (options.spawnedAt != 0)
            samples["startup.process_to_first_swap"].push_back(milliseconds(firstSwap - options.spawnedAt));
        samples["startup.main_to_first_swap"].push_back(milliseconds(firstSwap - mainStart));
        samples["startup.window"].push_back(milliseconds(initStart - mainStart));
        samples["startup.initialize"].push_back(milliseconds(initEnd - initStart));
        samples["startup.initialize_to_first_swap"].push_back(milliseconds(firstSwap - initStart));
        samples["startup.first_frame"].push_back(milliseconds(firstSwap - initEnd));

        timePasses(true);
        FrameScript script(game.input);
        bench::HiddenHand hiddenHand(frosk::toonTextureShader, frosk::bloomCoverShader, frosk::shadowMapping,
                                     frosk::toonShading, glm::mat4(1.0f));
        std::unique_ptr<Sampler> sampler;
        if (options.profile)
            sampler = std::make_unique<Sampler>();
        Samples warmUp;
        playBlock(game, script, 60, warmUp);
        for (int round = 0; round < options.rounds; ++round) {
            playBlock(game, script, options.frames, samples);
            const std::string prefix = round == 0 && !options.pictures.empty()
                                           ? options.pictures + "/" + std::to_string(options.width) + "x" +
                                                 std::to_string(options.height)
                                           : std::string();
            splitBlock(game, script, options.frames, samples, sampler.get(),
                       prefix.empty() ? prefix : prefix + "_game.ppm");
            floorBlock(game, script, hiddenHand, options.frames, samples,
                       prefix.empty() ? prefix : prefix + "_floor.ppm");
            realPlayBlock(game, options.frames, samples);
            playBlock(game, script, 30, warmUp);
        }
        samples["game.targets_left"].push_back(static_cast<double>(frosk::level->targets.size()));
        samples["game.cakes_launched"].push_back(script.launched);
        if (sampler) {
            profile = sampler->report(25);
            samples["profile.game_share"].push_back(sampler->gameShare());
        }
        timePasses(false);
        levelBuilds(game, samples);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    samples["memory.peak_rss_mib"].push_back(static_cast<double>(usage.ru_maxrss) / 1024.0);
    glfwDestroyWindow(window);
    glfwTerminate();
    return samples;
}

} // namespace bench
