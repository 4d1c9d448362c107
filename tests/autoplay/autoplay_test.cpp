// The autoplay tool run as a process on the real game, headless under the
// suite's X server: what it reports at the end is what the game's own state
// said when the run stopped.

#include <gtest/gtest.h>

#include <IL/il.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// The play is the same at any window size, and a quarter of the pixels makes
// the frames of these long runs much cheaper on a software rasteriser.
const std::string smallWindow = "--size 400x300";
// Thirty frames a second of game time instead of the tool's default sixty:
// the same throws, hits, losses and level changes in half the frames (a
// player on a software renderer sees fewer still).
const std::string halfTheFrames = "--dt 0.0333333";

struct ToolRun {
    int exitStatus = -1;
    std::string out;
    std::string err;
    std::map<std::string, std::string> summary;

    int number(const std::string& key) const
    {
        const auto found = summary.find(key);
        return found == summary.end() ? -1 : std::stoi(found->second);
    }
};

// Runs the tool from the runtime root (the working directory of the suite)
// and reads its summary line: "summary: key=value key=value ...".
ToolRun runAutoplay(const std::string& arguments)
{
    const fs::path errFile = fs::temp_directory_path() / ("autoplay_err_" + std::to_string(::getpid()));
    std::string command = "./crumbrise_autoplay " + arguments + " 2>" + errFile.string() + " </dev/null";
#ifdef CRUMBRISE_SANITIZED
    // Mesa's driver stays loaded until exit, so that the leak check at exit
    // can tell its allocations (suppressed) from the game's.
    command = "LD_PRELOAD=" CRUMBRISE_KEEP_MODULES " ASAN_OPTIONS=\"$ASAN_OPTIONS:verify_asan_link_order=0\" "
              "LSAN_OPTIONS=\"${LSAN_OPTIONS:-suppressions=" CRUMBRISE_SANITIZER_SUPPRESSIONS ":print_suppressions=0}\" "
            + command;
#endif
    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    std::array<char, 4096> buffer{};
    while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), pipe) != nullptr)
        run.out += buffer.data();
    const int status = pclose(pipe);
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream err(errFile);
    run.err.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
    fs::remove(errFile);

    std::istringstream lines(run.out);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("summary: ", 0) != 0)
            continue;
        std::cout << line << std::endl;
        std::istringstream words(line.substr(9));
        std::string word;
        while (words >> word) {
            const auto equals = word.find('=');
            if (equals != std::string::npos)
                run.summary[word.substr(0, equals)] = word.substr(equals + 1);
        }
    }
    return run;
}

std::string tail(const std::string& text)
{
    return text.size() > 3000 ? text.substr(text.size() - 3000) : text;
}

// What the sanitizers print when they find something.
bool sanitizerReport(const std::string& err)
{
    return err.find("ERROR: AddressSanitizer") != std::string::npos
        || err.find("ERROR: LeakSanitizer") != std::string::npos || err.find("runtime error:") != std::string::npos;
}

// Ended by itself with the goal reached, and nothing reported on the way.
void expectCleanRun(const ToolRun& run)
{
    ASSERT_FALSE(run.summary.empty()) << "no summary line; stdout:\n" << tail(run.out) << "\nstderr:\n" << tail(run.err);
    EXPECT_EQ(run.exitStatus, 0) << tail(run.out) << "\nstderr:\n" << tail(run.err);
    EXPECT_EQ(run.summary.at("goal"), "reached");
    EXPECT_FALSE(sanitizerReport(run.err)) << tail(run.err);
}

} // namespace

#ifndef CRUMBRISE_SANITIZED

TEST(Autoplay, WinsTheFirstTwoLevelsAndReachesTheThirdWithTheScoreCarriedOver)
{
    ToolRun run = runAutoplay("--levels 3 --check-leaks " + smallWindow + " " + halfTheFrames);
    expectCleanRun(run);
    EXPECT_EQ(run.number("levels_won"), 2);
    EXPECT_EQ(run.number("losses"), 0);
    EXPECT_EQ(run.number("level"), 3);
    EXPECT_EQ(run.number("score"), 2000) << "ten hits of 100 in each of the two levels won";
    EXPECT_GE(run.number("hits"), 20);
    // Twenty cakes in the first level and eighteen in the second.
    EXPECT_LE(run.number("cakes_thrown"), 38);
    EXPECT_EQ(run.number("leak_failures"), 0);
    EXPECT_EQ(run.number("leak_checks"), 3) << "the start and each of the two level changes";
}

