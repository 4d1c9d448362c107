#pragma once

// A model read back the way the game reads it (Assimp with the game's flags),
// flattened into world-space triangles with their materials' textures.

#include <glm/glm.hpp>

#include <string>
#include <vector>

namespace assettest {

// Flags of the game's loader: drawn models and collision models.
constexpr unsigned drawnFlags = 0x800049;
constexpr unsigned collisionFlags = 0x49;

struct Part {
    std::vector<glm::vec3> positions, normals, colours;
    std::vector<glm::vec2> uvs;
    std::vector<unsigned> indices;
    std::string texture; // file name under Textures/, or empty
};

struct Scene {
    bool loaded = false;
    std::string error;
    std::vector<Part> parts; // one per mesh instance, node transforms applied
    glm::vec3 low{1e30f}, high{-1e30f};
    size_t triangles = 0;
};

Scene readModel(const std::string& path, unsigned flags);

} // namespace assettest
