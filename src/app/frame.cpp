#include "app/game.h"

#include "app/config.h"
#include "app/globals.h"
#include "app/hud.h"

namespace frosk {

namespace {

void scenePass()
{
    glBindFramebuffer(GL_FRAMEBUFFER, sceneFramebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, sceneTexture, 0);
    glReadBuffer(GL_NONE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void overlayPass()
{
    drawHud(*textRenderer, *gameState, *timeLeft, HudSwitches{}, fpsText, config->width, config->height);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

} // namespace

void drawFrame()
{
    scenePass();
    overlayPass();
}

} // namespace frosk
