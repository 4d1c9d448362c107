#include "app/game.h"

#include "app/config.h"
#include "app/globals.h"
#include "app/hud.h"
#include "effects/bloom.h"
#include "shader/shader.h"

namespace frosk {

namespace {

// The glowing objects alone into the half-size glow target, then blurred.
void glowPass()
{
    bloom->startBrightPass();

    glDisable(GL_CULL_FACE);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, config->width, config->height);

    const int repetitions = effects::Bloom::blurRepetitions(config->width);
    for (int i = 0; i < repetitions; ++i) {
        bloom->blurPass1();
        bloom->blurPass2();
    }
}

// Everything the player sees in the world, into the off-screen scene target.
void scenePass()
{
    glBindFramebuffer(GL_FRAMEBUFFER, sceneFramebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, sceneTexture, 0);
    glReadBuffer(GL_NONE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

// Scene and glow combined onto the window in one full-screen quad.
void compositePass()
{
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
    drawHud(*textRenderer, *gameState, *timeLeft, HudSwitches{}, fpsText, config->width, config->height);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

} // namespace

void drawFrame()
{
    glowPass();
    scenePass();
    compositePass();
    overlayPass();
}

} // namespace frosk
