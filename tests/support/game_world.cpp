#include "support/game_world.h"

#include "app/config.h"
#include "app/game.h"
#include "common/globals.h"
#include "effects/render_pass.h"
#include "physicsengine/physics.h"

void GameWorld::SetUp()
{
    GlTest::SetUp();
    if (HasFatalFailure())
        return;
    frosk::initialize(window, input, frosk::Config("config.conf"));
}

void GameWorld::TearDown()
{
    if (frosk::config != nullptr) {
        frosk::shutdown();
        glDisable(GL_BLEND);
    }
    GlTest::TearDown();
}

void GameWorld::frame(double dt, bool draw)
{
    frosk::update(dt);
    if (draw)
        frosk::drawFrame();
}

void GameWorld::frames(int count, double dt)
{
    for (int i = 0; i < count; ++i)
        frame(dt);
}

frosk::physicsengine::Body* GameWorld::addGround(float y)
{
    using frosk::physicsengine::Physics;
    Physics& world = *frosk::physics;
    auto mesh = world.cookTriangleMesh({{-40, y, -40}, {40, y, -40}, {40, y, 40}, {-40, y, 40}}, {0, 2, 1, 0, 3, 2});
    return world.addStaticBody(world.createMeshShape(mesh), glm::mat4(1.0f), frosk::physicsengine::groupStatic);
}

void GameWorld::settle()
{
    frames(60);
}

std::vector<unsigned char> scenePicture()
{
    std::vector<unsigned char> rgba(static_cast<std::size_t>(800 * 600 * 4));
    glBindTexture(GL_TEXTURE_2D, frosk::sceneTarget->colorTexture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return rgba;
}