TEST(Autoplay, ThrowingEveryCakeAwayLosesAndStartsLevelOneAgainWithNoScore)
{
    const fs::path shots = fs::temp_directory_path() / ("autoplay_shots_" + std::to_string(::getpid()));
    fs::remove_all(shots);
    ToolRun run = runAutoplay("--lose --check-leaks " + smallWindow + " " + halfTheFrames + " --screenshots " +
                              shots.string() + " --every 1000");
    expectCleanRun(run);
    EXPECT_EQ(run.number("losses"), 1);
    EXPECT_EQ(run.number("levels_won"), 0);
    EXPECT_EQ(run.number("level"), 1);
    EXPECT_EQ(run.number("score"), 0);
    EXPECT_EQ(run.number("hits"), 0);
    EXPECT_EQ(run.number("cakes_thrown"), 20) << "the loss comes when the last of the twenty cakes has landed";
    EXPECT_EQ(run.number("leak_failures"), 0);

    // The frame that says "GAME OVER !" is on file, window-sized and not blank.
    fs::path loss;
    int periodic = 0;
    for (const auto& entry : fs::directory_iterator(shots)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("loss_", 0) == 0)
            loss = entry.path();
        else if (name.rfind("frame_", 0) == 0)
            ++periodic;
    }
    EXPECT_EQ(periodic, run.number("frames") / 1000);
    ASSERT_FALSE(loss.empty()) << "no picture of the loss frame in " << shots;
    ilInit();
    const ILuint image = ilGenImage();
    ilBindImage(image);
    ASSERT_EQ(ilLoadImage(loss.c_str()), IL_TRUE);
    // The window's size is the one asked for, not config.conf's.
    EXPECT_EQ(ilGetInteger(IL_IMAGE_WIDTH), 400);
    EXPECT_EQ(ilGetInteger(IL_IMAGE_HEIGHT), 300);
    ilConvertImage(IL_RGB, IL_UNSIGNED_BYTE);
    const ILubyte* pixels = ilGetData();
    const int count = ilGetInteger(IL_IMAGE_WIDTH) * ilGetInteger(IL_IMAGE_HEIGHT);
    std::map<int, int> colours;
    for (int i = 0; i < count; ++i)
        ++colours[(pixels[3 * i] << 16) | (pixels[3 * i + 1] << 8) | pixels[3 * i + 2]];
    EXPECT_GT(colours.size(), 500u) << "the picture should show the landscape and the HUD";
    ilDeleteImage(image);
    fs::remove_all(shots);
}

#endif

// Several level changes, won and lost, with the leak checks after each, in
// the sanitizer build: any report of a bad access, undefined behaviour or a
// leak at exit fails the run. (The normal build's win and lose runs above
// make the same checks over fewer level changes.)
#ifdef CRUMBRISE_SANITIZED
TEST(AutoplaySoak, LevelChangesLeaveNoBodiesGlObjectsOrSanitizerReportsBehind)
{
    ToolRun run = runAutoplay("--plan win,lose,win --check-leaks --frames 6000 " + smallWindow + " " + halfTheFrames);
    expectCleanRun(run);
    EXPECT_GE(run.number("frames"), 2500);
    // Each layout is torn down between two checks of the other, so what
    // either leaves behind shows.
    EXPECT_EQ(run.number("leak_checks"), 4) << "the start and each of the three level changes";
    EXPECT_EQ(run.number("leak_failures"), 0);
    EXPECT_EQ(run.number("levels_won"), 2);
    EXPECT_EQ(run.number("losses"), 1);
    EXPECT_GT(run.number("hits"), 0);
    EXPECT_GT(run.number("rests"), 0);
    // The loss in the second level reset the score; the win after it counts.
    EXPECT_EQ(run.number("level"), 2);
    EXPECT_EQ(run.number("score"), 1000);
}
#endif

TEST(Autoplay, RefusesAnUnknownOptionWithItsUsage)
{
    ToolRun run = runAutoplay("--levels 1");
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.err.find("--levels takes a level number"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("usage: crumbrise_autoplay"), std::string::npos);
    EXPECT_TRUE(run.summary.empty());

    for (const char* size : {"--size 10x10", "--size 400", "--size 400x300x2"}) {
        ToolRun bad = runAutoplay(size);
        EXPECT_EQ(bad.exitStatus, 1) << size;
        EXPECT_NE(bad.err.find("--size takes a window size"), std::string::npos) << size << ": " << bad.err;
    }
}
