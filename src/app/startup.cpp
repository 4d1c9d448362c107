#include "app/game.h"

#include "app/config.h"
#include "app/hud.h"
#include "app/text_renderer.h"
#include "common/camera.h"
#include "common/console.h"
#include "common/globals.h"
#include "controls/controller.h"
#include "controls/input.h"
#include "effects/bloom.h"
#include "effects/render_pass.h"
#include "effects/shadow_mapping.h"
#include "effects/toon_shading.h"
#include "levels/level.h"
#include "levels/level_cycle.h"
#include "particlesystem/particle_system.h"
#include "physicsengine/physics.h"
#include "physicsengine/px_callback.h"
#include "scene/cake.h"
#include "scene/flight.h"
#include "scene/hand.h"
#include "shader/names.h"
#include "shader/shader.h"

#include <AL/alut.h>
#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <thread>

namespace frosk {

namespace {

// Every program in start-up order; shut-down destroys them in the same order.
Shader** const programs[] = {
    &textureShader, &basicShader, &hudShader, &skyShader, &shadowDepthShader,
    &shadowCubeShader, &shadowMaterialShader, &shadowTextureShader, &silhouetteShader,
    &toonMaterialShader, &toonTextureShader, &particleUpdateShader, &particleDrawShader,
    &bloomShader, &bloomCoverShader, &compositeShader, &blurHorizontalShader,
    &blurVerticalShader, &textShader};

void createPrograms()
{
    textureShader = new Shader("Shader/texture.vert", "Shader/texture.frag");
    basicShader = new Shader("Shader/vertex.vert", "Shader/fragment.frag");
    hudShader = new Shader("Shader/2d.vert", "Shader/2d.frag");
    skyShader = new Shader("Shader/heaven.vert", "Shader/heaven.frag");
    shadowDepthShader = new Shader("Shader/sm_shader_pass1.vert", "Shader/sm_shader_pass1.frag");
    shadowCubeShader = new Shader("Shader/sm_cube_shader_pass2.vert", "Shader/sm_cube_shader_pass2.frag");
    shadowMaterialShader = new Shader("Shader/sm_material_shader_pass2.vert", "Shader/sm_material_shader_pass2.frag");
    shadowTextureShader = new Shader("Shader/sm_texture_shader_pass2.vert", "Shader/sm_texture_shader_pass2.frag");
    silhouetteShader = new Shader("Shader/toon_silhouette.vert", "Shader/toon_silhouette.frag");
    toonMaterialShader = new Shader("Shader/toon_material_shader.vert", "Shader/toon_material_shader.frag");
    toonTextureShader = new Shader("Shader/toon_texture_shader.vert", "Shader/toon_texture_shader.frag");
    particleUpdateShader = new Shader("Shader/particle_update.vert", "Shader/particle_update.geo", true);
    particleDrawShader = new Shader("Shader/particle_draw.vert", "Shader/particle_draw.geo", "Shader/particle_draw.frag");
    bloomShader = new Shader("Shader/bloom.vert", "Shader/bloom.frag");
    bloomCoverShader = new Shader("Shader/bloom.vert", "Shader/bloomcover.frag");
    compositeShader = new Shader("Shader/drawframebuffer.vert", "Shader/drawframebuffer.frag");
    blurHorizontalShader = new Shader("Shader/gaussianblur.vert", "Shader/gaussianblur1.frag");
    blurVerticalShader = new Shader("Shader/gaussianblur.vert", "Shader/gaussianblur2.frag");
    textShader = new Shader("Shader/text_render.vert", "Shader/text_render.frag");
}

void setMatrix(const Shader* program, const char* name, const glm::mat4& matrix)
{
    glUseProgram(program->programHandle);
    glUniformMatrix4fv(glGetUniformLocation(program->programHandle, name), 1, GL_FALSE, glm::value_ptr(matrix));
}

void uploadStartupUniforms()
{
    setMatrix(textureShader, uniform::projectionMatrix, projectionMatrix);
    setMatrix(basicShader, uniform::projectionMatrix, projectionMatrix);
    setMatrix(hudShader, uniform::orthogonalMatrix, screenMatrix);
    setMatrix(textShader, uniform::orthogonalMatrix, screenMatrix);
    setMatrix(skyShader, uniform::projectionMatrix, projectionMatrix);
    setMatrix(bloomShader, uniform::projectionMatrix, projectionMatrix);
    setMatrix(bloomCoverShader, uniform::projectionMatrix, projectionMatrix);

    // One texel of the half-size glow target in each direction.
    glUseProgram(blurHorizontalShader->programHandle);
    glUniform1f(glGetUniformLocation(blurHorizontalShader->programHandle, uniform::blurSize),
                1.0f / static_cast<float>(config->width / 2));
    glUseProgram(blurVerticalShader->programHandle);
    glUniform1f(glGetUniformLocation(blurVerticalShader->programHandle, uniform::blurSize),
                1.0f / static_cast<float>(config->height / 2));
}

// The driver's own entry points for the functions the game relies on most,
// stored over GLEW's. Returns the name of one that neither provides, if any.
const char* fetchEntryPoints()
{
    struct EntryPoint {
        const char* name;
        void** glewPointer;
    };
    // GLEW keeps the pointer of glName in __glewName.
#define CRUMBRISE_ENTRY_POINT(name) {"gl" #name, reinterpret_cast<void**>(&__glew##name)}
    const EntryPoint entryPoints[] = {
        CRUMBRISE_ENTRY_POINT(GenVertexArrays),
        CRUMBRISE_ENTRY_POINT(BindVertexArray),
        CRUMBRISE_ENTRY_POINT(DeleteVertexArrays),
        CRUMBRISE_ENTRY_POINT(GenerateMipmap),
        CRUMBRISE_ENTRY_POINT(GenFramebuffers),
        CRUMBRISE_ENTRY_POINT(BindFramebuffer),
        CRUMBRISE_ENTRY_POINT(FramebufferTexture2D),
        CRUMBRISE_ENTRY_POINT(CheckFramebufferStatus),
        CRUMBRISE_ENTRY_POINT(DeleteFramebuffers),
        CRUMBRISE_ENTRY_POINT(GenTransformFeedbacks),
        CRUMBRISE_ENTRY_POINT(BindTransformFeedback),
        CRUMBRISE_ENTRY_POINT(BindBufferBase),
        CRUMBRISE_ENTRY_POINT(DrawTransformFeedback),
    };
#undef CRUMBRISE_ENTRY_POINT
    for (const EntryPoint& entry : entryPoints) {
        if (GLFWglproc proc = glfwGetProcAddress(entry.name))
            *entry.glewPointer = reinterpret_cast<void*>(proc);
        if (*entry.glewPointer == nullptr)
            return entry.name;
    }
    return nullptr;
}

void destroyPrograms()
{
    for (auto program = std::rbegin(programs); program != std::rend(programs); ++program) {
        delete **program;
        **program = nullptr;
    }
}

// The GL state the frame loop starts from: blending on (F9 turns it off), the
// clear colour and the window's viewport.
void setLoopGlState()
{
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glClearColor(0.25f, 0.35f, 0.45f, 1.0f);
    glViewport(0, 0, config->width, config->height);
}

template <typename T>
void destroy(T*& object)
{
    delete object;
    object = nullptr;
}

// One picture per refresh of the screen, so that on a graphics card the game
// does not draw thousands of frames a second that nobody sees; its timing does
// not depend on it. CRUMBRISE_VSYNC=0 lets tests and benchmarks run unpaced.
int swapInterval()
{
    const char* vsync = std::getenv("CRUMBRISE_VSYNC");
    return vsync != nullptr && std::strcmp(vsync, "0") == 0 ? 0 : 1;
}

} // namespace

// The physics debug view's GL objects, released while the context still exists.
void releasePhysicsDebugView();

levels::LevelResources levelResources()
{
    return {textureShader,      basicShader,       bloomShader,   bloomCoverShader, skyShader, shadowMaterialShader,
            toonMaterialShader, toonTextureShader, shadowMapping, toonShading,      physics};
}

void initialize(GLFWwindow* window, controls::InputSource& input, const Config& settings)
{
    config = new Config(settings);
    timeLeft = new double(120000.0);
    glfwSetWindowTitle(window, "Crumbrise");
    glEnable(GL_DEPTH_TEST);

    createPrograms();
    textRenderer = new TextRenderer(textShader);
    gameState = new GameState();
    physics = new physicsengine::Physics();
    eventCallback = new physicsengine::pxCallback(*physics, gameEvents());
    physics->setSimulationEventCallback(eventCallback);
    bloom = new effects::Bloom(bloomShader, compositeShader, blurHorizontalShader, blurVerticalShader, config->width,
                               config->height);
    shadowMapping = new effects::ShadowMapping(shadowDepthShader, config->width, config->height);
    toonShading = new effects::ToonShading(silhouetteShader, config->width, config->height);
    controller = new controls::Controller(input, glm::vec3(0.0f, 0.0f, -2.0f), glm::vec3(0.0f), physics,
                                          static_cast<double>(config->width), static_cast<double>(config->height));
    controller->lookSensitivity = static_cast<float>(config->mouseSensitivity) / 100.0f;
    controller->invertMouse = config->invertMouse;
    level = levels::buildLevel(gameState->level, levelResources());
    hand = new scene::Hand(toonTextureShader, bloomCoverShader, shadowMapping, toonShading, glm::mat4(1.0f));
    cake = new scene::Cake(toonTextureShader, bloomCoverShader, 5, shadowMapping, toonShading, glm::mat4(1.0f));

    const float width = static_cast<float>(config->width);
    const float height = static_cast<float>(config->height);
    projectionMatrix = Camera::perspective(config->width, config->height);
    screenMatrix = glm::ortho(0.0f, width, height, 0.0f, -1.0f, 1.0f);
    createHudImages(config->width, config->height);
    uploadStartupUniforms();

    sceneTarget = new effects::RenderTarget(config->width, config->height, GL_RGBA, false);
    setLoopGlState();
}

void shutdown()
{
    // What lives for a throw goes first: cakes in flight take their bodies
    // out of the world, bursts release their GL objects.
    scene::endFlights();
    releasePhysicsDebugView();

    destroy(sceneTarget);
    destroyHudImages();
    destroy(cake);
    destroy(hand);
    destroy(level);
    destroy(controller);
    destroy(toonShading);
    destroy(shadowMapping);
    destroy(bloom);
    physics->setSimulationEventCallback(nullptr);
    destroy(eventCallback);
    destroy(physics);
    destroy(gameState);
    destroy(textRenderer);
    destroyPrograms();
    // Every sound bank has released its sources by now.
    alutExit();
    destroy(timeLeft);
    destroy(config);
    nextCakeId = 0;
    paused = false;
}

GLFWwindow* openWindow(const Config& settings, bool visible, std::string& failure)
{
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_REFRESH_RATE, 60);
    // Every off-screen target is made once at the configured size.
    glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
    glfwWindowHint(GLFW_VISIBLE, visible ? GLFW_TRUE : GLFW_FALSE);

