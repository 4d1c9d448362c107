#include "app/config.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

struct Loaded {
    frosk::Config config;
    std::string output;
};

// Writes `content` to a temporary file, reads it as the game does and keeps
// what it printed.
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
    return {config, captured.str()};
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
