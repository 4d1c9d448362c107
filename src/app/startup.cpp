#include "app/game.h"

#include "app/config.h"
#include "app/console.h"
#include "app/globals.h"
#include "app/hud.h"
#include "app/text_renderer.h"
#include "controls/controller.h"
#include "controls/input.h"
#include "levels/level1.h"
#include "physicsengine/px_callback.h"
#include "effects/bloom.h"
#include "effects/shadow_mapping.h"
#include "effects/toon_shading.h"
#include "particlesystem/particle_system.h"
#include "physicsengine/game_lists.h"
#include "physicsengine/physics.h"
#include "scene/cake.h"
#include "scene/hand.h"
#include "shader/shader.h"

#include <AL/alut.h>
#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <iostream>

namespace frosk {

Config* config = nullptr;
double* timeLeft = nullptr;
GameState* gameState = nullptr;
TextRenderer* textRenderer = nullptr;
physicsengine::Physics* physics = nullptr;
effects::Bloom* bloom = nullptr;
effects::ShadowMapping* shadowMapping = nullptr;
effects::ToonShading* toonShading = nullptr;
physicsengine::pxCallback* eventCallback = nullptr;
controls::Controller* controller = nullptr;
levels::Level* level = nullptr;
scene::Hand* hand = nullptr;
scene::Cake* cake = nullptr;

Shader* textureShader = nullptr;
Shader* basicShader = nullptr;
Shader* hudShader = nullptr;
Shader* skyShader = nullptr;
Shader* shadowDepthShader = nullptr;
Shader* shadowCubeShader = nullptr;
Shader* shadowMaterialShader = nullptr;
Shader* shadowTextureShader = nullptr;
Shader* silhouetteShader = nullptr;
Shader* toonMaterialShader = nullptr;
Shader* toonTextureShader = nullptr;
Shader* particleUpdateShader = nullptr;
Shader* particleDrawShader = nullptr;
Shader* bloomShader = nullptr;
Shader* bloomCoverShader = nullptr;
Shader* compositeShader = nullptr;
Shader* blurHorizontalShader = nullptr;
Shader* blurVerticalShader = nullptr;
Shader* textShader = nullptr;

glm::mat4 projectionMatrix(1.0f);
glm::mat4 screenMatrix(1.0f);

GLuint sceneFramebuffer = 0;
GLuint sceneTexture = 0;
GLuint sceneDepthBuffer = 0;

std::string fpsText;

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
    setMatrix(textureShader, "projectionMatrix", projectionMatrix);
    setMatrix(basicShader, "projectionMatrix", projectionMatrix);
    setMatrix(hudShader, "orthogonalMatrix", screenMatrix);
    setMatrix(textShader, "orthogonalMatrix", screenMatrix);
    setMatrix(skyShader, "projectionMatrix", projectionMatrix);
    setMatrix(bloomShader, "projectionMatrix", projectionMatrix);
    setMatrix(bloomCoverShader, "projectionMatrix", projectionMatrix);

    // One texel of the half-size glow target in each direction.
    glUseProgram(blurHorizontalShader->programHandle);
    glUniform1f(glGetUniformLocation(blurHorizontalShader->programHandle, "blurSize"),
                1.0f / static_cast<float>(config->width / 2));
    glUseProgram(blurVerticalShader->programHandle);
    glUniform1f(glGetUniformLocation(blurVerticalShader->programHandle, "blurSize"),
                1.0f / static_cast<float>(config->height / 2));
}

void createSceneFramebuffer()
{
    glGenTextures(1, &sceneTexture);
    glBindTexture(GL_TEXTURE_2D, sceneTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, config->width, config->height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);

    glGenFramebuffers(1, &sceneFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, sceneFramebuffer);
    glGenRenderbuffers(1, &sceneDepthBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, sceneDepthBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT, config->width, config->height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, sceneDepthBuffer);
    glFramebufferTexture(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, sceneTexture, 0);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        std::cout << "Framebuffer is NOT OK!" << std::flush;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

// The driver's own entry points for the functions the game relies on most,
// stored over GLEW's; one that neither provides ends the program with its name.
void fetchEntryPoints()
{
    struct EntryPoint {
        const char* name;
        void** glewPointer;
    };
    const EntryPoint entryPoints[] = {
        {"glGenVertexArrays", reinterpret_cast<void**>(&__glewGenVertexArrays)},
        {"glBindVertexArray", reinterpret_cast<void**>(&__glewBindVertexArray)},
        {"glDeleteVertexArrays", reinterpret_cast<void**>(&__glewDeleteVertexArrays)},
        {"glGenerateMipmap", reinterpret_cast<void**>(&__glewGenerateMipmap)},
        {"glGenFramebuffers", reinterpret_cast<void**>(&__glewGenFramebuffers)},
        {"glBindFramebuffer", reinterpret_cast<void**>(&__glewBindFramebuffer)},
        {"glFramebufferTexture2D", reinterpret_cast<void**>(&__glewFramebufferTexture2D)},
        {"glCheckFramebufferStatus", reinterpret_cast<void**>(&__glewCheckFramebufferStatus)},
        {"glDeleteFramebuffers", reinterpret_cast<void**>(&__glewDeleteFramebuffers)},
        {"glGenTransformFeedbacks", reinterpret_cast<void**>(&__glewGenTransformFeedbacks)},
        {"glBindTransformFeedback", reinterpret_cast<void**>(&__glewBindTransformFeedback)},
        {"glBindBufferBase", reinterpret_cast<void**>(&__glewBindBufferBase)},
        {"glDrawTransformFeedback", reinterpret_cast<void**>(&__glewDrawTransformFeedback)},
    };
    for (const EntryPoint& entry : entryPoints) {
        if (GLFWglproc proc = glfwGetProcAddress(entry.name))
            *entry.glewPointer = reinterpret_cast<void*>(proc);
        if (*entry.glewPointer == nullptr) {
            std::cout << "Missing OpenGL function: " << entry.name << std::endl;
            fatalExit(-1);
        }
    }
}

} // namespace

