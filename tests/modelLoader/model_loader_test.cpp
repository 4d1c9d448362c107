#include "modelLoader/model_loader.h"

#include "collada_scene.h"
#include "datastructures/mesh.h"
#include "datastructures/tree_node.h"
#include "datastructures/vertex.h"
#include "support/gl_context.h"
#include "support/offscreen.h"
#include "../datastructures/test_programs.h"

#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <glm/gtc/matrix_transform.hpp>

#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <unistd.h>

using frosk::datastructures::Mesh;
using frosk::datastructures::TreeNode;
using frosk::datastructures::Vertex;
using frosk::modelLoader::ModelLoader;

namespace {

namespace fs = std::filesystem;

// Each test works in a folder of its own with a "Textures/" beside the model
// files, as the game does from its data root.
class ScratchFolder {
public:
    ScratchFolder()
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = fs::temp_directory_path() /
                 ("crumbrise_models_" + std::to_string(getpid()) + "_" + info->name());
        fs::create_directories(folder / "Textures");
        fs::create_directories(folder / "Models");
        previous = fs::current_path();
        fs::current_path(folder);
    }
    ~ScratchFolder()
    {
        fs::current_path(previous);
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    fs::path folder;
    fs::path previous;
};

// A mesh of the tree with the matrix the traversal would hand it, root's
// own transform included as scene objects do.
struct PlacedMesh {
    Mesh* mesh;
    glm::mat4 world;
};

void collect(TreeNode& node, const glm::mat4& matrix, std::vector<PlacedMesh>& out)
{
    for (auto& mesh : node.meshes)
        out.push_back({mesh.get(), matrix});
    for (auto& child : node.children)
        collect(*child, matrix * child->transform, out);
}

std::vector<PlacedMesh> meshesOf(TreeNode& root)
{
    std::vector<PlacedMesh> out;
    collect(root, root.transform, out);
    return out;
}

glm::mat4 translation(float x, float y, float z)
{
    return glm::translate(glm::mat4(1.0f), glm::vec3(x, y, z));
}

// The cube of half size 1 with a normal per face, as a modeller writes it.
testscene::Mesh faceted(const glm::vec3& colour)
{
    testscene::Mesh cube;
    const glm::vec3 axes[] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int axis = 0; axis < 3; ++axis)
        for (float side : {1.0f, -1.0f}) {
            const glm::vec3 n = axes[axis] * side, u = axes[(axis + 1) % 3] * side, v = axes[(axis + 2) % 3];
            const auto base = static_cast<unsigned>(cube.positions.size());
            for (const glm::vec2& c : {glm::vec2(-1, -1), glm::vec2(1, -1), glm::vec2(1, 1), glm::vec2(-1, 1)}) {
                cube.positions.push_back(n + c.x * u + c.y * v);
                cube.normals.push_back(n);
                cube.colours.push_back(colour);
            }
            cube.faces.push_back({base, base + 1, base + 2});
            cube.faces.push_back({base, base + 2, base + 3});
        }
    return cube;
}

class ModelLoaderTest : public testsupport::GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        program = testprograms::plainTexture();
    }

    std::unique_ptr<TreeNode> load(const testscene::Scene& scene, const std::string& file)
    {
        EXPECT_TRUE(testscene::write(scene, file));
        return loader.loadModel(program->programHandle, file);
    }

    ScratchFolder scratch;
    std::unique_ptr<frosk::Shader> program;
    ModelLoader loader{nullptr, nullptr};
};

} // namespace

