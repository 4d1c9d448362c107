// Frame benchmark: the whole game on a real window, a scripted round through
// the first level with twenty cakes in the air and bursts going off (stress),
// then real play through both layouts with a cake or two in the air, at
// 1280x720 and 800x600. Each size runs in a fresh process, so start-up is
// measured cold; the parent gathers the results and prints the tables.
//
// Run from the runtime root inside an X server, for example
//   xvfb-run -a -s "-screen 0 1280x720x24" ../tools/bench/crumbrise_frame_bench
// Options: --frames N (frames per block, 300), --rounds N (2),
//          --size WxH (only this size; may repeat), --profile (sample where
//          the main thread's CPU time goes in update and drawFrame),
//          --pictures DIR (save a game frame and an empty-scene frame as PPM).

#include "frame_run.h"
#include "frame_stats.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

using bench::Samples;
using bench::Summary;

struct Size {
    int width;
    int height;
};

bool parseSize(const char* text, Size& size)
{
    return std::sscanf(text, "%dx%d", &size.width, &size.height) == 2 && size.width > 0 && size.height > 0;
}

std::string sizeName(const Size& size)
{
    return std::to_string(size.width) + "x" + std::to_string(size.height);
}

// The child's side: one size, results as "@ name value value ..." lines.
int runChild(const bench::RunOptions& options)
{
    std::vector<std::string> profile;
    const Samples samples = bench::runGameAtSize(options, profile);
    if (samples.empty()) {
        std::fprintf(stderr, "no OpenGL 3.3 window of %dx%d (is DISPLAY an X server?)\n", options.width,
                     options.height);
        return 1;
    }
    std::ostringstream out;
    out.precision(9);
    for (const auto& [name, values] : samples) {
        out << "@ " << name;
        for (double value : values)
            out << ' ' << value;
        out << '\n';
    }
    for (const std::string& line : profile)
        out << "# " << line << '\n';
    std::cout << out.str() << std::flush;
    return 0;
}

// Runs this program again for one size and reads back its samples.
bool runSize(const Size& size, int frames, int rounds, bool profile, const std::string& pictures,
             Samples& samples, std::vector<std::string>& notes)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);

    const std::string spawnedAt = std::to_string(bench::steadyNanoseconds());
    std::vector<std::string> arguments = {"crumbrise_frame_bench", "--child",  sizeName(size),
                                          std::to_string(frames),  std::to_string(rounds), spawnedAt,
                                          profile ? "1" : "0",     pictures.empty() ? "-" : pictures};
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    const int failed = posix_spawn(&child, "/proc/self/exe", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (failed != 0) {
        close(pipeEnds[0]);
        return false;
    }

    std::string output;
    char buffer[65536];
    for (ssize_t got; (got = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, static_cast<std::size_t>(got));
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);

    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("# ", 0) == 0)
            notes.push_back(line.substr(2));
        if (line.rfind("@ ", 0) != 0)
            continue;
        std::istringstream fields(line.substr(2));
        std::string name;
        fields >> name;
        std::vector<double>& values = samples[name];
        for (double value; fields >> value;)
            values.push_back(value);
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && !samples.empty();
}

Summary of(const Samples& samples, const std::string& name)
{
    const auto found = samples.find(name);
    return found == samples.end() ? Summary() : bench::summarize(found->second);
}

double first(const Samples& samples, const std::string& name)
{
    const auto found = samples.find(name);
    return found == samples.end() || found->second.empty() ? 0.0 : found->second.front();
}

const char* verdict(bool met)
{
    return met ? "met" : "MISSED";
}

