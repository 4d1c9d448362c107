// The shadow map with its cache of still casters against the map drawn the
// plain way, every caster after a clear: the same game played twice, once
// each way, must give the same depth texels and the same lit pictures, frame
// by frame, while targets and snowmen move, cakes fly, a standing target is
// hit and the level changes.
#include "support/game_world.h"

#include "app/config.h"
#include "app/game.h"
#include "common/game_state.h"
#include "common/globals.h"
#include "controls/controller.h"
#include "effects/shadow_mapping.h"
#include "levels/level.h"
#include "particlesystem/particle_system.h"
#include "physicsengine/physics.h"
#include "scene/cake.h"
#include "scene/flight.h"
#include "scene/target.h"
#include "support/offscreen.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

using frosk::thrownCakes;

namespace {

constexpr int side = 4096;

std::vector<std::uint32_t> depthTexels(GLuint texture)
{
    std::vector<std::uint32_t> texels(static_cast<std::size_t>(side) * side);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return texels;
}

// A hash of the texels: 64 MB a frame are too many to keep.
std::size_t fingerprint(const std::vector<std::uint32_t>& texels)
{
    return std::hash<std::string_view>()(
        std::string_view(reinterpret_cast<const char*>(texels.data()), texels.size() * sizeof(texels[0])));
}

// A cake of the first kind thrown at `speed` from `from` towards `to`.
void throwCake(const glm::vec3& from, const glm::vec3& to, float speed)
{
    frosk::scene::throwCake(*frosk::physics, *frosk::controller->cakeTemplates[0], from, glm::normalize(to - from),
                            speed);
}

// Straight at the board of `target`, from four units in front of it.
void throwAt(const frosk::scene::Target& target)
{
    const glm::vec3 board(target.modelMatrix * glm::vec4(0.0f, 0.75f, 0.0f, 1.0f));
    const glm::vec3 from(target.modelMatrix * glm::vec4(4.0f, 1.05f, 0.0f, 1.0f));
    throwCake(from, board, 15.0f);
}

// Cakes high over the level, in the light's view for a second or two.
void throwIntoTheAir()
{
    throwCake({2.0f, 3.0f, 2.0f}, {4.0f, 12.0f, 8.0f}, 9.0f);
    throwCake({-3.0f, 2.0f, 1.0f}, {-9.0f, 10.0f, -6.0f}, 10.0f);
    throwCake({0.0f, 4.0f, -5.0f}, {1.0f, 14.0f, -9.0f}, 8.0f);
}

struct Recorded {
    std::vector<std::vector<unsigned char>> pictures;
    std::vector<std::size_t> depths;
    std::size_t targetsLeftInLevel1 = 0;
};

} // namespace

class ShadowCache : public GameWorld {
protected:
    void restartGame()
    {
        frosk::shutdown();
        input.releaseAll();
        frosk::initialize(window, input, frosk::Config("config.conf"));
    }

    // One frame, and every `every`th one drawn and kept. Bursts start with
    // random particles, which would tell the two games apart; they cast no
    // shadow.
    void playFrame(Recorded& recorded, int index, int every)
    {
        frosk::update(1.0 / 60.0);
        for (frosk::particlesystem::ParticleSystem* system : frosk::particleSystems)
            delete system;
        frosk::particleSystems.clear();
        if (index % every != 0)
            return;
        frosk::drawFrame();
        recorded.pictures.push_back(scenePicture());
        recorded.depths.push_back(fingerprint(depthTexels(frosk::shadowMapping->depthTexture)));
    }

    // The game from its start: level 1 with a standing target hit and cakes
    // in the air, then level 2 with its snowmen. `plainFrame` is drawn the
    // plain way whatever `cached` says.
    Recorded play(bool cached, int plainFrame = -1)
    {
        Recorded recorded;
        frosk::shadowMapping->cacheStaticCasters = cached;
        throwAt(*frosk::level->targets[1]);
        throwIntoTheAir();
        int index = 0;
        for (; index < 48; ++index) {
            frosk::shadowMapping->cacheStaticCasters = cached && index != plainFrame;
            playFrame(recorded, index, 3);
        }
        recorded.targetsLeftInLevel1 = frosk::level->targets.size();

        frosk::gameState->status = frosk::GameState::won;
        frosk::advanceLevel();
        throwAt(*frosk::level->targets[0]);
        throwIntoTheAir();
        for (; index < 84; ++index) {
            frosk::shadowMapping->cacheStaticCasters = cached && index != plainFrame;
            playFrame(recorded, index, 3);
        }
        return recorded;
    }