TEST_F(ModelLoaderTest, TreeMirrorsTheFileWithTransformsColoursAndTextureCoordinates)
{
    testscene::Scene scene;
    scene.materials[0].diffuse = {0.25f, 0.5f, 0.75f};
    scene.meshes.push_back(testscene::quad({1, 0, 0}));
    testscene::Mesh plain = testscene::quad({0, 0, 0});
    plain.colours.clear();
    plain.uvs.clear();
    scene.meshes.push_back(plain);
    scene.meshes.push_back(faceted({0, 1, 0}));
    testscene::Node a;
    a.name = "a";
    a.transform = translation(1, 0, 0);
    a.meshes = {0};
    testscene::Node b;
    b.name = "b";
    b.transform = translation(0, 2, 0);
    b.meshes = {1, 2};
    a.children.push_back(b);
    scene.root.children.push_back(a);

    const auto root = load(scene, "Models/tree.dae");
    const std::vector<PlacedMesh> meshes = meshesOf(*root);
    ASSERT_EQ(meshes.size(), 3u);

    // Parent x child, in the file's order.
    EXPECT_EQ(meshes[0].world[3], glm::vec4(1, 0, 0, 1));
    EXPECT_EQ(meshes[1].world[3], glm::vec4(1, 2, 0, 1));
    EXPECT_EQ(meshes[2].world[3], glm::vec4(1, 2, 0, 1));

    for (const PlacedMesh& placed : meshes) {
        const Mesh& mesh = *placed.mesh;
        EXPECT_EQ(mesh.program, program->programHandle);
        EXPECT_EQ(mesh.secondProgram, 0u);
        EXPECT_TRUE(mesh.textures.empty());
        ASSERT_FALSE(mesh.indices.empty());
        EXPECT_EQ(mesh.indices.size() % 3, 0u);
        for (GLuint index : mesh.indices)
            EXPECT_LT(index, mesh.vertices.size());
    }
    // Vertex colours; texture coordinates flipped to the upper-left origin of the images.
    for (const Vertex& v : meshes[0].mesh->vertices) {
        EXPECT_EQ(v.color, glm::vec3(1, 0, 0));
        EXPECT_EQ(v.uv, glm::vec2(v.position.x, 1.0f - v.position.y));
        EXPECT_EQ(v.normal, glm::vec3(0, 0, 1));
        EXPECT_EQ(v.smoothNormal, glm::vec3(0, 0, 1));
    }
    // No vertex colours: the material's diffuse colour; no coordinates: (0, 0).
    for (const Vertex& v : meshes[1].mesh->vertices) {
        EXPECT_EQ(v.color, glm::vec3(0.25f, 0.5f, 0.75f));
        EXPECT_EQ(v.uv, glm::vec2(0, 0));
    }
    // The faceted cube keeps its face normals and gets corner normals smoothed
    // over the three faces that meet there.
    const Mesh& cube = *meshes[2].mesh;
    EXPECT_EQ(cube.vertices.size(), cube.indices.size() >= 36 ? cube.vertices.size() : 0u);
    for (const Vertex& v : cube.vertices) {
        EXPECT_FLOAT_EQ(glm::length(v.normal), 1.0f);
        EXPECT_EQ(std::abs(v.normal.x) + std::abs(v.normal.y) + std::abs(v.normal.z), 1.0f);
        const glm::vec3 corner = glm::normalize(v.position);
        EXPECT_NEAR(glm::distance(v.smoothNormal, corner), 0.0f, 1e-6f) << v.position.x << v.position.y;
    }
    EXPECT_EQ(testsupport::glErrors(), "");
}

TEST_F(ModelLoaderTest, MaterialWithoutDiffuseColourGivesBlack)
{
    testscene::Scene scene;
    scene.materials[0].hasDiffuse = false;
    testscene::Mesh mesh = testscene::quad({0, 0, 0});
    mesh.colours.clear();
    scene.meshes.push_back(mesh);
    scene.root.meshes = {0};
    // Assimp's own binary form: its COLLADA writer puts in a diffuse colour of its own.
    const auto root = load(scene, "Models/black.assbin");
    const std::vector<PlacedMesh> meshes = meshesOf(*root);
    ASSERT_EQ(meshes.size(), 1u);
    for (const Vertex& v : meshes[0].mesh->vertices)
        EXPECT_EQ(v.color, glm::vec3(0, 0, 0));
}