    GLFWmonitor* monitor = settings.fullscreen ? glfwGetPrimaryMonitor() : nullptr;
    GLFWwindow* window = glfwCreateWindow(settings.width, settings.height, "Crumbrise Reloaded", monitor, nullptr);
    if (window == nullptr) {
        glfwTerminate();
        failure = "Failed to open window";
        return nullptr;
    }
    glfwMakeContextCurrent(window);
    glfwSwapInterval(swapInterval());

    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        failure = "Failed to initialize glew";
        return nullptr;
    }
    // GLEW's start-up may leave an error behind; the game starts clean.
    while (glGetError() != GL_NO_ERROR) {
    }
    if (const char* missing = fetchEntryPoints()) {
        failure = std::string("Missing OpenGL function: ") + missing;
        return nullptr;
    }
    return window;
}

int runGame()
{
    const Config settings(configFileName());

    if (!glfwInit()) {
        std::cerr << "GLFW Initialization failed" << std::endl;
        fatalExit(-1);
    }
    std::string failure;
    GLFWwindow* window = openWindow(settings, true, failure);
    if (window == nullptr) {
        std::cout << failure << std::endl;
        fatalExit(-1);
    }

    controls::GlfwInput input(window);
    initialize(window, input, settings);
    glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_DISABLED);

    FrameClock clock;
    FrameLimiter limiter(settings.maxFramesPerSecond);
    while (runFrame(window, input, clock.tick(glfwGetTime())))
        std::this_thread::sleep_for(std::chrono::duration<double>(limiter.waitAfterFrame(glfwGetTime())));

    shutdown();
    glfwTerminate();
    return 0;
}

} // namespace frosk
