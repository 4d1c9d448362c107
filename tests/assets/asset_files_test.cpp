// The generated data set, read back file by file with the libraries the game
// uses. Tests run in the runtime root, so paths are the game's own.

#include "model_scene.h"
#include "support/sound_device.h"

#include <AL/alut.h>
#include <IL/il.h>
#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;
using assettest::readModel;

namespace {

struct ModelFile {
    const char* path;
    bool drawn;
    size_t budget;
};

// Every model the game loads, with its triangle budget.
const ModelFile models[] = {
    {"Models/level1_big_trees.dae", true, 25000},
    {"Models/level1_boundingbox3.dae", false, 5000},
    {"Models/level2_trees.dae", true, 25000},
    {"Models/level2_boundingbox.dae", false, 5000},
    {"Models/Terrain_3.dae", true, 25000},
    {"Models/heaven.dae", true, 5000},
    {"Models/cakeTex_1.dae", true, 1500},
    {"Models/cakeTex_2.dae", true, 1500},
    {"Models/cakeTex_3.dae", true, 1500},
    {"Models/cakeTex_4.dae", true, 1500},
    {"Models/cakeTex_3_small.dae", true, 1500},
    {"Models/handTex_46.dae", true, 2000},
    {"Models/snowman_animation.dae", true, 3000},
    {"Models/snowman_boundingbox2.dae", false, 5000},
    {"Models/snowman_boundingbox_woman.dae", false, 5000},
    {"Models/snowman_boundingbox_child.dae", false, 5000},
    {"Models/target6.dae", true, 1000},
    {"Models/target5.dae", false, 1000},
};

const char* images[] = {"reticle2.png", "cake2.png", "Target_1.png", "Textures/particle-3.png",
                        "Textures/particle-4.png"};

const char* sounds[] = {"Sounds/GoGoNaruto.wav", "Sounds/throw3.wav", "Sounds/smash1_lower.wav",
                        "Sounds/grenadeExplosion.wav", "Sounds/Fake.wav"};

const char* font = "Fonts/CantoraOne-Regular.ttf";

struct DevilImage {
    ILuint id = 0;
    bool loaded = false;
    DevilImage(const std::string& path, ILenum origin)
    {
        ilInit();
        ilGenImages(1, &id);
        ilBindImage(id);
        ilEnable(IL_ORIGIN_SET);
        ilOriginFunc(origin);
        loaded = ilLoadImage(path.c_str()) && ilConvertImage(IL_RGBA, IL_UNSIGNED_BYTE);
    }
    ~DevilImage() { ilDeleteImages(1, &id); }
    int width() const { return ilGetInteger(IL_IMAGE_WIDTH); }
    int height() const { return ilGetInteger(IL_IMAGE_HEIGHT); }
    unsigned alpha(int x, int y) const { return ilGetData()[(static_cast<size_t>(y) * width() + x) * 4 + 3]; }
};

std::string readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(GeneratedModels, ReadBackWithTheGameFlagsWithinTheirBudgets)
{
    for (const ModelFile& m : models) {
        SCOPED_TRACE(m.path);
        Assimp::Importer importer;
        const aiScene* scene = importer.ReadFile(m.path, m.drawn ? assettest::drawnFlags : assettest::collisionFlags);
        ASSERT_NE(scene, nullptr) << importer.GetErrorString();
        EXPECT_NE(scene->mFlags, static_cast<unsigned>(AI_SCENE_FLAGS_INCOMPLETE));
        ASSERT_NE(scene->mRootNode, nullptr);
        EXPECT_TRUE(scene->mRootNode->mTransformation.IsIdentity()) << "a non-identity root comes back wrapped";

        const assettest::Scene flat = readModel(m.path, m.drawn ? assettest::drawnFlags : assettest::collisionFlags);
        EXPECT_GT(flat.triangles, 0u);
        EXPECT_LE(flat.triangles, m.budget);
        for (unsigned i = 0; i < scene->mNumMeshes; ++i) {
            const aiMesh* mesh = scene->mMeshes[i];
            EXPECT_TRUE(mesh->HasNormals());
            if (m.drawn) {
                EXPECT_TRUE(mesh->HasTextureCoords(0)) << mesh->mName.C_Str();
                EXPECT_TRUE(mesh->HasVertexColors(0)) << mesh->mName.C_Str();
            }
        }
        // Every texture a model names loads from Textures/ as the game loads it.
        for (const assettest::Part& part : flat.parts)
            if (!part.texture.empty()) {
                DevilImage image("Textures/" + part.texture, IL_ORIGIN_UPPER_LEFT);
                EXPECT_TRUE(image.loaded) << part.texture;
            }
    }
}

TEST(GeneratedModels, TexturedModelsAreTexturedAndColouredModelsCarryColour)
{
    for (const char* path : {"Models/level1_big_trees.dae", "Models/level2_trees.dae", "Models/heaven.dae",
                             "Models/cakeTex_1.dae", "Models/handTex_46.dae"}) {
        const assettest::Scene s = readModel(path, assettest::drawnFlags);
        ASSERT_TRUE(s.loaded) << path;
        for (const assettest::Part& part : s.parts)
            EXPECT_FALSE(part.texture.empty()) << path << ": the toon texture program needs a texture on every mesh";
    }
    // The snowman and the target are drawn from their vertex colours: the
    // target's face must be bright for the glow, the snowman mostly white.
    const assettest::Scene target = readModel("Models/target6.dae", assettest::drawnFlags);
    ASSERT_TRUE(target.loaded);
    float brightest = 0.0f;
    for (const glm::vec3& c : target.parts.front().colours)
        brightest = std::max(brightest, c.r + c.g + c.b);
    EXPECT_GT(brightest, 2.5f);
}

TEST(GeneratedModels, SnowmanHasTwoArmNodesUnderTheRootsFirstChild)
{
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile("Models/snowman_animation.dae", assettest::drawnFlags);
    ASSERT_NE(scene, nullptr);
    ASSERT_GE(scene->mRootNode->mNumChildren, 1u);
    const aiNode* figure = scene->mRootNode->mChildren[0];
    ASSERT_GE(figure->mNumChildren, 2u);
    for (unsigned k = 0; k < 2; ++k) {
        const aiNode* arm = figure->mChildren[k];
        EXPECT_GT(arm->mNumMeshes, 0u) << arm->mName.C_Str();
        // The arm turns about its own y axis at the shoulder: its node sits
        // at shoulder height and its mesh starts at the node's origin.
        EXPECT_NEAR(arm->mTransformation.d4, 1.0f, 1e-6f);
        EXPECT_GT(arm->mTransformation.b4, 0.9f);
        EXPECT_LT(arm->mTransformation.b4, 1.4f);
    }
    const assettest::Scene man = readModel("Models/snowman_animation.dae", assettest::drawnFlags);
    EXPECT_NEAR(man.low.y, 0.0f, 0.1f);
    EXPECT_NEAR(man.high.y, 1.85f, 0.15f);
    // The collision models follow the sizes of the man, the woman and the child.
    const float scales[3] = {1.0f, 0.9f, 0.5f};
    const char* bodies[3] = {"Models/snowman_boundingbox2.dae", "Models/snowman_boundingbox_woman.dae",
                             "Models/snowman_boundingbox_child.dae"};
    for (int k = 0; k < 3; ++k) {
        const assettest::Scene body = readModel(bodies[k], assettest::collisionFlags);
        ASSERT_TRUE(body.loaded) << bodies[k];
        EXPECT_EQ(body.parts.size(), 1u) << "the game cooks only the first mesh";
        EXPECT_NEAR(body.high.y, 1.75f * scales[k], 0.1f * scales[k]) << bodies[k];
    }
}

TEST(GeneratedModels, CakesFillTheirPhysicsBoxAndDifferFromEachOther)
{
    std::vector<glm::vec3> icing;
    for (int kind = 1; kind <= 4; ++kind) {
        const std::string path = "Models/cakeTex_" + std::to_string(kind) + ".dae";
        const assettest::Scene cake = readModel(path, assettest::drawnFlags);
        ASSERT_TRUE(cake.loaded) << path;
        const glm::vec3 half(1.0f, 0.5f, 1.0f);
        for (int a = 0; a < 3; ++a) {
            EXPECT_LE(cake.high[a], half[a] + 1e-3f) << path;
            EXPECT_GE(cake.low[a], -half[a] - 1e-3f) << path;
            EXPECT_GT(cake.high[a] - cake.low[a], 1.8f * half[a]) << path;
        }
        std::vector<std::string> textures;
        for (const assettest::Part& p : cake.parts)
            textures.push_back(p.texture);
        EXPECT_EQ(textures.size(), 3u);
        for (int other = 1; other < kind; ++other) {
            const assettest::Scene earlier = readModel("Models/cakeTex_" + std::to_string(other) + ".dae", assettest::drawnFlags);
            std::vector<std::string> earlierTextures;
            for (const assettest::Part& p : earlier.parts)
                earlierTextures.push_back(p.texture);
            EXPECT_NE(textures, earlierTextures) << "cakes " << other << " and " << kind << " look alike";
        }
    }
}

TEST(GeneratedModels, HandAndHeldCakeStayInFrontOfTheNearPlaneLowOnTheRight)
{
    for (const char* path : {"Models/handTex_46.dae", "Models/cakeTex_3_small.dae"}) {
        const assettest::Scene s = readModel(path, assettest::drawnFlags);
        ASSERT_TRUE(s.loaded) << path;
        // The cocked pose moves it 0.5 towards the eye; the near plane is 0.01.
        EXPECT_GT(s.low.z - 0.5f, 0.01f) << path;
        const glm::vec3 centre = (s.low + s.high) * 0.5f;
        EXPECT_LT(centre.x, -0.1f) << path << ": the right of the view is -x";
        EXPECT_LT(centre.y, -0.1f) << path;
    }
    const assettest::Scene cake = readModel("Models/cakeTex_3_small.dae", assettest::drawnFlags);
    const assettest::Scene hand = readModel("Models/handTex_46.dae", assettest::drawnFlags);
    // The cake rests on the palm: the hand reaches just under it.
    const glm::vec2 cakeMiddle((cake.low.x + cake.high.x) * 0.5f, (cake.low.z + cake.high.z) * 0.5f);
    EXPECT_GT(cakeMiddle.x, hand.low.x);
    EXPECT_LT(cakeMiddle.x, hand.high.x);
    EXPECT_LT(hand.low.y, cake.low.y);
}

TEST(GeneratedImages, LoadWithDevilWithAlphaWhereTheHudNeedsIt)
{
    for (const char* path : images) {
        DevilImage image(path, IL_ORIGIN_LOWER_LEFT);
        ASSERT_TRUE(image.loaded) << path;
        EXPECT_GE(image.width(), 32) << path;
        // Transparent corners: the icons and sprites are not boxes.
        EXPECT_EQ(image.alpha(0, 0), 0u) << path;
        EXPECT_EQ(image.alpha(image.width() - 1, image.height() - 1), 0u) << path;
    }
    for (const char* path : {"Textures/particle-3.png", "Textures/particle-4.png"}) {
        DevilImage image(path, IL_ORIGIN_LOWER_LEFT);
        const int w = image.width(), h = image.height();
        // Opaque in the middle, fading towards the edge.
        EXPECT_GT(image.alpha(w / 2, h / 2), 200u) << path;
        EXPECT_LT(image.alpha(w / 2, h / 8), image.alpha(w / 2, h / 3)) << path;
        EXPECT_LT(image.alpha(w / 2, h / 3), image.alpha(w / 2, h / 2) + 1) << path;
    }
}

TEST(GeneratedSounds, LoadWithAlutAsMonoSixteenBitAndTheMusicLoops)
{
    // ALUT's loaders want a current context; a silent device gives one.
    testsupport::useSilentSound();
    ASSERT_TRUE(alutInit(nullptr, nullptr)) << alutGetErrorString(alutGetError());
    for (const char* path : sounds) {
        ALenum format = 0;
        ALsizei size = 0;
        ALfloat frequency = 0;
        void* data = alutLoadMemoryFromFile(path, &format, &size, &frequency);
        ASSERT_NE(data, nullptr) << path << ": " << alutGetErrorString(alutGetError());
        EXPECT_EQ(format, AL_FORMAT_MONO16) << path << ": mono, so that OpenAL can place it";
        const double seconds = size / 2.0 / frequency;
        const short* samples = static_cast<const short*>(data);
        const size_t count = static_cast<size_t>(size) / 2;
        if (std::string(path) == "Sounds/GoGoNaruto.wav") {
            EXPECT_GE(seconds, 20.0);
            // Across the loop point the wave goes on as smoothly as anywhere else.
            int largestStep = 0;
            for (size_t i = 1; i < count; ++i)
                largestStep = std::max(largestStep, std::abs(samples[i] - samples[i - 1]));
            EXPECT_LE(std::abs(samples[0] - samples[count - 1]), largestStep);
        } else {
            EXPECT_GT(seconds, 0.2) << path;
            EXPECT_LT(seconds, 3.0) << path;
            // No click at either end.
            EXPECT_LT(std::abs(samples[0]), 200) << path;
            EXPECT_LT(std::abs(samples[count - 1]), 200) << path;
        }
        int peak = 0;
        for (size_t i = 0; i < count; ++i)
            peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
        EXPECT_GT(peak, 8000) << path << " is too quiet";
        EXPECT_LT(peak, 32767) << path << " clips";
        std::free(data);
    }
    alutExit();
}

TEST(GeneratedFont, LoadsWithFreeTypeAndHasTheGameLetters)
{
    FT_Library library = nullptr;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    FT_Face face = nullptr;
    ASSERT_EQ(FT_New_Face(library, font, 0, &face), 0);
    EXPECT_EQ(FT_Set_Pixel_Sizes(face, 0, 40), 0);
    for (char c : std::string("YOU WIN ! GAME OVER ! Score: 0123456789 LEVEL x")) {
        EXPECT_NE(FT_Get_Char_Index(face, static_cast<FT_ULong>(c)), 0u) << c;
        EXPECT_EQ(FT_Load_Char(face, static_cast<FT_ULong>(c), FT_LOAD_RENDER), 0);
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

TEST(GeneratedDataSet, TwoRunsWriteTheSameBytesAsTheBuild)
{
    const fs::path scratch = fs::temp_directory_path() / ("crumbrise_assets_" + std::to_string(::getpid()));
    fs::remove_all(scratch);
    for (const char* run : {"a", "b"}) {
        const std::string command = std::string("\"") + ASSETGEN_BINARY + "\" \"" + (scratch / run).string() +
                                    "\" \"" + ASSETGEN_FONT_SOURCE + "\" > /dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    size_t files = 0;
    uintmax_t bytes = 0;
    for (const auto& entry : fs::recursive_directory_iterator(scratch / "a")) {
        if (!entry.is_regular_file())
            continue;
        const fs::path relative = fs::relative(entry.path(), scratch / "a");
        SCOPED_TRACE(relative.string());
        const std::string a = readBytes(entry.path());
        EXPECT_EQ(a, readBytes(scratch / "b" / relative));
        EXPECT_EQ(a, readBytes(relative)) << "the runtime root differs from a fresh run";
        ++files;
        bytes += a.size();
    }
    EXPECT_EQ(files, std::size(models) + std::size(images) + std::size(sounds) + 1 + 17);
    EXPECT_LT(bytes, 20u * 1000 * 1000);
    fs::remove_all(scratch);
}

// The game's icon for the desktop's menus, as the package installs it.
TEST(GeneratedIcons, EverySizeIsASquarePictureWithTransparentCornersAndTheSameBytesEachRun)
{
    const fs::path scratch = fs::temp_directory_path() / ("crumbrise_icons_" + std::to_string(::getpid()));
    fs::remove_all(scratch);
    const int sizes[] = {CRUMBRISE_ICON_SIZES};
    std::string command = std::string("\"") + ASSETGEN_BINARY + "\" --icons \"" + scratch.string() + "\"";
    for (int size : sizes)
        command += " " + std::to_string(size);
    ASSERT_EQ(std::system((command + " > /dev/null").c_str()), 0) << command;

    for (int size : sizes) {
        const std::string file = std::to_string(size) + "x" + std::to_string(size) + "/apps/crumbrise.png";
        SCOPED_TRACE(file);
        EXPECT_EQ(readBytes(scratch / file), readBytes(fs::path(CRUMBRISE_ICON_DIR) / file))
            << "the build's icon differs from a fresh run";
        DevilImage image((scratch / file).string(), IL_ORIGIN_LOWER_LEFT);
        ASSERT_TRUE(image.loaded);
        EXPECT_EQ(image.width(), size);
        EXPECT_EQ(image.height(), size);
        EXPECT_EQ(image.alpha(0, 0), 0u);
        EXPECT_EQ(image.alpha(size - 1, size - 1), 0u);
        int opaque = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                opaque += image.alpha(x, y) > 200 ? 1 : 0;
        // The cake and the target fill about half of the square.
        EXPECT_GT(opaque, size * size / 3);
        EXPECT_LT(opaque, size * size * 3 / 4);
    }
    fs::remove_all(scratch);
}