// An image whose upper half is red and lower half green, on a quad whose
// texture coordinates follow the file's convention (v up): it must come out
// red at the top.
TEST_F(ModelLoaderTest, SharedTextureIsLoadedOnceAndDrawnTheRightWayUp)
{
    std::vector<unsigned char> image;
    for (int row = 0; row < 8; ++row) // bottom row first
        for (int column = 0; column < 8; ++column) {
            const bool upper = row >= 4;
            image.insert(image.end(), {static_cast<unsigned char>(upper ? 255 : 0),
                                       static_cast<unsigned char>(upper ? 0 : 255), 0, 255});
        }
    ASSERT_TRUE(testsupport::writePng("Textures/updown.png", 8, 8, image));

    testscene::Scene scene;
    scene.materials[0].textures = {"updown.png"};
    testscene::Material same;
    same.textures = {"./updown.png"};
    scene.materials.push_back(same);
    for (int i = 0; i < 3; ++i) {
        scene.meshes.push_back(testscene::quad({1, 1, 1}));
        scene.meshes.back().material = i == 2 ? 1 : 0;
        scene.root.meshes.push_back(static_cast<unsigned>(i));
    }
    const auto root = load(scene, "Models/textured.dae");
    const std::vector<PlacedMesh> meshes = meshesOf(*root);
    ASSERT_EQ(meshes.size(), 3u);
    ASSERT_EQ(meshes[0].mesh->textures.size(), 1u);
    const GLuint texture = meshes[0].mesh->textures[0];
    EXPECT_TRUE(glIsTexture(texture));
    EXPECT_EQ(meshes[1].mesh->textures, std::vector<GLuint>{texture});
    EXPECT_EQ(meshes[2].mesh->textures, std::vector<GLuint>{texture});

    GLint width = 0, minFilter = 0, magFilter = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
    EXPECT_EQ(width, 8);
    EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(magFilter, GL_LINEAR);

    testsupport::OffscreenTarget target(100, 100);
    target.bind();
    target.clear({0, 0, 0, 1});
    glUseProgram(program->programHandle);
    // The unit quad over the whole target.
    meshes[0].mesh->draw(translation(-1, -1, 0) * glm::scale(glm::mat4(1.0f), glm::vec3(2, 2, 1)));
    target.savePng("model_textured_quad");
    EXPECT_EQ(target.pixel(50, 80), glm::u8vec4(255, 0, 0, 255));
    EXPECT_EQ(target.pixel(50, 20), glm::u8vec4(0, 255, 0, 255));
    target.unbind();
    EXPECT_EQ(testsupport::glErrors(), "");
}

// The outline's white front faces can show only through texels that the toon
// draw cuts out (alpha below one half: 127 of 255 is, 128 is not), so each
// mesh learns from its images whether it has any.
TEST_F(ModelLoaderTest, MeshesKnowWhetherTheirTexturesHaveCutOutTexels)
{
    const auto writeImage = [](const std::string& file, unsigned char lowestAlpha) {
        std::vector<unsigned char> image;
        for (int i = 0; i < 16; ++i)
            image.insert(image.end(), {200, 100, 50, static_cast<unsigned char>(i == 9 ? lowestAlpha : 255)});
        return testsupport::writePng("Textures/" + file, 4, 4, image);
    };
    ASSERT_TRUE(writeImage("half.png", 128));
    ASSERT_TRUE(writeImage("holed.png", 127));

    testscene::Scene scene;
    scene.materials[0].textures = {"half.png"};
    testscene::Material holed, none;
    holed.textures = {"holed.png"};
    scene.materials.insert(scene.materials.end(), {holed, none});
    for (unsigned i = 0; i < 3; ++i) {
        scene.meshes.push_back(testscene::quad({1, 1, 1}));
        scene.meshes.back().material = i;
        scene.root.meshes.push_back(i);
    }
    // The second load takes the images from the run's cache.
    for (int load = 0; load < 2; ++load) {
        const auto root = this->load(scene, "Models/alpha.dae");
        const std::vector<PlacedMesh> meshes = meshesOf(*root);
        ASSERT_EQ(meshes.size(), 3u);
        EXPECT_FALSE(meshes[0].mesh->cutOutTexels) << "load " << load;
        EXPECT_TRUE(meshes[1].mesh->cutOutTexels) << "load " << load;
        EXPECT_FALSE(meshes[2].mesh->cutOutTexels) << "load " << load;
    }
}