void printFrameTable(const std::string& size, const Samples& s)
{
    std::printf("\n== %s ==\n", size.c_str());
    std::printf("%-34s %8s %8s %8s %10s\n", "frame time (wall, ms)", "median", "p99", "max", "1% low fps");
    const struct {
        const char* label;
        const char* name;
    } rows[] = {{"stress: runFrame", "game.frame"},
                {"stress: steps + glFinish", "split.frame"},
                {"render floor: empty scene", "floor.frame"},
                {"real play: runFrame", "real.frame"}};
    for (const auto& row : rows) {
        const Summary t = of(s, row.name);
        std::printf("%-34s %8.2f %8.2f %8.2f %10.1f\n", row.label, t.median, t.p99, t.max, t.onePercentLowFps);
    }
    const Summary game = of(s, "game.frame"), floor = of(s, "floor.frame");
    if (floor.median > 0.0)
        std::printf("frame / floor: median %.2f, p99 %.2f (game p99 / floor median %.2f)\n",
                    game.median / floor.median, game.p99 / floor.p99, game.p99 / floor.median);
    std::printf("stress: %.1f cakes, %.1f bursts on average (%d launched by the script, %d targets left)\n",
                of(s, "game.cakes").mean, of(s, "game.bursts").mean, static_cast<int>(first(s, "game.cakes_launched")),
                static_cast<int>(first(s, "game.targets_left")));
    std::printf("real play: %.1f cakes, %.1f bursts on average, both layouts; all threads' CPU %.2f ms median\n",
                of(s, "real.cakes").mean, of(s, "real.bursts").mean, of(s, "real.cpu_process").median);

    std::printf("%-34s %8s %8s\n", "CPU per frame (ms)", "median", "p99");
    const struct {
        const char* label;
        const char* name;
    } cpu[] = {{"main thread: update()", "split.cpu_update"},
               {"main thread: drawFrame()", "split.cpu_draw"},
               {"main thread: update + drawFrame", "split.cpu_total"},
               {"wall: update + drawFrame", "split.wall_submit"},
               {"wall: glFinish after them", "split.wall_finish"},
               {"wall: swap", "split.wall_swap"},
               {"main thread: whole runFrame", "game.cpu_thread"},
               {"all threads: whole runFrame", "game.cpu_process"},
               {"main thread: runFrame, floor", "floor.cpu_thread"}};
    for (const auto& row : cpu) {
        const Summary t = of(s, row.name);
        std::printf("%-34s %8.3f %8.3f\n", row.label, t.median, t.p99);
    }

    if (s.count("profile.game_share") != 0) {
        const Summary total = of(s, "split.cpu_total");
        const double share = first(s, "profile.game_share");
        std::printf("%-34s %8.3f %8.3f   (%.1f%% of the samples; the rest is the GL driver)\n",
                    "  of which the game's own code", share * total.median, share * total.p99, 100.0 * share);
    }
    std::printf("%-14s %10s %10s %10s %10s %10s %10s\n", "GL pass (ms)", "stress med", "stress p99", "floor med",
                "floor p99", "real med", "real p99");
    for (const char* pass : {"shadow", "glow", "blur", "scene", "composite", "overlay"}) {
        const Summary g = of(s, std::string("game.pass.") + pass), f = of(s, std::string("floor.pass.") + pass),
                      r = of(s, std::string("real.pass.") + pass);
        std::printf("%-14s %10.2f %10.2f %10.2f %10.2f %10.2f %10.2f\n", pass, g.median, g.p99, f.median, f.p99,
                    r.median, r.p99);
    }
}

void printStartTable(const std::vector<std::pair<std::string, Samples>>& runs)
{
    std::printf("\n== start-up, level changes, memory (ms unless stated) ==\n%-40s", "");
    for (const auto& run : runs)
        std::printf(" %10s", run.first.c_str());
    std::printf("\n");
    const struct {
        const char* label;
        const char* name;
        bool median;
    } rows[] = {{"process start -> first swap", "startup.process_to_first_swap", false},
                {"  window + GL context", "startup.window", false},
                {"  initialize()", "startup.initialize", false},
                {"  first frame", "startup.first_frame", false},
                {"initialize() -> first swap", "startup.initialize_to_first_swap", false},
                {"level change 1 -> 2, first Level2", "level.change_1_to_2_cold", false},
                {"level change 2 -> 1", "level.change_2_to_1", false},
                {"level change 1 -> 2", "level.change_1_to_2", false},
                {"level change, restart at 1", "level.change_restart", false},
                {"build Level1, cold textures", "level.build_1_cold", false},
                {"build Level1, warm (median of 3)", "level.build_1_warm", true},
                {"build Level2, cold textures", "level.build_2_cold", false},
                {"build Level2, warm (median of 3)", "level.build_2_warm", true},
                {"peak RSS (MiB)", "memory.peak_rss_mib", false}};
    for (const auto& row : rows) {
        std::printf("%-40s", row.label);
        for (const auto& run : runs)
            std::printf(" %10.1f", row.median ? of(run.second, row.name).median : first(run.second, row.name));
        std::printf("\n");
    }
}

