#include "support/process.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

// The game a player starts: the real binary, run from a copy of the runtime
// root under the test's X server, judged by its window, output and exit status.
namespace {

using testsupport::GameProcess;
using testsupport::RuntimeCopy;

// Start-up of a full level takes a while on a CPU renderer.
constexpr double startupSeconds = 60.0;

bool endsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(GameBinary, OpensItsWindowRunsAndEndsWithEscape)
{
    RuntimeCopy runtime("escape");
    GameProcess game(runtime.path());
    const unsigned long window = game.waitForWindow("Crumbrise", startupSeconds);
    ASSERT_NE(window, 0u) << "no window titled Crumbrise; output:\n" << game.finish(5).out;
    game.holdKey("Escape", 30);
    const testsupport::GameResult result = game.finish(30);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
}

// The loudest sample of a WAV file the sound library's wave writer made; -1
// when there is no such file.
float loudest(const std::string& path)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr)
        return -1.0f;
    std::vector<float> samples(4096);
    float peak = 0.0f;
    sf_count_t read = 0;
    while ((read = sf_read_float(file, samples.data(), static_cast<sf_count_t>(samples.size()))) > 0)
        for (sf_count_t i = 0; i < read; ++i)
            peak = std::max(peak, std::fabs(samples[static_cast<std::size_t>(i)]));
    sf_close(file);
    return peak;
}

// A window's picture as the X server shows it, RGB rows from the top.
struct Picture {
    Picture(unsigned long window, int width, int height)
        : width(width), rgb(testsupport::windowPicture(window, width, height))
    {
    }
    const unsigned char* at(int x, int y) const { return &rgb[static_cast<std::size_t>((y * width + x) * 3)]; }

    int width = 0;
    std::vector<unsigned char> rgb;
};

struct Box {
    int left, top, right, bottom;
};
// At 800x600: the whole window, the middle of the screen where "PAUSED" shows.
constexpr Box wholeWindow{0, 0, 800, 600};
constexpr Box middle{250, 260, 550, 340};
// At 1280x720: the bottom-right corner, where the frame rate shows.
constexpr Box frameRate{1000, 650, 1280, 720};

int differingPixels(const Picture& a, const Picture& b, const Box& box)
{
    int count = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            count += std::equal(a.at(x, y), a.at(x, y) + 3, b.at(x, y)) ? 0 : 1;
    return count;
}

// Pixels of the HUD's black text in the box.
int blackPixels(const Picture& picture, const Box& box)
{
    int count = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x) {
            const unsigned char* rgb = picture.at(x, y);
            count += (rgb[0] + rgb[1] + rgb[2] < 40) ? 1 : 0;
        }
    return count;
}

void focusWindow(unsigned long window)
{
    ASSERT_EQ(std::system(("xdotool windowfocus --sync " + std::to_string(window)).c_str()), 0);
}