TEST_F(ModelLoaderTest, MissingTextureIsReportedOnceWithoutLineBreakAndTheMeshKeepsItsColours)
{
    testscene::Scene scene;
    scene.materials[0].textures = {"missing.png"};
    scene.meshes = {testscene::quad({1, 1, 0}), testscene::quad({1, 1, 0})};
    scene.root.meshes = {0, 1};
    ASSERT_TRUE(testscene::write(scene, "Models/missing.dae"));

    testing::internal::CaptureStdout();
    const auto root = loader.loadModel(program->programHandle, "Models/missing.dae");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Could not load Image: Textures/missing.png");

    const std::vector<PlacedMesh> meshes = meshesOf(*root);
    ASSERT_EQ(meshes.size(), 2u);
    EXPECT_TRUE(meshes[0].mesh->textures.empty());
    for (const Vertex& v : meshes[0].mesh->vertices)
        EXPECT_EQ(v.color, glm::vec3(1, 1, 0));

    testsupport::OffscreenTarget target(20, 20);
    target.bind();
    target.clear({0, 0, 0, 1});
    const auto colourProgram = testprograms::plainColour();
    glUseProgram(colourProgram->programHandle);
    meshes[0].mesh->draw(translation(-1, -1, 0) * glm::scale(glm::mat4(1.0f), glm::vec3(2, 2, 1)));
    EXPECT_EQ(target.pixel(10, 10), glm::u8vec4(255, 255, 0, 255));
    target.unbind();
}

TEST_F(ModelLoaderTest, SecondProgramGoesToEveryMeshOfThatLoadOnly)
{
    testscene::Scene scene;
    scene.meshes = {testscene::quad({1, 0, 0}), testscene::quad({0, 1, 0})};
    scene.root.meshes = {0};
    testscene::Node child;
    child.meshes = {1};
    scene.root.children.push_back(child);
    ASSERT_TRUE(testscene::write(scene, "Models/glow.dae"));

    const auto second = testprograms::secondary();
    const auto glowing = loader.loadModel(program->programHandle, second->programHandle, "Models/glow.dae");
    EXPECT_EQ(loader.secondProgram, second->programHandle);
    const std::vector<PlacedMesh> meshes = meshesOf(*glowing);
    ASSERT_EQ(meshes.size(), 2u);
    for (const PlacedMesh& placed : meshes) {
        EXPECT_EQ(placed.mesh->secondProgram, second->programHandle);
        EXPECT_NE(placed.mesh->secondaryVAO, 0u);
    }

    const auto plain = loader.loadModel(program->programHandle, "Models/glow.dae");
    EXPECT_EQ(loader.secondProgram, 0u);
    for (const PlacedMesh& placed : meshesOf(*plain)) {
        EXPECT_EQ(placed.mesh->secondProgram, 0u);
        EXPECT_EQ(placed.mesh->secondaryVAO, 0u);
    }
}

// Assimp's binary form keeps what its COLLADA reader would already refuse or
// turn into an incomplete scene.
TEST_F(ModelLoaderTest, MeshesWithNothingToDrawAreLeftOutWithAMessageAndTheRestLoads)
{
    testscene::Scene scene;
    testscene::Mesh points = testscene::quad({1, 0, 0});
    points.faces = {{0}, {1}, {2}};
    testscene::Mesh bareLines = testscene::quad({1, 0, 0});
    bareLines.normals.clear();
    bareLines.faces = {{0, 1}, {1, 2}};
    testscene::Mesh mixed = testscene::quad({0, 0, 1});
    mixed.faces = {{0, 1, 2}, {2, 3}};
    scene.meshes = {points, testscene::quad({0, 1, 0}), bareLines, mixed};
    scene.root.meshes = {0, 1, 2, 3};
    ASSERT_TRUE(testscene::write(scene, "Models/sparse.assbin"));

    testing::internal::CaptureStdout();
    const auto root = loader.loadModel(program->programHandle, "Models/sparse.assbin");
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("Model Models/sparse.assbin, mesh 0 \"\": it has only points and lines; it is left out\n"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("mesh 2 \"\": it has no normals; it is left out\n"), std::string::npos) << output;
    EXPECT_NE(output.find("mesh 3 \"\": point and line faces left out: 1\n"), std::string::npos)
        << output;

    const std::vector<PlacedMesh> meshes = meshesOf(*root);
    ASSERT_EQ(meshes.size(), 2u);
    EXPECT_EQ(meshes[0].mesh->vertices[0].color, glm::vec3(0, 1, 0));
    EXPECT_EQ(meshes[1].mesh->indices, (std::vector<GLuint>{0, 1, 2}));
    EXPECT_EQ(testsupport::glErrors(), "");
}

