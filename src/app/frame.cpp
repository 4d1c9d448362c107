#include "app/game.h"

#include "app/config.h"
#include "app/hud.h"
#include "app/pass_timings.h"
#include "common/globals.h"
#include "controls/controller.h"
#include "effects/bloom.h"
#include "effects/shadow_mapping.h"
#include "levels/level.h"
#include "particlesystem/particle_system.h"
#include "physicsengine/debug_view.h"
#include "physicsengine/physics.h"
#include "scene/cake.h"
#include "scene/hand.h"
#include "shader/shader.h"

#include <memory>

namespace frosk {

namespace {

// Made when the player first asks for it.
std::unique_ptr<physicsengine::DebugView> physicsDebugView;

GLenum polygonMode()
{
    return controller->wireframe ? GL_LINE : GL_FILL;
}

// The glowing objects alone into the half-size glow target.
void glowPass()
{
    PassTimer timer("glow");
    bloom->startBrightPass();
    level->drawSecondary();
    hand->drawSecondary();
    if (cake->visible)
        cake->drawSecondary();
    for (scene::Cake* thrown : thrownCakes)
        thrown->drawSecondary();

    glDisable(GL_CULL_FACE);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, config->width, config->height);
}

// The glow spread out, more often the wider the window.
void blurPass()
{
    PassTimer timer("blur");
    const int repetitions = effects::Bloom::blurRepetitions(config->width);
    for (int i = 0; i < repetitions; ++i) {
        bloom->blurPass1();
        bloom->blurPass2();
    }
}

// Everything the player sees in the world, into the off-screen scene target.
void scenePass()
{
    PassTimer timer("scene");
    glBindFramebuffer(GL_FRAMEBUFFER, sceneFramebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, sceneTexture, 0);
    glReadBuffer(GL_NONE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPolygonMode(GL_FRONT_AND_BACK, polygonMode());

    // Outlines first, so that the shading covers their inner half.
    hand->drawSilhouette();
    if (cake->visible)
        cake->drawSilhouette();
    for (scene::Cake* thrown : thrownCakes)
        thrown->drawSilhouette();
    hand->drawToon();
    if (cake->visible)
        cake->drawToon();
    for (scene::Cake* thrown : thrownCakes)
        thrown->drawToon();
    level->drawToon();

    for (particlesystem::ParticleSystem* system : particleSystems)
        system->draw();

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

// Scene and glow combined onto the window in one full-screen quad.
void compositePass()
{
    PassTimer timer("composite");
    const GLuint program = compositeShader->programHandle;
    glUseProgram(program);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, sceneTexture);
    glUniform1i(glGetUniformLocation(program, "scene"), 1);

    glDisable(GL_DEPTH_TEST);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, bloom->bloomTexture);
    glUniform1i(glGetUniformLocation(bloom->drawFramebufferShader->programHandle, "fboTexture"), 0);
    glBindVertexArray(bloom->compositeVAO);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glBindVertexArray(0);
    glEnable(GL_DEPTH_TEST);
}

// HUD images and text over the finished picture.
void overlayPass()
{
    PassTimer timer("overlay");
    glPolygonMode(GL_FRONT_AND_BACK, polygonMode());
    HudSwitches switches;
    switches.showFps = controller->showFps;
    switches.samplingMode = controller->samplingMode;
    switches.mipmapMode = controller->mipmapMode;
    switches.showTextureMessage = controller->showTextureMessage();
    drawHud(*textRenderer, *gameState, *timeLeft, switches, fpsText, config->width, config->height);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

// Every collision shape outlined over the finished frame (F6).
void physicsDebugPass()
{
    if (!controller->physicsDebug) {
        physicsDebugView.reset();
        return;
    }
    PassTimer timer("physics debug");
    if (!physicsDebugView)
        physicsDebugView = std::make_unique<physicsengine::DebugView>();
    physicsDebugView->draw(*physics, shadowMapping->cameraProjection() * controller->viewMatrix);
}

} // namespace

void releasePhysicsDebugView()
{
    physicsDebugView.reset();
}

void drawFrame()
{
    glowPass();
    blurPass();
    scenePass();
    compositePass();
    overlayPass();
    physicsDebugPass();
    endPassTimingFrame();
}

} // namespace frosk
