// Drawable models: any bytes as a COLLADA file through ModelLoader::loadModel,
// with the game's toon program and a second program, on a real GL context.
#include "fuzz_support.h"

#include "datastructures/tree_node.h"
#include "modelLoader/model_loader.h"
#include "shader/shader.h"

#include <memory>

namespace {

std::unique_ptr<frosk::Shader> program;
std::unique_ptr<frosk::Shader> secondProgram;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::quietStandardOutput();
    fuzz::workDirectory();
    fuzz::openGlContext();
    program = std::make_unique<frosk::Shader>("Shader/toon_texture_shader.vert", "Shader/toon_texture_shader.frag");
    secondProgram = std::make_unique<frosk::Shader>("Shader/bloom.vert", "Shader/bloomcover.frag");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = fuzz::writeInput("Models/fuzz.dae", data, size);
    frosk::modelLoader::ModelLoader loader(nullptr, nullptr);
    try {
        const auto tree = loader.loadModel(program->programHandle, secondProgram->programHandle, path);
    } catch (const fuzz::FatalExit&) {
        // Refused with the game's message, as it should be.
    }
    return 0;
}
