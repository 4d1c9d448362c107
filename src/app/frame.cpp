#include "app/game.h"

#include "app/config.h"
#include "app/hud.h"
#include "app/pass_timings.h"
#include "common/camera.h"
#include "common/globals.h"
#include "controls/controller.h"
#include "datastructures/tree_node.h"
#include "effects/bloom.h"
#include "effects/render_pass.h"
#include "effects/shadow_mapping.h"
#include "effects/toon_shading.h"
#include "levels/level.h"
#include "particlesystem/particle_system.h"
#include "physicsengine/debug_view.h"
#include "physicsengine/physics.h"
#include "scene/cake.h"
#include "scene/hand.h"
#include "scene/target.h"
#include "shader/names.h"
#include "shader/shader.h"

#include <glm/gtc/type_ptr.hpp>

#include <memory>

namespace frosk {

namespace {

// Made when the player first asks for it.
std::unique_ptr<physicsengine::DebugView> physicsDebugView;

GLenum polygonMode()
{
    return controller->wireframe ? GL_LINE : GL_FILL;
}

// A pass's GL state, given back to the frame's resting state when it ends.
effects::PassScope passScope()
{
    return effects::PassScope(config->width, config->height);
}

void setUniform(const Shader* program, const char* name, const glm::vec3& value)
{
    glUniform3fv(glGetUniformLocation(program->programHandle, name), 1, glm::value_ptr(value));
}

void setUniform(const Shader* program, const char* name, const glm::mat4& value)
{
    glUniformMatrix4fv(glGetUniformLocation(program->programHandle, name), 1, GL_FALSE, glm::value_ptr(value));
}

// The camera of this frame into the effects and into every program that
// draws with it; the bursts take it when they are drawn.
void useCamera(const Camera& camera)
{
    shadowMapping->camera = camera;
    toonShading->camera = camera;
    for (const Shader* program : {toonMaterialShader, toonTextureShader, shadowTextureShader, shadowMaterialShader}) {
        glUseProgram(program->programHandle);
        setUniform(program, uniform::cameraPosition, camera.position);
    }
    for (const Shader* program : {textureShader, basicShader}) {
        glUseProgram(program->programHandle);
        setUniform(program, uniform::viewMatrix, camera.view);
        setUniform(program, uniform::cameraPosition, camera.position);
    }
    for (const Shader* program : {skyShader, bloomShader, bloomCoverShader}) {
        glUseProgram(program->programHandle);
        setUniform(program, uniform::viewMatrix, camera.view);
    }
}

// The shadow casters of this frame, drawn from the light into the shadow map:
// those that never move only when they changed, into the map's cache.
void shadowPass()
{
    PassTimer timer("shadow");
    effects::PassScope pass = passScope();
    if (shadowMapping->cacheStaticCasters) {
        if (level->staticCastersChanged()) {
            shadowMapping->startStaticPass(pass);
            level->drawStaticDepth();
        }
        shadowMapping->startMovingPass(pass);
        level->drawMovingDepth();
        for (scene::Cake* thrown : thrownCakes)
            shadowMapping->drawMovingCaster(*thrown);
    } else {
        shadowMapping->startPass1(pass);
        level->drawDepth();
        for (scene::Cake* thrown : thrownCakes)
            thrown->drawDepth();
    }
}

// The glowing objects alone into the half-size glow target. Only the targets
// glow; everything else draws its shape in black, to hide the glow behind it.
void glowPass(const Camera& camera)
{
    PassTimer timer("glow");
    effects::PassScope pass = passScope();
    bloom->startBrightPass(pass);
    level->drawSecondary();
    hand->drawSecondary();
    if (cake->visible)
        cake->drawSecondary();
    for (scene::Cake* thrown : thrownCakes)
        thrown->drawSecondary();
    const glm::mat4 viewProjection = camera.viewProjection();
    for (const scene::Target* target : level->targets)
        bloom->coverGlowing(*target, viewProjection);
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
// Its black clear colour stays for the loop's own clear of the window.
void scenePass(const Camera& camera)
{
    PassTimer timer("scene");
    effects::PassScope pass = passScope();
    pass.into(*sceneTarget).clear(glm::vec4(0.0f, 0.0f, 0.0f, 1.0f)).polygonMode(polygonMode()).opaque();

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

    // The bursts alone are translucent.
    pass.blendingAsSet();
    for (particlesystem::ParticleSystem* system : particleSystems)
        system->draw(camera);
}

// Scene and glow combined onto the window: the scene copied as it is, and
// the glow added where there is any.
void compositePass()
{
    PassTimer timer("composite");
    effects::PassScope pass = passScope();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, sceneTarget->framebuffer);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glBlitFramebuffer(0, 0, config->width, config->height, 0, 0, config->width, config->height, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
    glReadBuffer(GL_NONE);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);

    const GLuint program = compositeShader->programHandle;
    glUseProgram(program);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, sceneTarget->colorTexture);
    glUniform1i(glGetUniformLocation(program, uniform::scene), 1);

    pass.withoutDepthTest().opaque();
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, bloom->glow.colorTexture);
    glUniform1i(glGetUniformLocation(bloom->drawFramebufferShader->programHandle, uniform::fboTexture), 0);
    glBindVertexArray(bloom->compositeVAO);
    for (const effects::TexelRect& area : bloom->compositeAreas()) {
        pass.onlyWithin(area);
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    }
    glBindVertexArray(0);
}

// HUD images and text over the finished picture.
void overlayPass()
{
    PassTimer timer("overlay");
    effects::PassScope pass = passScope();
    pass.polygonMode(polygonMode());
    HudSwitches switches;
    switches.showFps = controller->showFps;
    switches.samplingMode = controller->samplingMode;
    switches.mipmapMode = controller->mipmapMode;
    switches.showTextureMessage = controller->showTextureMessage();
    switches.paused = paused;
    drawHud(*textRenderer, *gameState, *timeLeft, switches, fpsText, config->width, config->height);
}

// Every collision shape outlined over the finished frame (F6).
void physicsDebugPass(const Camera& camera)
{
    if (!controller->physicsDebug) {
        physicsDebugView.reset();
        return;
    }
    PassTimer timer("physics debug");
    if (!physicsDebugView)
        physicsDebugView = std::make_unique<physicsengine::DebugView>();
    physicsDebugView->draw(*physics, camera.viewProjection());
}

// The player's eye after this frame's update.
Camera frameCamera()
{
    return Camera::looking(controller->viewMatrix, controller->position, config->width, config->height);
}

} // namespace

void releasePhysicsDebugView()
{
    physicsDebugView.reset();
}

// One frame's picture, pass after pass. Each pass starts from and returns to
// the frame's resting GL state: the window's framebuffer and viewport, filled
// polygons, depth test on, no face culling; blending stays as the player set
// it. The camera is the controller's after this frame's update.
void drawFrame()
{
    const Camera camera = frameCamera();
    useCamera(camera);

    shadowPass();
    glowPass(camera);
    blurPass();
    scenePass(camera);
    compositePass();
    overlayPass();
    physicsDebugPass(camera);
    endPassTimingFrame();
}

// The scene and glow targets still hold the last full frame's world.
void drawPausedFrame()
{
    const Camera camera = frameCamera();
    compositePass();
    overlayPass();
    physicsDebugPass(camera);
    endPassTimingFrame();
}

} // namespace frosk
