#include "app/config.h"
#include "app/hud_image.h"
#include "datastructures/mesh.h"
#include "datastructures/tree_node.h"
#include "modelLoader/collada_scene.h"
#include "modelLoader/model_loader.h"
#include "shader/shader.h"
#include "sound/sound.h"
#include "support/gl_context.h"

#include <AL/alut.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The kept inputs of one fuzz target.
std::vector<fs::path> inputs(const std::string& target)
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(fs::path(CRUMBRISE_FUZZ_INPUTS) / target))
        files.push_back(entry.path());
    EXPECT_FALSE(files.empty()) << target;
    return files;
}

template <typename F>
std::string output(F&& action)
{
    std::ostringstream captured;
    std::streambuf* old = std::cout.rdbuf(captured.rdbuf());
    action();
    std::cout.rdbuf(old);
    return captured.str();
}

// A folder of its own as the working directory, for loaders that read fixed names.
class InFolder {
public:
    explicit InFolder(const std::string& name)
        : previous(fs::current_path()),
          folder(fs::temp_directory_path() / ("crumbrise-fuzz-" + name + "-" + std::to_string(getpid())))
    {
        fs::create_directories(folder);
        fs::current_path(folder);
    }
    ~InFolder()
    {
        fs::current_path(previous);
        fs::remove_all(folder);
    }

private:
    fs::path previous;
    fs::path folder;
};

} // namespace

TEST(FuzzedConfig, OddValuesKeepUsableSizes)
{
    std::string printed;
    const frosk::Config config = [&] {
        std::optional<frosk::Config> read;
        printed = output([&] { read.emplace((fs::path(CRUMBRISE_FUZZ_INPUTS) / "config/odd_values.conf").string()); });
        return *read;
    }();
    // Only a line's leftmost pair counts; zero and 99999999999 are no window sizes.
    EXPECT_EQ(config.width, 1024);
    EXPECT_EQ(config.height, 600);
    EXPECT_FALSE(config.fullscreen);
    EXPECT_NE(printed.find("Resolutionx: 1024px\n"), std::string::npos) << printed;
    EXPECT_NE(printed.find("Configfile: value \"0\" of resolutiony is not a positive whole number; keeping 600"),
              std::string::npos) << printed;
    EXPECT_NE(printed.find("value \"99999999999\" of resolutionx is not a positive whole number; keeping 1024"),
              std::string::npos) << printed;
}

TEST(FuzzedConfig, LinesOfHundredsOfThousandsOfLettersAreRead)
{
    InFolder folder("config");
    const std::string letters(400000, 'a');
    {
        std::ofstream file("config.conf");
        file << letters << "\n";                      // no pair at all
        file << letters << " = " << letters << "\n";  // a pair with an unknown key
        file << letters << " resolutionx = 640\n";    // the pair after a long word
        file << "resolutiony = 4" << std::string(300000, '8') << "\n"; // far too big
    }
    std::string printed;
    std::optional<frosk::Config> config;
    printed = output([&] { config.emplace("config.conf"); });
    EXPECT_EQ(config->width, 640);
    EXPECT_EQ(config->height, 600);
    EXPECT_NE(printed.find("keeping 600"), std::string::npos);
}

TEST(FuzzedSound, BrokenHeadersAreRefusedWithTheirLineAndStaySilent)
{
    InFolder folder("sound");
    fs::create_directory("Sounds");
    for (const fs::path& input : inputs("wav")) {
        fs::copy_file(input, frosk::Sound::fileName(1), fs::copy_options::overwrite_existing);
        frosk::Sound sound;
        const std::string printed = output([&] { sound.load(1); });
        EXPECT_EQ(printed.rfind("alutLoadWAVFile: " + std::to_string(ALUT_ERROR_CORRUPT_OR_TRUNCATED_DATA) + "\n", 0), 0u)
            << input << ": " << printed;
        sound.play(1);
        ALint state = 0;
        alGetSourcei(sound.sources[1], AL_SOURCE_STATE, &state);
        EXPECT_NE(state, AL_PLAYING) << input;
    }
    alutExit();
}

class FuzzedImage : public testsupport::GlTest {};

TEST_F(FuzzedImage, DamagedPngIsReportedAsHudImageAndAsModelTexture)
{
    frosk::Shader hud("Shader/2d.vert", "Shader/2d.frag");
    frosk::Shader toon("Shader/toon_texture_shader.vert", "Shader/toon_texture_shader.frag");
    const fs::path models = fs::temp_directory_path() / ("crumbrise-fuzz-image-" + std::to_string(getpid()));
    fs::create_directories(models);
    for (const fs::path& input : inputs("image")) {
        const std::string path = input.string();
        std::string printed = output([&] {
            const frosk::HudImage image(path, 32, 32, glm::vec2(0.0f), &hud);
            EXPECT_EQ(image.texture, 0u) << path;
        });
        EXPECT_EQ(printed, "Could not load Image: " + path);

        // The loader reads textures from "Textures/": the model names the
        // input by a path that leads from there to it.
        testscene::Scene scene;
        scene.meshes.push_back(testscene::quad(glm::vec3(1.0f, 0.5f, 0.25f)));
        scene.materials[0].textures = {fs::relative(input, fs::current_path() / "Textures").string()};
        scene.root.meshes = {0};
        const std::string model = (models / "textured.dae").string();
        ASSERT_TRUE(testscene::write(scene, model));
        frosk::modelLoader::ModelLoader loader(nullptr, nullptr);
        std::unique_ptr<frosk::datastructures::TreeNode> tree;
        printed = output([&] { tree = loader.loadModel(toon.programHandle, model); });
        EXPECT_NE(printed.find("Could not load Image: Textures/"), std::string::npos) << printed;
        // The COLLADA round trip may hang the mesh below an extra node.
        std::vector<const frosk::datastructures::Mesh*> meshes;
        std::function<void(const frosk::datastructures::TreeNode&)> collect = [&](const auto& node) {
            for (const auto& mesh : node.meshes)
                meshes.push_back(mesh.get());
            for (const auto& child : node.children)
                collect(*child);
        };
        collect(*tree);
        ASSERT_EQ(meshes.size(), 1u) << printed;
        EXPECT_TRUE(meshes[0]->textures.empty());
    }
    fs::remove_all(models);
    EXPECT_EQ(testsupport::glErrors(), "");
}
