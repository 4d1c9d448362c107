#pragma once

// Small model files for the loader's tests: an aiScene put together in code
// and written with Assimp's own COLLADA exporter, as the asset generator does.

#include <glm/glm.hpp>

#include <string>
#include <vector>

namespace testscene {

struct Material {
    glm::vec3 diffuse{1.0f};
    bool hasDiffuse = true;
    std::vector<std::string> textures;
};

struct Mesh {
    std::string name = "mesh";
    std::vector<glm::vec3> positions;
    std::vector<glm::vec3> normals;       // empty: none in the file
    std::vector<glm::vec3> colours;       // empty: none in the file
    std::vector<glm::vec2> uvs;           // empty: none in the file
    std::vector<std::vector<unsigned>> faces;
    unsigned material = 0;
};

struct Node {
    std::string name = "node";
    glm::mat4 transform{1.0f};
    std::vector<unsigned> meshes;
    std::vector<Node> children;
};

struct Scene {
    std::vector<Material> materials{Material{}};
    std::vector<Mesh> meshes;
    Node root;
};

// A unit quad in the x-y plane facing +z, (0, 0) to (1, 1), uv from its corners.
Mesh quad(const glm::vec3& colour);

// Writes the scene as COLLADA, or for a path ending in ".assbin" in Assimp's
// binary dump, which keeps a broken scene as broken as it was built (the
// COLLADA reader already refuses indices past the vertices). Returns false,
// and prints why, when Assimp refuses.
bool write(const Scene& scene, const std::string& path);

} // namespace testscene