void printTargets(const std::vector<std::pair<std::string, Samples>>& runs)
{
    std::printf("\n== targets ==\n");
    for (const auto& [size, s] : runs) {
        const Summary game = of(s, "game.frame"), floor = of(s, "floor.frame");
        const Summary cpu = of(s, "split.cpu_total");
        double change = 0.0;
        for (const char* name : {"level.change_1_to_2_cold", "level.change_2_to_1", "level.change_1_to_2",
                                 "level.change_restart"})
            change = std::max(change, first(s, name));
        std::printf("%s: frame p99 %.2f <= 1.3 x floor p99 %.2f: %s; main-thread CPU median %.3f < 0.5: %s; "
                    "p99 %.3f < 2: %s;",
                    size.c_str(), game.p99, 1.3 * floor.p99, verdict(game.p99 <= 1.3 * floor.p99), cpu.median,
                    verdict(cpu.median < 0.5), cpu.p99, verdict(cpu.p99 < 2.0));
        if (s.count("profile.game_share") != 0) {
            const double share = first(s, "profile.game_share");
            std::printf(" the game's own code: median %.3f: %s, p99 %.3f: %s;", share * cpu.median,
                        verdict(share * cpu.median < 0.5), share * cpu.p99, verdict(share * cpu.p99 < 2.0));
        }
        std::printf(" start-up %.0f < 1000: %s; slowest level change %.0f < 150: %s\n",
                    first(s, "startup.process_to_first_swap"),
                    verdict(first(s, "startup.process_to_first_swap") < 1000.0), change, verdict(change < 150.0));
    }
}

} // namespace

int main(int argc, char** argv)
{
    // No sound card here: OpenAL's silent device, unless told otherwise; and
    // frames as fast as they come, not one per screen refresh.
    setenv("ALSOFT_DRIVERS", "null", 0);
    setenv("CRUMBRISE_VSYNC", "0", 0);

    if (argc == 8 && std::strcmp(argv[1], "--child") == 0) {
        bench::RunOptions options;
        Size size{};
        if (!parseSize(argv[2], size))
            return 2;
        options.width = size.width;
        options.height = size.height;
        options.frames = std::atoi(argv[3]);
        options.rounds = std::atoi(argv[4]);
        options.spawnedAt = std::atoll(argv[5]);
        options.profile = std::strcmp(argv[6], "1") == 0;
        if (std::strcmp(argv[7], "-") != 0)
            options.pictures = argv[7];
        return runChild(options);
    }

    int frames = 300;
    int rounds = 2;
    bool profile = false;
    std::string pictures;
    std::vector<Size> sizes;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        Size size{};
        if (option == "--frames" && i + 1 < argc)
            frames = std::max(1, std::atoi(argv[++i]));
        else if (option == "--rounds" && i + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++i]));
        else if (option == "--profile")
            profile = true;
        else if (option == "--pictures" && i + 1 < argc)
            pictures = argv[++i];
        else if (option == "--size" && i + 1 < argc && parseSize(argv[i + 1], size)) {
            sizes.push_back(size);
            ++i;
        } else {
            std::fprintf(stderr, "usage: %s [--frames N] [--rounds N] [--size WxH]... [--profile] [--pictures DIR]\n", argv[0]);
            return 2;
        }
    }
    if (sizes.empty())
        sizes = {{1280, 720}, {800, 600}};

    std::printf("frame benchmark: %d rounds of %d frames each of stress play, stress taken apart, empty scene, "
                "real play\n", rounds,
                frames);
    std::vector<std::pair<std::string, Samples>> runs;
    for (const Size& size : sizes) {
        Samples samples;
        std::vector<std::string> notes;
        if (!runSize(size, frames, rounds, profile, pictures, samples, notes)) {
            std::fprintf(stderr, "the run at %s failed\n", sizeName(size).c_str());
            return 1;
        }
        printFrameTable(sizeName(size), samples);
        if (!notes.empty())
            std::printf("profile of update + drawFrame on the main thread:\n");
        for (const std::string& note : notes)
            std::printf("  %s\n", note.c_str());
        std::fflush(stdout);
        runs.emplace_back(sizeName(size), std::move(samples));
    }
    printStartTable(runs);
    printTargets(runs);
    return 0;
}
