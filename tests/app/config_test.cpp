#include "app/config.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

struct Loaded {
    frosk::Config config;
    std::string output;
};

// Writes `content` to a temporary file, reads it as the game does and keeps
// what it printed after the first line, which names the file.
Loaded load(const std::string& content)
{
    char path[] = "/tmp/crumbrise-config-XXXXXX";
    const int fd = mkstemp(path);
    EXPECT_GE(fd, 0);
    close(fd);
    std::ofstream(path, std::ios::binary) << content;

    std::ostringstream captured;
    std::streambuf* previous = std::cout.rdbuf(captured.rdbuf());
    frosk::Config config(path);
    std::cout.rdbuf(previous);
    std::remove(path);
    const std::string named = std::string("Configfile: \"") + path + "\"\n";
    std::string output = captured.str();
    EXPECT_EQ(output.rfind(named, 0), 0u) << output;
    output.erase(0, named.size());
    return {config, output};
}

TEST(ConfigFile, MissingFileKeepsDefaultsAndSaysSo)
{
    std::ostringstream captured;
    std::streambuf* previous = std::cout.rdbuf(captured.rdbuf());
    frosk::Config config("no/such/config.conf");
    std::cout.rdbuf(previous);

    EXPECT_EQ(captured.str(), "Configfile: \"no/such/config.conf\" not found\n");
    EXPECT_EQ(config.width, 800);
    EXPECT_EQ(config.height, 600);
    EXPECT_FALSE(config.fullscreen);
}

TEST(ConfigFile, ReadsAllThreeKeysAndEchoesSizesInFileOrder)
{
    const Loaded l = load("resolutiony=720\nresolutionx = 1280\nfullscreen = true\n");
    EXPECT_EQ(l.config.width, 1280);
    EXPECT_EQ(l.config.height, 720);
    EXPECT_TRUE(l.config.fullscreen);
    EXPECT_EQ(l.output, "Resolutiony: 720\nResolutionx: 1280\n");
}

TEST(ConfigFile, OnlyTheExactWordTrueTurnsFullscreenOn)
{
    EXPECT_FALSE(load("fullscreen = True\n").config.fullscreen);
    EXPECT_FALSE(load("fullscreen = 1\n").config.fullscreen);
    EXPECT_FALSE(load("fullscreen = true\nfullscreen = yes\n").config.fullscreen);
    EXPECT_TRUE(load("fullscreen=true\n").config.fullscreen);
}

TEST(ConfigFile, PairIsFoundAnywhereInTheLine)
{
    EXPECT_EQ(load("resolutionx = 1024 # my monitor\n").config.width, 1024);
    EXPECT_EQ(load("# resolutionx = 640\n").config.width, 640);
    EXPECT_EQ(load("resolutionx = 1024px\n").config.width, 1024);
}

TEST(ConfigFile, LinesThatAreNoPairChangeNothing)
{
    const Loaded l = load("resolutionx: 1024\nresolution x = 1024\nRESOLUTIONX = 1024\n\n=\n");
    EXPECT_EQ(l.config.width, 800);
    EXPECT_EQ(l.output, "");
}

TEST(ConfigFile, LastLineOfAKeyWins)
{
    EXPECT_EQ(load("resolutionx = 1024\nresolutionx = 640\n").config.width, 640);
}

TEST(ConfigFile, LastLineWithoutLineFeedAndCarriageReturnsStillCount)
{
    EXPECT_EQ(load("resolutiony = 700").config.height, 700);
    EXPECT_EQ(load("resolutiony = 700\r\n").config.height, 700);
}

TEST(ConfigFile, UnusableSizesAreReportedAndKeepTheDefault)
{
    for (const char* bad : {"abc", "0", "0000", "99999999999", "2147483648", "px1024"}) {
        const Loaded l = load(std::string("resolutionx = ") + bad + "\n");
        EXPECT_EQ(l.config.width, 800) << bad;
        EXPECT_EQ(l.output, std::string("Resolutionx: ") + bad + "\nConfigfile: value \"" + bad +
                                "\" of resolutionx is not a positive whole number; keeping 800\n");
    }
    // A bad later line does not undo a good earlier one.
    EXPECT_EQ(load("resolutiony = 720\nresolutiony = huge\n").config.height, 720);
    EXPECT_EQ(load("resolutionx = 2147483647\n").config.width, 2147483647);
}

TEST(ConfigFile, BinaryGarbageIsSkippedSafely)
{
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.push_back(static_cast<char>((i * 131 + 7) % 256));
    const Loaded l = load(garbage + "\nresolutionx = 900\n");
    EXPECT_EQ(l.config.width, 900);
}

} // namespace

TEST(ConfigFile, MouseSensitivityFromTenToAThousandPercentAndInvertedLook)
{
    const Loaded plain = load("resolutionx = 1024\n");
    EXPECT_EQ(plain.config.mouseSensitivity, 100) << "files without the keys read as before";
    EXPECT_FALSE(plain.config.invertMouse);

    const Loaded set = load("mousesensitivity = 250\ninvertmouse = true\n");
    EXPECT_EQ(set.config.mouseSensitivity, 250);
    EXPECT_TRUE(set.config.invertMouse);
    EXPECT_EQ(set.output, "");
    EXPECT_EQ(load("mousesensitivity = 10\n").config.mouseSensitivity, 10);
    EXPECT_EQ(load("mousesensitivity = 1000\n").config.mouseSensitivity, 1000);

    for (const char* bad : {"9", "1001", "0", "fast", "150percent", "99999999999"}) {
        const Loaded l = load(std::string("mousesensitivity = ") + bad + "\n");
        EXPECT_EQ(l.config.mouseSensitivity, 100) << bad;
        EXPECT_EQ(l.output, std::string("Configfile: value \"") + bad +
                                "\" of mousesensitivity is not a whole number from 10 to 1000; keeping 100\n");
    }
    const Loaded odd = load("invertmouse = yes\n");
    EXPECT_FALSE(odd.config.invertMouse);
    EXPECT_EQ(odd.output, "Configfile: value \"yes\" of invertmouse is neither true nor false; keeping false\n");
    EXPECT_FALSE(load("invertmouse = true\ninvertmouse = false\n").config.invertMouse);
}

