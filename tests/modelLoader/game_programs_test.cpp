// Loaded models drawn with the game's own programs from the runtime root:
// the meshes' arrays and uniforms have to fit what those programs read.

#include "modelLoader/model_loader.h"

#include "app/config.h"
#include "collada_scene.h"
#include "datastructures/tree_node.h"
#include "effects/render_pass.h"
#include "effects/shadow_mapping.h"
#include "effects/toon_shading.h"
#include "shader/shader.h"
#include "support/gl_context.h"
#include "support/offscreen.h"

#include <glm/gtc/matrix_transform.hpp>

#include <filesystem>
#include <unistd.h>

namespace {

std::unique_ptr<frosk::Shader> gameProgram(const std::string& name)
{
    const std::string folder = std::string(CRUMBRISE_RUNTIME_DIR) + "/Shader/";
    return std::make_unique<frosk::Shader>(folder + name + ".vert", folder + name + ".frag");
}

testscene::Mesh ground(float half)
{
    testscene::Mesh mesh;
    mesh.positions = {{-half, 0, half}, {half, 0, half}, {half, 0, -half}, {-half, 0, -half}};
    mesh.normals.assign(4, {0, 1, 0});
    mesh.colours.assign(4, {0.9f, 0.9f, 0.8f});
    mesh.faces = {{0, 1, 2}, {0, 2, 3}};
    return mesh;
}

testscene::Mesh box(float h, const glm::vec3& colour)
{
    testscene::Mesh cube;
    const glm::vec3 axes[] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int axis = 0; axis < 3; ++axis)
        for (float side : {1.0f, -1.0f}) {
            const glm::vec3 n = axes[axis] * side, u = axes[(axis + 1) % 3] * side, v = axes[(axis + 2) % 3];
            const auto base = static_cast<unsigned>(cube.positions.size());
            for (const glm::vec2& c : {glm::vec2(-1, -1), glm::vec2(1, -1), glm::vec2(1, 1), glm::vec2(-1, 1)}) {
                cube.positions.push_back(h * (n + c.x * u + c.y * v));
                cube.normals.push_back(n);
                cube.colours.push_back(colour);
            }
            cube.faces.push_back({base, base + 1, base + 2});
            cube.faces.push_back({base, base + 2, base + 3});
        }
    return cube;
}

float brightness(const glm::u8vec4& p)
{
    return (p.r + p.g + p.b) / 3.0f;
}

class GamePrograms : public testsupport::GlTest {};

} // namespace

TEST_F(GamePrograms, ShadowedGroundAndOutlinedToonBoxDrawWithTheGamesPrograms)
{
    const auto depth = gameProgram("sm_shader_pass1");
    const auto shadowed = gameProgram("sm_material_shader_pass2");
    const auto outline = gameProgram("toon_silhouette");
    const auto toon = gameProgram("toon_material_shader");
    frosk::Config config("no such config file");
    config.width = 320;
    config.height = 240;
    frosk::effects::ShadowMapping shadowMapping(depth.get(), config.width, config.height);
    frosk::effects::ToonShading toonShading(outline.get(), config.width, config.height);
    const glm::vec3 eye(0, 6, 10);
    const frosk::Camera camera =
        frosk::Camera::looking(glm::lookAt(eye, glm::vec3(0, 1, 0), glm::vec3(0, 1, 0)), eye, config.width, config.height);
    shadowMapping.camera = camera;
    toonShading.camera = camera;

    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("crumbrise_game_programs_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    testscene::Scene groundScene;
    groundScene.meshes.push_back(ground(10));
    groundScene.root.meshes = {0};
    ASSERT_TRUE(testscene::write(groundScene, (folder / "ground.dae").string()));
    testscene::Scene boxScene;
    boxScene.meshes.push_back(box(1, {1.0f, 0.5f, 0.1f}));
    testscene::Node raised;
    raised.transform = glm::translate(glm::mat4(1.0f), glm::vec3(0, 4, 0));
    raised.meshes = {0};
    boxScene.root.children.push_back(raised);
    ASSERT_TRUE(testscene::write(boxScene, (folder / "box.dae").string()));

    frosk::modelLoader::ModelLoader loader(&shadowMapping, &toonShading);
    const auto groundModel = loader.loadModel(shadowed->programHandle, (folder / "ground.dae").string());
    const auto boxModel = loader.loadModel(toon->programHandle, (folder / "box.dae").string());
    std::filesystem::remove_all(folder);

    for (GLuint program : {shadowed->programHandle, toon->programHandle}) {
        glUseProgram(program);
        glUniform3f(glGetUniformLocation(program, "cameraPosition"), eye.x, eye.y, eye.z);
    }

    {
        frosk::effects::PassScope pass(config.width, config.height);
        shadowMapping.startPass1(pass);
        groundModel->drawDepth(groundModel->transform);
        boxModel->drawDepth(boxModel->transform);
    }

    testsupport::OffscreenTarget target(320, 240);
    target.bind();
    target.clear({0.4f, 0.6f, 0.9f, 1.0f});
    glEnable(GL_DEPTH_TEST);
    groundModel->drawShadowed(groundModel->transform);
    boxModel->drawSilhouette(boxModel->transform);
    boxModel->drawToon(boxModel->transform);
    target.savePng("game_programs_box_on_ground");
    glDisable(GL_DEPTH_TEST);
    EXPECT_EQ(testsupport::glErrors(), "");

    const auto pixelOf = [&](const glm::vec3& world) {
        const glm::vec4 clip = camera.viewProjection() * glm::vec4(world, 1);
        return target.pixel(static_cast<int>((clip.x / clip.w * 0.5f + 0.5f) * 320),
                            static_cast<int>((clip.y / clip.w * 0.5f + 0.5f) * 240));
    };
    // The box's centre (0, 4, 0) throws its shadow along the light onto (-0.8, 0, 3.2).
    const glm::u8vec4 inShadow = pixelOf({-0.8f, 0, 3.2f});
    const glm::u8vec4 inSun = pixelOf({5, 0, 3.2f});
    EXPECT_LT(brightness(inShadow), 0.8f * brightness(inSun));
    const glm::u8vec4 boxFront = pixelOf({0, 4, 1});
    EXPECT_GT(boxFront.r, boxFront.b) << "the box is orange";

    // The outline: near-black pixels around the box.
    int dark = 0;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            dark += brightness(target.pixel(x, y)) < 20.0f;
    EXPECT_GT(dark, 50);
}
