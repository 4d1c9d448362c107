// The generated levels as the game draws them: loaded with the game's model
// loader and drawn with its own shadow and toon programs, from where the
// player stands, with the targets, the snowmen, the sky and the held cake.

#include "assetgen.h"

#include "app/config.h"
#include "datastructures/mesh.h"
#include "datastructures/tree_node.h"
#include "effects/render_pass.h"
#include "effects/shadow_mapping.h"
#include "effects/toon_shading.h"
#include "modelLoader/model_loader.h"
#include "shader/shader.h"
#include "support/gl_context.h"
#include "support/offscreen.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

namespace {

using frosk::datastructures::Mesh;
using frosk::datastructures::TreeNode;

template <typename Visit>
void forEachMesh(const TreeNode& node, const Visit& visit)
{
    for (const std::unique_ptr<Mesh>& mesh : node.meshes)
        visit(*mesh);
    for (const std::unique_ptr<TreeNode>& child : node.children)
        forEachMesh(*child, visit);
}

std::unique_ptr<frosk::Shader> gameProgram(const std::string& name)
{
    return std::make_unique<frosk::Shader>("Shader/" + name + ".vert", "Shader/" + name + ".frag");
}

class GameLook : public testsupport::GlTest, public ::testing::WithParamInterface<int> {};

TEST_P(GameLook, PlayersViewWithTheGamesPrograms)
{
    const int level = GetParam();
    const auto depth = gameProgram("sm_shader_pass1");
    const auto shadowMaterial = gameProgram("sm_material_shader_pass2");
    const auto outline = gameProgram("toon_silhouette");
    const auto toonMaterial = gameProgram("toon_material_shader");
    const auto toonTexture = gameProgram("toon_texture_shader");
    const auto sky = gameProgram("heaven");
    frosk::Config config("no such config file");
    config.width = 480;
    config.height = 360;
    frosk::effects::ShadowMapping shadowMapping(depth.get(), config.width, config.height);
    frosk::effects::ToonShading toonShading(outline.get(), config.width, config.height);
    // The player at the start, looking a little to the right of +z.
    const glm::vec3 eye(0.0f, 0.72f, 0.0f);
    const glm::vec3 direction = glm::normalize(glm::vec3(level == 1 ? -0.25f : 0.1f, -0.05f, 1.0f));
    const frosk::Camera camera =
        frosk::Camera::looking(glm::lookAt(eye, eye + direction, glm::vec3(0, 1, 0)), eye, config.width, config.height);
    shadowMapping.camera = camera;
    toonShading.camera = camera;

    frosk::modelLoader::ModelLoader loader(&shadowMapping, &toonShading);
    const auto terrain = loader.loadModel(toonTexture->programHandle,
                                          level == 1 ? "Models/level1_big_trees.dae" : "Models/level2_trees.dae");
    const auto target = loader.loadModel(shadowMaterial->programHandle, "Models/target6.dae");
    const auto snowman = loader.loadModel(toonMaterial->programHandle, "Models/snowman_animation.dae");
    const auto cake = loader.loadModel(toonTexture->programHandle, "Models/cakeTex_3_small.dae");
    const auto hand = loader.loadModel(toonTexture->programHandle, "Models/handTex_46.dae");
    frosk::modelLoader::ModelLoader plainLoader(nullptr, nullptr);
    const auto heaven = plainLoader.loadModel(sky->programHandle, "Models/heaven.dae");
    ASSERT_TRUE(terrain && target && snowman && cake && hand && heaven);

    const glm::mat4 terrainPlace = glm::translate(glm::mat4(1.0f), glm::vec3(0, -2, 0));
    std::vector<glm::mat4> targets, snowmen;
    for (const assetgen::TargetPlacement& t : assetgen::levelTargets(level))
        targets.push_back(assetgen::targetMatrix(t, 0.0f));
    if (level == 2) {
        const float scales[3] = {1.0f, 0.5f, 0.9f}, angles[3] = {125, 140, 100};
        for (int k = 0; k < 3; ++k) {
            const glm::vec2 s = assetgen::snowmanSpots()[k];
            snowmen.push_back(glm::translate(glm::mat4(1.0f), glm::vec3(s.x, -1.95f, s.y)) *
                              glm::rotate(glm::mat4(1.0f), glm::radians(angles[k]), glm::vec3(0, 1, 0)) *
                              glm::scale(glm::mat4(1.0f), glm::vec3(scales[k])));
        }
    }
    // The hand follows the camera's position and yaw, as the controller sets it.
    const glm::mat4 handPose = glm::rotate(glm::translate(glm::mat4(1.0f), eye), std::atan2(direction.x, direction.z),
                                           glm::vec3(0, 1, 0));

    for (GLuint program : {shadowMaterial->programHandle, toonMaterial->programHandle, toonTexture->programHandle}) {
        glUseProgram(program);
        glUniform3f(glGetUniformLocation(program, "cameraPosition"), eye.x, eye.y, eye.z);
    }
    {
        frosk::effects::PassScope pass(config.width, config.height);
        shadowMapping.startPass1(pass);
        terrain->drawDepth(terrainPlace * terrain->transform);
        for (const glm::mat4& m : targets)
            target->drawDepth(m * target->transform);
        for (const glm::mat4& m : snowmen)
            snowman->drawDepth(m * snowman->transform);
    }

    testsupport::OffscreenTarget picture(config.width, config.height);
    const auto drawView = [&] {
        picture.bind();
        picture.clear({0.0f, 0.0f, 0.0f, 1.0f});
        glEnable(GL_DEPTH_TEST);
        terrain->drawSilhouette(terrainPlace * terrain->transform);
        terrain->drawToon(terrainPlace * terrain->transform);
        for (const glm::mat4& m : targets) {
            target->drawSilhouette(m * target->transform);
            target->drawShadowed(m * target->transform);
        }
        for (const glm::mat4& m : snowmen) {
            snowman->drawSilhouette(m * snowman->transform);
            snowman->drawToon(m * snowman->transform);
        }
        glUseProgram(sky->programHandle);
        glUniformMatrix4fv(glGetUniformLocation(sky->programHandle, "projectionMatrix"), 1, GL_FALSE,
                           glm::value_ptr(camera.projection));
        glUniformMatrix4fv(glGetUniformLocation(sky->programHandle, "viewMatrix"), 1, GL_FALSE,
                           glm::value_ptr(camera.view));
        heaven->draw(heaven->transform);
        glClear(GL_DEPTH_BUFFER_BIT);
        hand->drawSilhouette(handPose * hand->transform);
        hand->drawToon(handPose * hand->transform);
        cake->drawSilhouette(handPose * cake->transform);
        cake->drawToon(handPose * cake->transform);
        glDisable(GL_DEPTH_TEST);
        return picture.readRgba();
    };
    const std::vector<unsigned char> rgba = drawView();
    picture.savePng("asset_game_look_level" + std::to_string(level));
    EXPECT_EQ(testsupport::glErrors(), "");

    // The generated textures are opaque, so the outlines leave out their white
    // front faces; drawn as well, the toon draws would cover every one of them.
    for (const TreeNode* model : {terrain.get(), target.get(), snowman.get(), cake.get(), hand.get()})
        forEachMesh(*model, [](Mesh& mesh) {
            EXPECT_FALSE(mesh.cutOutTexels);
            mesh.cutOutTexels = true;
        });
    EXPECT_EQ(testsupport::differingBytes(drawView(), rgba), 0u) << "the white of the outlines shows";

    // Nothing is left black: the sky fills every pixel the scenery leaves.
    size_t black = 0;
    for (size_t i = 0; i < rgba.size(); i += 4)
        black += rgba[i] + rgba[i + 1] + rgba[i + 2] < 30;
    EXPECT_LT(black, rgba.size() / 4 / 10) << "more than outlines are black";
}

INSTANTIATE_TEST_SUITE_P(BothLevels, GameLook, ::testing::Values(1, 2));

} // namespace
