// assetgen: writes the game's whole runtime data set (models, textures, HUD
// images, sounds, font) under the runtime root given on the command line,
// reads every file back as the game will, and fails with a message for each
// problem; or, with --icons, the game's icon for the desktop's menus in the
// sizes of the freedesktop icon theme. The same program always writes the
// same bytes.
//
//   assetgen <runtime root> <TrueType font to install>
//   assetgen --icons <icon theme folder> <size>...
//       writes <size>x<size>/apps/crumbrise.png for each size

#include "assetgen.h"
#include "checks.h"
#include "collada.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>

namespace fs = std::filesystem;
using namespace assetgen;

namespace {

struct ModelJob {
    std::string file;
    std::function<Model()> build;
    ModelRules rules;
};

class Run {
public:
    explicit Run(std::string root) : root(std::move(root)) {}

    void report(const Problems& found)
    {
        for (const std::string& p : found)
            std::fprintf(stderr, "assetgen: %s\n", p.c_str());
        problems += found.size();
    }
    void wrote(const std::string& file)
    {
        ++files;
        bytes += fs::file_size(root + "/" + file);
    }
    void fail(const std::string& message) { report({message}); }

    std::string root;
    size_t problems = 0;
    size_t files = 0;
    uintmax_t bytes = 0;
};

void writeImages(Run& run, const std::map<std::string, Image>& images, const std::string& folder)
{
    for (const auto& [name, image] : images) {
        const std::string file = folder + name;
        const std::string error = savePng(image, run.root + "/" + file);
        if (!error.empty()) {
            run.fail(error);
            continue;
        }
        run.report(checkImage(run.root + "/" + file, image.rgba, image.width, image.height));
        run.wrote(file);
    }
}

void writeModels(Run& run, const Palette& palette)
{
    // Levels are built once for both their models.
    std::map<int, Level> levels;
    auto level = [&](int n) -> Level& {
        auto it = levels.find(n);
        if (it == levels.end()) {
            it = levels.emplace(n, buildLevel(n, palette)).first;
            for (const std::string& p : it->second.problems)
                run.fail("level " + std::to_string(n) + ": " + p);
        }
        return it->second;
    };
    const ModelRules drawnLevel{true, 25000}, collisionLevel{false, 5000};
    const std::vector<ModelJob> jobs = {
        {"Models/level1_big_trees.dae", [&] { return level(1).drawn; }, drawnLevel},
        {"Models/level1_boundingbox3.dae", [&] { return level(1).collision; }, collisionLevel},
        {"Models/level2_trees.dae", [&] { return level(2).drawn; }, drawnLevel},
        {"Models/level2_boundingbox.dae", [&] { return level(2).collision; }, collisionLevel},
        {"Models/Terrain_3.dae", [&] { return level(3).drawn; }, drawnLevel},
        {"Models/heaven.dae", [&] { return buildSky(palette); }, {true, 2000}},
        {"Models/cakeTex_1.dae", [&] { return buildCake(1, palette); }, {true, 1500}},
        {"Models/cakeTex_2.dae", [&] { return buildCake(2, palette); }, {true, 1500}},
        {"Models/cakeTex_3.dae", [&] { return buildCake(3, palette); }, {true, 1500}},
        {"Models/cakeTex_4.dae", [&] { return buildCake(4, palette); }, {true, 1500}},
        {"Models/cakeTex_3_small.dae", [&] { return buildHeldCake(palette); }, {true, 1500}},
        {"Models/handTex_46.dae", [&] { return buildHand(palette); }, {true, 2000}},
        {"Models/snowman_animation.dae", [] { return buildSnowman(); }, {true, 3000}},
        {"Models/snowman_boundingbox2.dae", [] { return buildSnowmanCollision(1.0f); }, {false, 1000}},
        {"Models/snowman_boundingbox_woman.dae", [] { return buildSnowmanCollision(0.9f); }, {false, 1000}},
        {"Models/snowman_boundingbox_child.dae", [] { return buildSnowmanCollision(0.5f); }, {false, 1000}},
        {"Models/target6.dae", [] { return buildTarget(); }, {true, 1000}},
        {"Models/target5.dae", [] { return buildTargetCollision(); }, {false, 1000}},
    };
    for (const ModelJob& job : jobs) {
        const std::string error = writeCollada(job.build(), run.root + "/" + job.file);
        if (!error.empty()) {
            run.fail(job.file + ": " + error);
            continue;
        }
        run.report(checkModel(run.root, job.file, job.rules));
        run.wrote(job.file);
    }
    run.report(checkSnowmanShape(run.root));
    for (int kind = 1; kind <= 4; ++kind)
        run.report(checkCakeBounds(run.root, "Models/cakeTex_" + std::to_string(kind) + ".dae"));
    run.report(checkHeldInView(run.root, "Models/handTex_46.dae"));
    run.report(checkHeldInView(run.root, "Models/cakeTex_3_small.dae"));
    run.report(checkLevelPlay(run.root, "Models/level1_boundingbox3.dae", 1));
    run.report(checkLevelPlay(run.root, "Models/level2_boundingbox.dae", 2));
}

void writeSounds(Run& run)
{
    for (const auto& [file, sound] : buildSounds()) {
        const std::string error = saveWav(sound, run.root + "/" + file);
        if (!error.empty()) {
            run.fail(error);
            continue;
        }
        run.report(checkSound(run.root + "/" + file, sound.samples, sound.sampleRate));
        run.wrote(file);
    }
}

void installFont(Run& run, const std::string& source)
{
    const std::string file = "Fonts/CantoraOne-Regular.ttf";
    std::error_code error;
    fs::copy_file(source, run.root + "/" + file, fs::copy_options::overwrite_existing, error);
    if (error) {
        run.fail("cannot copy the font " + source + ": " + error.message() +
                 " (is the package fonts-quicksand installed?)");
        return;
    }
    run.report(checkFont(run.root + "/" + file));
    run.wrote(file);
}

int writeIcons(const std::string& folder, const std::vector<int>& sizes)
{
    Run run(folder);
    for (int size : sizes) {
        const std::string sizeFolder = std::to_string(size) + "x" + std::to_string(size) + "/apps/";
        fs::create_directories(run.root + "/" + sizeFolder);
        writeImages(run, {{"crumbrise.png", buildAppIcon(size)}}, sizeFolder);
    }
    if (run.problems > 0)
        return 1;
    std::printf("assetgen: %zu icons\n", run.files);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 4 && std::string(argv[1]) == "--icons") {
        std::vector<int> sizes;
        for (int i = 3; i < argc; ++i) {
            const int size = std::atoi(argv[i]);
            if (size < 1 || size > 1024) {
                std::fprintf(stderr, "assetgen: no icon size: %s\n", argv[i]);
                return 2;
            }
            sizes.push_back(size);
        }
        return writeIcons(argv[2], sizes);
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: assetgen <runtime root> <TrueType font>\n"
                             "       assetgen --icons <icon theme folder> <size>...\n");
        return 2;
    }
    const auto started = std::chrono::steady_clock::now();
    Run run(argv[1]);
    for (const char* folder : {"Models", "Textures", "Sounds", "Fonts"})
        fs::create_directories(run.root + "/" + folder);

    const TextureSet textures = buildTextures();
    writeImages(run, textures, "Textures/");
    writeImages(run, buildHudImages(), "");
    writeModels(run, paletteOf(textures));
    writeSounds(run);
    installFont(run, argv[2]);

    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (run.problems > 0) {
        std::fprintf(stderr, "assetgen: %zu problem(s) in the generated data set\n", run.problems);
        return 1;
    }
    std::printf("assetgen: %zu files, %.1f MB, in %.2f s\n", run.files, run.bytes / 1e6, seconds);
    return 0;
}
