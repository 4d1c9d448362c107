// Images: any bytes as a PNG, read as a HUD image and as a model's diffuse
// texture (the two read it with opposite row orders), on a real GL context.
#include "fuzz_support.h"

#include "app/hud_image.h"
#include "datastructures/mesh.h"
#include "datastructures/tree_node.h"
#include "modelLoader/model_loader.h"
#include "shader/shader.h"

#include <glm/glm.hpp>

#include <filesystem>
#include <fstream>
#include <memory>

namespace {

std::unique_ptr<frosk::Shader> hudProgram;
std::unique_ptr<frosk::Shader> meshProgram;

// One textured triangle whose material names "fuzz.png" as its diffuse texture.
const char* const texturedModel = R"(<?xml version="1.0" encoding="utf-8"?>
<COLLADA xmlns="http://www.collada.org/2005/11/COLLADASchema" version="1.4.1">
  <library_images><image id="img"><init_from>fuzz.png</init_from></image></library_images>
  <library_effects><effect id="fx"><profile_COMMON>
    <newparam sid="surf"><surface type="2D"><init_from>img</init_from></surface></newparam>
    <newparam sid="samp"><sampler2D><source>surf</source></sampler2D></newparam>
    <technique sid="common"><lambert><diffuse><texture texture="samp" texcoord="UV"/></diffuse></lambert></technique>
  </profile_COMMON></effect></library_effects>
  <library_materials><material id="mat"><instance_effect url="#fx"/></material></library_materials>
  <library_geometries><geometry id="tri"><mesh>
    <source id="p"><float_array id="pa" count="9">0 0 0 1 0 0 0 1 0</float_array>
      <technique_common><accessor source="#pa" count="3" stride="3"><param name="X" type="float"/><param name="Y" type="float"/><param name="Z" type="float"/></accessor></technique_common></source>
    <source id="t"><float_array id="ta" count="6">0 0 1 0 0 1</float_array>
      <technique_common><accessor source="#ta" count="3" stride="2"><param name="S" type="float"/><param name="T" type="float"/></accessor></technique_common></source>
    <vertices id="v"><input semantic="POSITION" source="#p"/></vertices>
    <triangles material="m" count="1"><input semantic="VERTEX" source="#v" offset="0"/><input semantic="TEXCOORD" source="#t" offset="1" set="0"/><p>0 0 1 1 2 2</p></triangles>
  </mesh></geometry></library_geometries>
  <library_visual_scenes><visual_scene id="s"><node id="n"><instance_geometry url="#tri"><bind_material><technique_common>
    <instance_material symbol="m" target="#mat"><bind_vertex_input semantic="UV" input_semantic="TEXCOORD" input_set="0"/></instance_material>
  </technique_common></bind_material></instance_geometry></node></visual_scene></library_visual_scenes>
  <scene><instance_visual_scene url="#s"/></scene>
</COLLADA>
)";

void deleteTextures(const frosk::datastructures::TreeNode& node)
{
    for (const auto& mesh : node.meshes)
        if (!mesh->textures.empty())
            glDeleteTextures(static_cast<GLsizei>(mesh->textures.size()), mesh->textures.data());
    for (const auto& child : node.children)
        deleteTextures(*child);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::quietStandardOutput();
    const std::string& directory = fuzz::workDirectory();
    fuzz::openGlContext();
    // The model's textures come from a "Textures" of this directory's own,
    // not from the runtime's.
    std::filesystem::remove(directory + "/Textures");
    std::filesystem::create_directory(directory + "/Textures");
    std::ofstream(directory + "/Models/textured.dae") << texturedModel;
    hudProgram = std::make_unique<frosk::Shader>("Shader/2d.vert", "Shader/2d.frag");
    meshProgram = std::make_unique<frosk::Shader>("Shader/toon_texture_shader.vert", "Shader/toon_texture_shader.frag");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::writeInput("Textures/fuzz.png", data, size);
    {
        frosk::modelLoader::ModelLoader loader(nullptr, nullptr);
        const auto tree = loader.loadModel(meshProgram->programHandle, "Models/textured.dae");
        // The loader keeps one texture per file for the run; without its
        // texture it reads the next input afresh.
        deleteTextures(*tree);
    }
    const std::string hudPath = fuzz::writeInput("Images/fuzz.png", data, size);
    const frosk::HudImage image(hudPath, 64, 64, glm::vec2(10.0f, 10.0f), hudProgram.get());
    return 0;
}
