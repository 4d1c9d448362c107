// Start-up and shut-down as a pair: whatever initialize made, shutdown ends,
// also in the middle of a throw, so a game can start again in the same
// process (the tests, the autoplay tool and the benchmark all rely on it).
#include "support/game_world.h"

#include "app/config.h"
#include "app/game.h"
#include "common/globals.h"
#include "controls/controller.h"
#include "scene/cake.h"
#include "scene/flight.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <dlfcn.h>

#include <cstdlib>
#include <string>
#include <vector>

// Every swap interval this test program asks GLFW for, the game's included,
// is noted here on its way to GLFW.
std::vector<int> swapIntervals;

extern "C" void glfwSwapInterval(int interval)
{
    swapIntervals.push_back(interval);
    using SwapInterval = void (*)(int);
    static const auto glfws = reinterpret_cast<SwapInterval>(dlsym(RTLD_NEXT, "glfwSwapInterval"));
    glfws(interval);
}

namespace {

// GL objects of every kind the game makes, by name.
int glObjects()
{
    int count = 0;
    for (GLuint name = 1; name < 20000; ++name)
        count += (glIsBuffer(name) ? 1 : 0) + (glIsTexture(name) ? 1 : 0) + (glIsVertexArray(name) ? 1 : 0)
                 + (glIsFramebuffer(name) ? 1 : 0) + (glIsRenderbuffer(name) ? 1 : 0);
    return count;
}

} // namespace

class Startup : public GameWorld {
protected:
    // A game ended with a cake in the air and a splash still alive.
    void playAndEndMidThrow()
    {
        const frosk::scene::Cake& kind = *frosk::controller->cakeTemplates[0];
        frosk::scene::throwCake(*frosk::physics, kind, {0.0f, 8.0f, 6.0f}, {0.0f, 0.0f, 1.0f}, 2.0f);
        frosk::scene::Cake* bursting =
            frosk::scene::throwCake(*frosk::physics, kind, {3.0f, 8.0f, 6.0f}, {0.0f, 0.0f, 1.0f}, 2.0f);
        ASSERT_TRUE(frosk::scene::burstCake(static_cast<std::uint32_t>(bursting->id)));
        frame(1.0 / 60.0, true);
        ASSERT_EQ(frosk::thrownCakes.size(), 1u);
        ASSERT_EQ(frosk::particleSystems.size(), 1u);
        frosk::shutdown();
    }
};

TEST_F(Startup, ShutdownEndsEverythingInitializeMadeEvenMidThrow)
{
    playAndEndMidThrow();

    EXPECT_EQ(frosk::config, nullptr);
    EXPECT_EQ(frosk::gameState, nullptr);
    EXPECT_EQ(frosk::textRenderer, nullptr);
    EXPECT_EQ(frosk::physics, nullptr);
    EXPECT_EQ(frosk::eventCallback, nullptr);
    EXPECT_EQ(frosk::bloom, nullptr);
    EXPECT_EQ(frosk::shadowMapping, nullptr);
    EXPECT_EQ(frosk::toonShading, nullptr);
    EXPECT_EQ(frosk::controller, nullptr);
    EXPECT_EQ(frosk::hand, nullptr);
    EXPECT_EQ(frosk::cake, nullptr);
    EXPECT_EQ(frosk::reticle, nullptr);
    EXPECT_EQ(frosk::sceneTarget, nullptr);
    EXPECT_EQ(frosk::textShader, nullptr);
    EXPECT_EQ(frosk::level, nullptr);
    EXPECT_EQ(frosk::timeLeft, nullptr);
    EXPECT_TRUE(frosk::thrownCakes.empty());
    EXPECT_TRUE(frosk::particleSystems.empty());
    EXPECT_TRUE(frosk::actorsToRemove.empty());
    EXPECT_EQ(frosk::nextCakeId, 0);

    // Images stay cached for the process once loaded, so count from the end
    // of the first game: a second one must leave exactly as much behind.
    const int afterFirstGame = glObjects();
    frosk::initialize(window, input, frosk::Config("config.conf"));
    playAndEndMidThrow();
    EXPECT_EQ(glObjects(), afterFirstGame);

    // The fixture ends the game it started.
    frosk::initialize(window, input, frosk::Config("config.conf"));
}

// One picture per screen refresh, unless the environment says otherwise; the
// software renderer here does not wait for a refresh, so the call is what can
// be seen.
class WindowPacing : public testsupport::GlTest {};

TEST_F(WindowPacing, SwapIntervalOneUnlessCrumbriseVsyncIsZero)
{
    const char* before = std::getenv("CRUMBRISE_VSYNC");
    const std::string kept = before != nullptr ? before : "";
    const struct {
        const char* value;
        int interval;
    } cases[] = {{nullptr, 1}, {"1", 1}, {"yes", 1}, {"0", 0}};
    for (const auto& c : cases) {
        if (c.value != nullptr)
            setenv("CRUMBRISE_VSYNC", c.value, 1);
        else
            unsetenv("CRUMBRISE_VSYNC");
        swapIntervals.clear();
        std::string failure;
        GLFWwindow* opened = frosk::openWindow(frosk::Config("config.conf"), false, failure);
        ASSERT_NE(opened, nullptr) << failure;
        EXPECT_EQ(swapIntervals, std::vector<int>{c.interval}) << (c.value != nullptr ? c.value : "unset");
        glfwDestroyWindow(opened);
        glfwMakeContextCurrent(window);
    }
    if (before != nullptr)
        setenv("CRUMBRISE_VSYNC", kept.c_str(), 1);
    else
        unsetenv("CRUMBRISE_VSYNC");
}