TEST(ConfigFile, FrameLimitIsZeroForNoneOrTwentyToAThousand)
{
    EXPECT_EQ(load("resolutionx = 1024\n").config.maxFramesPerSecond, 0) << "no limit unless asked for";
    for (const int good : {20, 60, 144, 1000}) {
        const Loaded l = load("maxfps = " + std::to_string(good) + "\n");
        EXPECT_EQ(l.config.maxFramesPerSecond, good);
        EXPECT_EQ(l.output, "");
    }
    EXPECT_EQ(load("maxfps = 60\nmaxfps = 0\n").config.maxFramesPerSecond, 0);

    for (const char* bad : {"19", "1001", "fast", "60fps", "99999999999"}) {
        const Loaded l = load(std::string("maxfps = 30\nmaxfps = ") + bad + "\n");
        EXPECT_EQ(l.config.maxFramesPerSecond, 30) << bad;
        EXPECT_EQ(l.output, std::string("Configfile: value \"") + bad +
                                "\" of maxfps is neither 0 nor a whole number from 20 to 1000; keeping 30\n");
    }
}

namespace {

namespace fs = std::filesystem;

// The player's own file, looked up among real files in a temporary home from
// a temporary working directory; the environment and the working directory
// are put back afterwards.
class PlayersConfigFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"HOME", "XDG_CONFIG_HOME"})
            if (const char* value = std::getenv(name))
                saved[name] = value;
        previousDirectory = fs::current_path();
        char pattern[] = "/tmp/crumbrise-home-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        fs::current_path(root);
        home = root / "home";
        setEnvironment("HOME", home.c_str());
        setEnvironment("XDG_CONFIG_HOME", nullptr);
    }

    void TearDown() override
    {
        for (const char* name : {"HOME", "XDG_CONFIG_HOME"})
            setEnvironment(name, saved.count(name) ? saved[name].c_str() : nullptr);
        fs::current_path(previousDirectory);
        fs::remove_all(root);
    }

    static void setEnvironment(const char* name, const char* value)
    {
        if (value == nullptr)
            unsetenv(name);
        else
            setenv(name, value, 1);
    }

    // Writes <configHome>/crumbrise/config.conf and returns its path.
    static std::string put(const fs::path& configHome, const std::string& content = "resolutionx = 1024\n")
    {
        fs::create_directories(configHome / "crumbrise");
        const fs::path file = configHome / "crumbrise" / "config.conf";
        std::ofstream(file) << content;
        return file.string();
    }

    std::map<std::string, std::string> saved;
    fs::path previousDirectory;
    fs::path root;
    fs::path home;
};

TEST_F(PlayersConfigFile, AnAbsoluteXdgConfigHomeHoldsThePlayersFile)
{
    put(home / ".config", "resolutionx = 640\n");
    const std::string own = put(root / "xdg");
    setEnvironment("XDG_CONFIG_HOME", (root / "xdg").c_str());
    ASSERT_EQ(frosk::configFileName(), own);

    // The file read is named on the console, and its settings count.
    std::ostringstream captured;
    std::streambuf* previous = std::cout.rdbuf(captured.rdbuf());
    const frosk::Config config(frosk::configFileName());
    std::cout.rdbuf(previous);
    EXPECT_EQ(captured.str(), "Configfile: \"" + own + "\"\nResolutionx: 1024\n");
    EXPECT_EQ(config.width, 1024);

    // Without a file there the default counts, not the one in ~/.config: the
    // player's configuration home is the one XDG_CONFIG_HOME names.
    fs::remove(own);
    EXPECT_EQ(frosk::configFileName(), "config.conf");
}

TEST_F(PlayersConfigFile, HomesDotConfigWhenXdgConfigHomeIsUnsetEmptyOrRelative)
{
    const std::string own = put(home / ".config");
    // A relative XDG_CONFIG_HOME is ignored even where it names a file.
    put(root / "relative");
    for (const char* xdg : {static_cast<const char*>(nullptr), "", "relative", "./relative"}) {
        setEnvironment("XDG_CONFIG_HOME", xdg);
        EXPECT_EQ(frosk::configFileName(), own) << (xdg ? xdg : "unset");
    }
}

TEST_F(PlayersConfigFile, TheDefaultBesideTheDataWhenThePlayerHasNoFile)
{
    EXPECT_EQ(frosk::configFileName(), "config.conf") << "no ~/.config at all";
    fs::create_directories(home / ".config" / "crumbrise" / "config.conf");
    EXPECT_EQ(frosk::configFileName(), "config.conf") << "a folder is no file";
    put(root / "xdg");
    setEnvironment("HOME", nullptr);
    EXPECT_EQ(frosk::configFileName(), "config.conf") << "no HOME and no XDG_CONFIG_HOME";
    setEnvironment("XDG_CONFIG_HOME", (root / "xdg").c_str());
    EXPECT_EQ(frosk::configFileName(), (root / "xdg" / "crumbrise" / "config.conf").string())
        << "XDG_CONFIG_HOME needs no HOME";
}

} // namespace