// The physics debug view's GL objects, released while the context still exists.
void releasePhysicsDebugView();

levels::LevelResources levelResources()
{
    levels::LevelResources resources;
    resources.textureShader = textureShader;
    resources.basicShader = basicShader;
    resources.bloomShader = bloomShader;
    resources.bloomCoverShader = bloomCoverShader;
    resources.skyShader = skyShader;
    resources.shadowMaterialShader = shadowMaterialShader;
    resources.shadowTextureShader = shadowTextureShader;
    resources.silhouetteShader = silhouetteShader;
    resources.toonMaterialShader = toonMaterialShader;
    resources.toonTextureShader = toonTextureShader;
    resources.shadowMapping = shadowMapping;
    resources.toonShading = toonShading;
    resources.physics = physics;
    return resources;
}

void initialize(GLFWwindow* window, controls::InputSource& input)
{
    timeLeft = new double(120000.0);
    glfwSetWindowTitle(window, "Crumbrise");
    glEnable(GL_DEPTH_TEST);

    createPrograms();
    textRenderer = new TextRenderer(textShader);
    gameState = new GameState();
    physics = new physicsengine::Physics();
    eventCallback = new physicsengine::pxCallback(*physics);
    physics->setSimulationEventCallback(eventCallback);
    bloom = new effects::Bloom(bloomShader, compositeShader, blurHorizontalShader, blurVerticalShader, config);
    shadowMapping = new effects::ShadowMapping(shadowDepthShader, config);
    toonShading = new effects::ToonShading(silhouetteShader);
    controller = new controls::Controller(input, glm::vec3(0.0f, 0.0f, -2.0f), glm::vec3(0.0f), physics,
                                          static_cast<double>(config->width), static_cast<double>(config->height));
    level = new levels::Level1(levelResources());
    hand = new scene::Hand(toonTextureShader, bloomCoverShader, shadowMapping, toonShading, glm::mat4(1.0f));
    cake = new scene::Cake(toonTextureShader, bloomCoverShader, 5, shadowMapping, toonShading, glm::mat4(1.0f));

    const float width = static_cast<float>(config->width);
    const float height = static_cast<float>(config->height);
    projectionMatrix = glm::perspective(glm::radians(60.0f), width / height, 0.01f, 200.0f);
    screenMatrix = glm::ortho(0.0f, width, height, 0.0f, -1.0f, 1.0f);
    createHudImages(config->width, config->height);
    uploadStartupUniforms();

    createSceneFramebuffer();
}

void shutdown()
{
    delete level;
    level = nullptr;
    delete hand;
    hand = nullptr;
    delete cake;
    cake = nullptr;
    delete physics;
    physics = nullptr;
    // Deletes the cakes in flight; their bodies went with the physics world.
    delete controller;
    controller = nullptr;
    delete eventCallback;
    eventCallback = nullptr;
    delete shadowMapping;
    shadowMapping = nullptr;
    delete toonShading;
    toonShading = nullptr;
    delete bloom;
    bloom = nullptr;

    destroyHudImages();
    // Bursts still alive at the end release their GL objects too.
    for (particlesystem::ParticleSystem* system : physicsengine::particleSystems)
        delete system;
    physicsengine::particleSystems.clear();
    releasePhysicsDebugView();
    delete timeLeft;
    timeLeft = nullptr;
    delete gameState;
    gameState = nullptr;
    delete textRenderer;
    textRenderer = nullptr;
    // Every sound bank has released its sources by now.
    alutExit();

    for (Shader** program : programs) {
        delete *program;
        *program = nullptr;
    }
}

void setLoopGlState()
{
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glClearColor(0.25f, 0.35f, 0.45f, 1.0f);
    glViewport(0, 0, config->width, config->height);
}

int runGame()
{
    config = new Config("config.conf");

    if (!glfwInit()) {
        std::cerr << "GLFW Initialization failed" << std::endl;
        fatalExit(-1);
    }
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_REFRESH_RATE, 60);
    // Every off-screen target is made once at the configured size.
    glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);

    GLFWmonitor* monitor = config->fullscreen ? glfwGetPrimaryMonitor() : nullptr;
    GLFWwindow* window = glfwCreateWindow(config->width, config->height, "Crumbrise Reloaded", monitor, nullptr);
    if (window == nullptr) {
        glfwTerminate();
        std::cout << "Failed to open window" << std::endl;
        fatalExit(-1);
    }
    glfwMakeContextCurrent(window);

    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        std::cout << "Failed to initialize glew" << std::endl;
        fatalExit(-1);
    }
    fetchEntryPoints();

    controls::GlfwInput input(window);
    initialize(window, input);
    glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_DISABLED);

    setLoopGlState();

    FrameClock clock;
    while (runFrame(window, input, clock, glfwGetTime())) {
    }

    shutdown();
    glfwTerminate();
    return 0;
}

} // namespace frosk