void wait(double seconds)
{
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

// Reads the box's black pixels until `accept` takes the count or `seconds`
// pass, and returns the last count: a loaded machine (a sanitizer build
// beside other tests) may take far longer than a second for a frame.
template <class Accept>
int waitForBlackPixels(unsigned long window, const Box& box, Accept accept, double seconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    int count = blackPixels(Picture(window, 1280, 720), box);
    while (!accept(count) && std::chrono::steady_clock::now() < end) {
        wait(0.25);
        count = blackPixels(Picture(window, 1280, 720), box);
    }
    return count;
}

// Taps as a player makes them and xdotool sends them (down and up about
// 12 ms apart), at 1280x720, where a frame on the CPU renderer takes several
// times as long: a click between two frames throws, a tap of F2 shows the
// frame rate and the next hides it, a tap of Escape ends the game. Without the
// level's music the only sound is the throw's (and the landing's), which the
// wave writer keeps for the test to hear.
TEST(GameBinary, EachQuickTapOrClickCountsOnce)
{
    RuntimeCopy runtime("taps");
    runtime.write("config.conf", "resolutionx = 1280\nresolutiony = 720\n");
    runtime.remove("Sounds/GoGoNaruto.wav");
    runtime.write("alsoft.conf", "[wave]\nfile=" + runtime.path("heard.wav") + "\n");
    GameProcess game(runtime.path(), {{"ALSOFT_DRIVERS", "wave"}, {"ALSOFT_CONF", runtime.path("alsoft.conf")}});
    const unsigned long window = game.waitForWindow("Crumbrise", startupSeconds);
    ASSERT_NE(window, 0u) << game.finish(5).out;
    ASSERT_TRUE(game.waitForOutput("alutLoadWAVFile: ", 1, startupSeconds)) << game.finish(5).out;
    ASSERT_FALSE(testsupport::waitForDrawnPicture(window, 1280, 720, startupSeconds).empty()) << game.finish(5).out;

    ASSERT_EQ(std::system("xdotool click 1"), 0);
    wait(2.0);
    // Looking straight up, the frame rate's corner is all sky: its black text
    // is all that can be black there (the scenery's outlines are black too).
    ASSERT_EQ(std::system("xdotool mousemove_relative -- 0 -500"), 0);
    const int hidden = waitForBlackPixels(window, frameRate, [](int black) { return black < 100; }, 30.0);
    ASSERT_LT(hidden, 100) << "looking straight up, the corner should be all sky";
    ASSERT_EQ(std::system("xdotool key F2"), 0);
    const int shown = waitForBlackPixels(window, frameRate, [&](int black) { return black > hidden + 200; }, 30.0);
    EXPECT_GT(shown, hidden + 200) << "one tap of F2 shows the frame rate; black pixels " << hidden << " before";
    // Counted twice, the text would show for a frame and go again.
    wait(1.5);
    const int stillShown = blackPixels(Picture(window, 1280, 720), frameRate);
    EXPECT_GT(stillShown, hidden + 200) << "the frame rate stays shown after one tap";
    ASSERT_EQ(std::system("xdotool key F2"), 0);
    const int hiddenAgain =
        waitForBlackPixels(window, frameRate, [&](int black) { return black < stillShown - 200; }, 30.0);
    EXPECT_LT(hiddenAgain, stillShown - 200) << "the next tap hides it; black pixels " << stillShown << " shown";
    wait(1.5);
    EXPECT_LT(blackPixels(Picture(window, 1280, 720), frameRate), stillShown - 200) << "and it stays hidden";
    ASSERT_EQ(std::system("xdotool key Escape"), 0);
    const testsupport::GameResult result = game.finish(30);
    EXPECT_FALSE(result.timedOut) << "one tap of Escape did not end the game";
    EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
    EXPECT_GT(loudest(runtime.path("heard.wav")), 0.01f) << "the click threw no cake: nothing was heard";
}

// Another client's window takes the focus and gives it back, as a player
// switching windows does; the test reads the game's window from the X server.
TEST(GameBinary, LosingTheFocusPausesTheGameAndGettingItBackGoesOn)
{
    RuntimeCopy runtime("pause");
    GameProcess game(runtime.path());
    const unsigned long window = game.waitForWindow("Crumbrise", startupSeconds);
    ASSERT_NE(window, 0u) << game.finish(5).out;
    testsupport::OtherClientWindow other;
    ASSERT_NE(other.id(), 0u);
    ASSERT_FALSE(testsupport::waitForDrawnPicture(window, 800, 600, startupSeconds).empty()) << game.finish(5).out;
    wait(1.0);
    const Picture playing(window, 800, 600);

    focusWindow(other.id());
    wait(1.5);
    const Picture paused(window, 800, 600);
    wait(2.5);
    const Picture stillPaused(window, 800, 600);
    EXPECT_EQ(differingPixels(paused, stillPaused, wholeWindow), 0)
        << "while another window has the focus nothing moves, the clock included";
    EXPECT_GT(blackPixels(paused, middle), blackPixels(playing, middle) + 300) << "PAUSED in the middle";

    focusWindow(window);
    wait(2.5);
    const Picture resumed(window, 800, 600);
    EXPECT_GT(differingPixels(stillPaused, resumed, wholeWindow), 0) << "with the focus back the world moves on";
    EXPECT_LT(blackPixels(resumed, middle), blackPixels(paused, middle) - 300) << "PAUSED is gone";

    // Paused again, Escape sent to the game's window still ends the game.
    focusWindow(other.id());
    wait(1.0);
    ASSERT_EQ(std::system(("xdotool key --window " + std::to_string(window) + " Escape").c_str()), 0);
    const testsupport::GameResult result = game.finish(30);
    EXPECT_FALSE(result.timedOut) << "Escape while paused did not end the game";
    EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
}

// The left button held down: the hand winds up and the throw is charging
// when the player quits, by Escape or by closing the window.
TEST(GameBinary, EndsCleanlyInTheMiddleOfAThrow)
{
    for (const bool byEscape : {true, false}) {
        RuntimeCopy runtime(byEscape ? "throw-escape" : "throw-close");
        GameProcess game(runtime.path());
        const unsigned long window = game.waitForWindow("Crumbrise", startupSeconds);
        ASSERT_NE(window, 0u) << game.finish(5).out;
        GameProcess::mouseButton(1, true);
        // Frames go by with the button down: the throw charges.
        std::this_thread::sleep_for(std::chrono::seconds(2));
        if (byEscape)
            game.holdKey("Escape", 30);
        else
            game.requestClose(window);
        const testsupport::GameResult result = game.finish(30);
        GameProcess::mouseButton(1, false);
        EXPECT_FALSE(result.timedOut) << (byEscape ? "Escape" : "close");
        EXPECT_EQ(result.exitStatus, 0) << (byEscape ? "Escape: " : "close: ") << result.out << result.err;
    }
}

// Every cake thrown at the ground in front: once the last has come to rest
// the game is lost and level 1 is built anew, and the player quits right then.
// Without its music file each build of level 1 says so on the output, which
// tells the test when the change has begun.
void quitDuringALevelChange(bool byEscape)
{
    RuntimeCopy runtime(byEscape ? "change-escape" : "change-close");
    // A small window keeps frames short of the long-frame limit, past which
    // the hand's wind-up and reload stand still and no second cake comes.
    // The test waits on the game's clock for most of a minute: thirty frames
    // a second leave the processor to the tests beside it.
    runtime.write("config.conf", "resolutionx = 320\nresolutiony = 240\nmaxfps = 30\n");
    runtime.remove("Sounds/GoGoNaruto.wav");
    GameProcess game(runtime.path());
    const unsigned long window = game.waitForWindow("Crumbrise", startupSeconds);
    ASSERT_NE(window, 0u) << game.finish(5).out;
    const std::string levelBuilt = "alutLoadWAVFile: ";
    ASSERT_TRUE(game.waitForOutput(levelBuilt, 1, startupSeconds)) << game.finish(5).out;

    // Twenty cakes, one each time the hand is back; presses with no cake
    // ready or none left do nothing, so the test throws until the change.
    const auto start = std::chrono::steady_clock::now();
    bool changed = false;
    while (!changed && game.running() && std::chrono::steady_clock::now() - start < std::chrono::seconds(150)) {
        GameProcess::mouseButton(1, true);
        changed = game.waitForOutput(levelBuilt, 2, 0.3);
        GameProcess::mouseButton(1, false);
        changed = changed || game.waitForOutput(levelBuilt, 2, 0.7);
    }
    ASSERT_TRUE(changed) << "no loss and new level 1 after throwing every cake; output:\n" << game.finish(5).out;

    if (byEscape)
        game.holdKey("Escape", 30);
    else
        game.requestClose(window);
    const testsupport::GameResult result = game.finish(30);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
}

TEST(GameBinary, EndsWithEscapeDuringALevelChange)
{
    quitDuringALevelChange(true);
}

TEST(GameBinary, EndsWhenClosedDuringALevelChange)
{
    quitDuringALevelChange(false);
}

TEST(GameBinary, EndsWhenItsWindowIsClosed)
{
    RuntimeCopy runtime("close");
    GameProcess game(runtime.path());
    const unsigned long window = game.waitForWindow("Crumbrise", startupSeconds);
    ASSERT_NE(window, 0u) << game.finish(5).out;
    game.requestClose(window);
    const testsupport::GameResult result = game.finish(30);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
}

TEST(GameBinary, ReadsThePlayersConfigFileOrTheFoldersOrSaysItIsMissing)
{
    RuntimeCopy runtime("config");
    runtime.write("config.conf", "resolutionx = 640\nresolutiony = 480\n");
    // A missing shader ends the game right after the configuration is read.
    runtime.remove("Shader/texture.vert");
    testsupport::GameResult result = testsupport::runGame(runtime.path(), 30);
    EXPECT_EQ(result.out.rfind("Configfile: \"config.conf\"\nResolutionx: 640\nResolutiony: 480\n", 0), 0u)
        << result.out;

    // The player's own file comes first.
    const std::string configHome = runtime.path("home config");
    std::filesystem::create_directories(configHome + "/crumbrise");
    runtime.write("home config/crumbrise/config.conf", "resolutionx = 320\n");
    result = testsupport::runGame(runtime.path(), 30, {{"XDG_CONFIG_HOME", configHome}});
    EXPECT_EQ(result.out.rfind("Configfile: \"" + configHome + "/crumbrise/config.conf\"\nResolutionx: 320\n", 0), 0u)
        << result.out;

    runtime.remove("config.conf");
    result = testsupport::runGame(runtime.path(), 30);
    EXPECT_EQ(result.out.rfind("Configfile: \"config.conf\" not found\n", 0), 0u) << result.out;
}

TEST(GameBinary, MissingShaderFileIsFatalWithItsPath)
{
    RuntimeCopy runtime("missing-shader");
    runtime.remove("Shader/bloomcover.frag");
    const testsupport::GameResult result = testsupport::runGame(runtime.path(), 30);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitStatus, 255);
    EXPECT_TRUE(endsWith(result.out, "Failed to open shader file: Shader/bloomcover.frag\n")) << result.out;
}

