#include "support/offscreen.h"
#include "support/process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

// The game as the Debian package installs it: the installed command started
// from a directory of the player's, under the test's X server. The package
// check of tools/crumbrise.sh runs this after installing the package; ctest,
// which tests the build tree, does not.
namespace {

namespace fs = std::filesystem;
using testsupport::GameProcess;

constexpr double startupSeconds = 60.0;

class TemporaryFolder {
public:
    TemporaryFolder()
    {
        char pattern[] = "/tmp/crumbrise-installed-XXXXXX";
        if (mkdtemp(pattern) != nullptr)
            path = pattern;
    }
    ~TemporaryFolder()
    {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    fs::path path;
};

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Saves a picture of windowPicture's (RGB rows from the top) for a person to look at.
void savePicture(const std::vector<unsigned char>& rgb, int width, int height, const std::string& name)
{
    std::vector<unsigned char> rgba(static_cast<std::size_t>(width * height * 4));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 4; ++c)
                rgba[static_cast<std::size_t>(((height - 1 - y) * width + x) * 4 + c)] =
                    c < 3 ? rgb[static_cast<std::size_t>((y * width + x) * 3 + c)] : 255;
    const std::string path = testsupport::screenshotPath(name);
    EXPECT_TRUE(testsupport::writePng(path, width, height, rgba)) << path;
}

TEST(InstalledGame, StartsFromAnyDirectoryWithThePlayersSettingsAndEndsWithEscape)
{
    TemporaryFolder folder;
    ASSERT_FALSE(folder.path.empty());
    const fs::path elsewhere = folder.path / "elsewhere";
    const fs::path configHome = folder.path / "config";
    fs::create_directories(elsewhere);
    fs::create_directories(configHome / "crumbrise");
    const std::string settings = "resolutionx = 1024\nresolutiony = 576\n";
    std::ofstream(configHome / "crumbrise" / "config.conf") << settings;

    GameProcess game(elsewhere.string(), {{"XDG_CONFIG_HOME", configHome.string()}}, CRUMBRISE_INSTALLED_COMMAND);
    const unsigned long window = game.waitForWindow("Crumbrise", startupSeconds);
    ASSERT_NE(window, 0u) << "no window titled Crumbrise; output:\n" << game.finish(5).out;
    const testsupport::WindowSize size = testsupport::windowSize(window);
    EXPECT_EQ(size.width, 1024);
    EXPECT_EQ(size.height, 576);

    // The level as the player sees it, a few frames in.
    ASSERT_FALSE(testsupport::waitForDrawnPicture(window, 1024, 576, startupSeconds).empty())
        << "the window shows no landscape; output:\n" << game.finish(5).out;
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const std::vector<unsigned char> picture = testsupport::windowPicture(window, 1024, 576);
    ASSERT_EQ(picture.size(), 1024u * 576u * 3u);
    savePicture(picture, 1024, 576, "installed_game");

    game.holdKey("Escape", 30);
    const testsupport::GameResult result = game.finish(30);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
    const std::string named = "Configfile: \"" + (configHome / "crumbrise" / "config.conf").string() + "\"\n";
    EXPECT_EQ(result.out.rfind(named + "Resolutionx: 1024\nResolutiony: 576\n", 0), 0u) << result.out;

    // The game writes nothing: not where it was started, not in the settings.
    EXPECT_TRUE(fs::is_empty(elsewhere));
    EXPECT_EQ(readFile(configHome / "crumbrise" / "config.conf"), settings);
    EXPECT_EQ(std::distance(fs::recursive_directory_iterator(configHome), {}), 2);
}

TEST(InstalledGame, WithoutThePlayersFileReadsTheInstalledDefault)
{
    TemporaryFolder folder;
    ASSERT_FALSE(folder.path.empty());
    GameProcess game(folder.path.string(), {{"XDG_CONFIG_HOME", (folder.path / "config").string()}},
                     CRUMBRISE_INSTALLED_COMMAND);
    const unsigned long window = game.waitForWindow("Crumbrise", startupSeconds);
    ASSERT_NE(window, 0u) << game.finish(5).out;
    const testsupport::WindowSize size = testsupport::windowSize(window);
    EXPECT_EQ(size.width, 800);
    EXPECT_EQ(size.height, 600);
    game.holdKey("Escape", 30);
    const testsupport::GameResult result = game.finish(30);
    EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
    EXPECT_EQ(result.out.rfind("Configfile: \"config.conf\"\nResolutionx: 800\nResolutiony: 600\n", 0), 0u)
        << result.out;
}

} // namespace