namespace {

// Loads in a child process whose standard output goes where the death test
// reads, and expects it to end with status -1 and `message`.
class BrokenModelTest : public ::testing::Test {
protected:
    void expectFatal(const testscene::Scene* scene, const std::string& file, const std::string& message)
    {
        if (scene) {
            ASSERT_TRUE(testscene::write(*scene, file));
        }
        ModelLoader loader(nullptr, nullptr);
        EXPECT_EXIT(
            {
                dup2(STDERR_FILENO, STDOUT_FILENO);
                loader.loadModel(1, file);
            },
            ::testing::ExitedWithCode(255), message);
    }

    ScratchFolder scratch;
};

testscene::Scene oneQuad()
{
    testscene::Scene scene;
    scene.meshes.push_back(testscene::quad({1, 1, 1}));
    scene.root.meshes = {0};
    return scene;
}

} // namespace

TEST_F(BrokenModelTest, UnreadableFileIsFatalWithTheImportersReason)
{
    expectFatal(nullptr, "Models/none.dae", "^Failed to open Model\nUnable to open file \"Models/none.dae\"\\.\n$");
}

TEST_F(BrokenModelTest, IndexPastTheVerticesIsRefusedBeforeAnythingReadsIt)
{
    testscene::Scene scene = oneQuad();
    scene.meshes[0].faces[1] = {0, 2, 4};
    expectFatal(&scene, "Models/index.assbin",
                "^Failed to open Model\nValidation failed: aiMesh::mFaces\\[1\\]::mIndices\\[2\\] is out of range\n"
                "in Models/index.assbin\n$");
    // The COLLADA reader refuses it itself.
    expectFatal(&scene, "Models/index.dae", "^Failed to open Model\n.*Invalid data index.*\nin Models/index.dae\n$");
}

TEST_F(BrokenModelTest, MaterialOrMeshThatDoesNotExistIsRefused)
{
    testscene::Scene material = oneQuad();
    material.meshes[0].material = 3;
    expectFatal(&material, "Models/material.assbin", "^Failed to open Model\nValidation failed: aiMesh::mMaterialIndex is invalid");
    testscene::Scene node = oneQuad();
    node.root.meshes = {0, 4};
    expectFatal(&node, "Models/node.assbin", "^Failed to open Model\nValidation failed: aiNode::mMeshes\\[4\\] is out of range for node");
}

TEST_F(BrokenModelTest, SceneWithoutMeshesOrFacesIsRefused)
{
    testscene::Scene empty;
    expectFatal(&empty, "Models/empty.assbin", "^Failed to open Model\nValidation failed: aiScene::mNumMeshes is 0");
    testscene::Scene faceless = oneQuad();
    faceless.meshes[0].faces.clear();
    expectFatal(&faceless, "Models/faceless.assbin", "^Failed to open Model\nValidation failed: .*no faces");
    // From COLLADA these come back as incomplete scenes.
    expectFatal(&empty, "Models/empty.dae", "^The file wasn't successfully opened: Models/empty.dae\n$");
    testscene::Scene points = oneQuad();
    points.meshes[0].faces = {{0}, {1}};
    expectFatal(&points, "Models/points.dae", "^The file wasn't successfully opened: Models/points.dae\n$");
}