TEST(GameBinary, EmptyShaderFailsToCompileWithTheDriversLog)
{
    RuntimeCopy runtime("empty-shader");
    runtime.write("Shader/heaven.frag", "");
    const testsupport::GameResult result = testsupport::runGame(runtime.path(), 30);
    EXPECT_EQ(result.exitStatus, 255);
    const size_t at = result.out.find("Failed to compile shader\n");
    ASSERT_NE(at, std::string::npos) << result.out;
    EXPECT_GT(result.out.size(), at + 26) << "the compile log follows the message";
    EXPECT_EQ(result.out.find("Failed to open"), std::string::npos);
}

TEST(GameBinary, BrokenShaderFailsToCompile)
{
    RuntimeCopy runtime("broken-shader");
    runtime.write("Shader/2d.vert", "#version 330 core\nvoid main() { gl_Position = undefinedThing; }\n");
    const testsupport::GameResult result = testsupport::runGame(runtime.path(), 30);
    EXPECT_EQ(result.exitStatus, 255);
    EXPECT_NE(result.out.find("Failed to compile shader\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("undefinedThing"), std::string::npos) << "the log names the fault:\n" << result.out;
}

TEST(GameBinary, ShadersThatDoNotFitTogetherFailToLink)
{
    RuntimeCopy runtime("unlinkable-shader");
    // Compiles on its own, but a program needs a main() in every stage.
    runtime.write("Shader/text_render.frag",
                  "#version 330 core\nout vec4 fragColor;\nvoid shade() { fragColor = vec4(1.0); }\n");
    const testsupport::GameResult result = testsupport::runGame(runtime.path(), 30);
    EXPECT_EQ(result.exitStatus, 255);
    EXPECT_NE(result.out.find("Failed to link shader program\n"), std::string::npos) << result.out;
}

} // namespace

namespace {

using testsupport::GameProcess;
using testsupport::RuntimeCopy;

constexpr double loadSeconds = 60.0;

void expectFatal(const testsupport::GameResult& result)
{
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitStatus, 255) << result.out << result.err;
}

TEST(GameBinaryData, UnreadableModelsAreFatalWithTheImportersReason)
{
    {
        RuntimeCopy runtime("missing-model");
        runtime.remove("Models/heaven.dae");
        const testsupport::GameResult result = testsupport::runGame(runtime.path(), loadSeconds);
        expectFatal(result);
        const size_t at = result.out.find("Failed to open Model\n");
        ASSERT_NE(at, std::string::npos) << result.out;
        EXPECT_NE(result.out.find("Models/heaven.dae", at), std::string::npos) << result.out;
    }
    {
        RuntimeCopy runtime("garbage-model");
        runtime.write("Models/heaven.dae", std::string("\x7f\x00garbage that is no scene\xff", 28));
        const testsupport::GameResult result = testsupport::runGame(runtime.path(), loadSeconds);
        expectFatal(result);
        EXPECT_NE(result.out.find("Failed to open Model\n"), std::string::npos) << result.out;
    }
    {
        // Cut in the middle of an element: the XML reader must refuse, not read on.
        RuntimeCopy runtime("truncated-model");
        runtime.write("Models/cakeTex_1.dae",
                      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                      "<COLLADA xmlns=\"http://www.collada.org/2005/11/COLLADASchema\" version=\"1.4.1\">\n"
                      "  <library_geometries><geometry id=\"g\"><mesh><source id=\"p\"><float_array id=\"a\" count=\"9\">0 0 0 1");
        const testsupport::GameResult result = testsupport::runGame(runtime.path(), loadSeconds);
        expectFatal(result);
        const bool reported = result.out.find("Failed to open Model\n") != std::string::npos ||
                              result.out.find("The file wasn't successfully opened: Models/cakeTex_1.dae\n") !=
                                  std::string::npos;
        EXPECT_TRUE(reported) << result.out;
    }
}

TEST(GameBinaryData, MissingOrBrokenFontIsFatal)
{
    {
        RuntimeCopy runtime("missing-font");
        runtime.remove("Fonts/CantoraOne-Regular.ttf");
        const testsupport::GameResult result = testsupport::runGame(runtime.path(), loadSeconds);
        expectFatal(result);
        EXPECT_NE(result.out.find("Freetype Error - Can not load font\n"), std::string::npos) << result.out;
    }
    {
        RuntimeCopy runtime("broken-font");
        runtime.write("Fonts/CantoraOne-Regular.ttf", std::string(64, '\x01'));
        const testsupport::GameResult result = testsupport::runGame(runtime.path(), loadSeconds);
        expectFatal(result);
        EXPECT_NE(result.out.find("Freetype Error"), std::string::npos) << result.out;
    }
}

// Starts the game, expects its window, ends it with Escape and returns what it printed.
testsupport::GameResult playsAndEnds(const RuntimeCopy& runtime,
                                     const std::map<std::string, std::string>& environment = {})
{
    GameProcess game(runtime.path(), environment);
    const unsigned long window = game.waitForWindow("Crumbrise", loadSeconds);
    EXPECT_NE(window, 0u) << "no window";
    game.holdKey("Escape", 30);
    testsupport::GameResult result = game.finish(30);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
    return result;
}

TEST(GameBinaryData, MissingSoundOrImageOrDeviceOnlyCostsThatPart)
{
    {
        RuntimeCopy runtime("missing-wav");
        runtime.remove("Sounds/throw3.wav");
        const testsupport::GameResult result = playsAndEnds(runtime);
        EXPECT_NE(result.out.find("alutLoadWAVFile: "), std::string::npos) << result.out;
    }
    {
        RuntimeCopy runtime("missing-hud-image");
        runtime.remove("reticle2.png");
        const testsupport::GameResult result = playsAndEnds(runtime);
        EXPECT_NE(result.out.find("Could not load Image: reticle2.png"), std::string::npos) << result.out;
    }
    {
        // A driver list naming no backend there is opens no device at all.
        RuntimeCopy runtime("no-sound-device");
        playsAndEnds(runtime, {{"ALSOFT_DRIVERS", "nosuchdriver"}});
    }
}

} // namespace