    void expectSame(const Recorded& plain, const Recorded& cached, const std::string& what)
    {
        ASSERT_EQ(plain.pictures.size(), cached.pictures.size());
        for (std::size_t i = 0; i < plain.pictures.size(); ++i) {
            EXPECT_EQ(plain.depths[i], cached.depths[i]) << what << ": shadow map of kept frame " << i;
            EXPECT_EQ(testsupport::differingBytes(plain.pictures[i], cached.pictures[i]), 0u)
                << what << ": picture of kept frame " << i;
        }
    }
};

TEST_F(ShadowCache, CachedMapAndPicturesEqualThePlainOnesFrameByFrame)
{
    const Recorded plain = play(false);
    ASSERT_EQ(plain.targetsLeftInLevel1, 9u) << "the standing target was not hit";
    testsupport::writePng(testsupport::screenshotPath("shadow_plain_level1"), 800, 600, plain.pictures[2]);

    restartGame();
    const Recorded cached = play(true);
    EXPECT_EQ(cached.targetsLeftInLevel1, 9u);
    testsupport::writePng(testsupport::screenshotPath("shadow_cached_level1"), 800, 600, cached.pictures[2]);
    testsupport::writePng(testsupport::screenshotPath("shadow_cached_level2"), 800, 600, cached.pictures.back());
    expectSame(plain, cached, "cached");

    // A plain frame in the middle of cached ones leaves the cache's copy
    // behind; the next cached frame must not build on it. The shadow map is
    // drawn with the frame, so the plain one is a drawn frame.
    restartGame();
    const Recorded mixed = play(true, 21);
    expectSame(plain, mixed, "one plain frame among cached ones");

    // The same game gives different maps as things move, or nothing above
    // was compared.
    EXPECT_NE(plain.depths[1], plain.depths[2]);
    EXPECT_EQ(testsupport::glErrors(), "");
}

TEST_F(ShadowCache, TheCacheHoldsOnlyWhatNeverMoves)
{
    // Beyond the second target, turned round towards the light, so that the
    // shadows of the targets and trees fall towards the eye.
    frosk::physics->setPlayerPosition(glm::dvec3(1.0, 3.0, 19.0));
    input.moveCursor({628.0, 30.0});
    frames(30);
    frosk::shadowMapping->cacheStaticCasters = true;
    frame(1.0 / 60.0, true);
    testsupport::writePng(testsupport::screenshotPath("shadow_cached_level1_start"), 800, 600, scenePicture());
    const std::vector<std::uint32_t> before = depthTexels(frosk::shadowMapping->staticDepthTexture);

    // Moving targets move, cakes fly: the cache stays as it is. The shadow
    // map is drawn with the frame, so these frames are drawn.
    throwIntoTheAir();
    for (int i = 0; i < 20; ++i)
        frame(1.0 / 60.0, true);
    EXPECT_EQ(depthTexels(frosk::shadowMapping->staticDepthTexture), before);

    // A standing target hit: its depth leaves the cache.
    throwAt(*frosk::level->targets[1]);
    for (int i = 0; i < 120 && frosk::level->targets.size() == 10; ++i)
        frame();
    ASSERT_EQ(frosk::level->targets.size(), 9u) << "the standing target was not hit";
    frame(1.0 / 60.0, true);
    const std::vector<std::uint32_t> after = depthTexels(frosk::shadowMapping->staticDepthTexture);
    std::size_t nearer = 0;
    std::size_t farther = 0;
    for (std::size_t i = 0; i < before.size(); ++i) {
        nearer += after[i] < before[i] ? 1 : 0;
        farther += after[i] > before[i] ? 1 : 0;
    }
    EXPECT_EQ(nearer, 0u) << "nothing came into the cache";
    EXPECT_GT(farther, 100u) << "the target's texels show what lies behind it now";

    EXPECT_EQ(testsupport::glErrors(), "");
}