namespace {

// The vertex the loader makes of corner `i` of `mesh`, before smoothing.
Vertex cornerOf(const aiScene& scene, const aiMesh& mesh, unsigned i)
{
    Vertex v;
    v.position = {mesh.mVertices[i].x, mesh.mVertices[i].y, mesh.mVertices[i].z};
    v.normal = {mesh.mNormals[i].x, mesh.mNormals[i].y, mesh.mNormals[i].z};
    aiColor4D c(0.0f, 0.0f, 0.0f, 0.0f);
    if (mesh.HasVertexColors(0))
        c = mesh.mColors[0][i];
    else if (mesh.mMaterialIndex < scene.mNumMaterials)
        aiGetMaterialColor(scene.mMaterials[mesh.mMaterialIndex], AI_MATKEY_COLOR_DIFFUSE, &c);
    v.color = {c.r, c.g, c.b};
    if (mesh.HasTextureCoords(0))
        v.uv = {mesh.mTextureCoords[0][i].x, mesh.mTextureCoords[0][i].y};
    return v;
}

// Every triangle corner of the loaded tree carries exactly the attributes of
// the file's corner, smooth normal included, however the corners are shared.
void expectSameCorners(const aiScene& scene, const aiNode& node, const TreeNode& tree, std::size_t& joined)
{
    ASSERT_EQ(tree.meshes.size(), node.mNumMeshes);
    for (unsigned m = 0; m < node.mNumMeshes; ++m) {
        const aiMesh& source = *scene.mMeshes[node.mMeshes[m]];
        const Mesh& mesh = *tree.meshes[m];
        std::vector<Vertex> corners(source.mNumVertices);
        for (unsigned i = 0; i < source.mNumVertices; ++i)
            corners[i] = cornerOf(scene, source, i);
        frosk::datastructures::computeSmoothNormals(corners);

        std::vector<GLuint> expected;
        for (unsigned f = 0; f < source.mNumFaces; ++f)
            for (unsigned k = 0; source.mFaces[f].mNumIndices == 3 && k < 3; ++k)
                expected.push_back(source.mFaces[f].mIndices[k]);
        ASSERT_EQ(mesh.indices.size(), expected.size());
        for (std::size_t c = 0; c < expected.size(); ++c) {
            ASSERT_LT(mesh.indices[c], mesh.vertices.size());
            ASSERT_EQ(std::memcmp(&mesh.vertices[mesh.indices[c]], &corners[expected[c]], sizeof(Vertex)), 0)
                << "corner " << c;
        }
        // No vertex is there twice.
        std::set<std::string> distinct;
        for (const Vertex& v : mesh.vertices)
            distinct.insert(std::string(reinterpret_cast<const char*>(&v), sizeof v));
        EXPECT_EQ(distinct.size(), mesh.vertices.size());
        joined += source.mNumVertices - mesh.vertices.size();
    }
    ASSERT_EQ(tree.children.size(), node.mNumChildren);
    for (unsigned i = 0; i < node.mNumChildren; ++i)
        expectSameCorners(scene, *node.mChildren[i], *tree.children[i], joined);
}

class GameModelTest : public testsupport::GlTest {};

} // namespace

// Corners that agree in everything are drawn as one vertex; every triangle
// still sees what the file says, with the smooth normal of all the corners.
TEST_F(GameModelTest, GameModelsShareIdenticalCornersWithoutChangingAnyTriangle)
{
    auto program = testprograms::plainTexture();
    for (const char* file : {"Models/cakeTex_1.dae", "Models/handTex_46.dae", "Models/target6.dae"}) {
        SCOPED_TRACE(file);
        ModelLoader loader{nullptr, nullptr};
        const auto root = loader.loadModel(program->programHandle, file);
        ASSERT_NE(root, nullptr);
        Assimp::Importer importer;
        const aiScene* scene = importer.ReadFile(file, aiProcess_CalcTangentSpace | aiProcess_Triangulate |
                                                           aiProcess_GenSmoothNormals | aiProcess_FlipUVs);
        ASSERT_NE(scene, nullptr) << importer.GetErrorString();
        std::size_t joined = 0;
        expectSameCorners(*scene, *scene->mRootNode, *root, joined);
        EXPECT_GT(joined, 0u);
    }
}
