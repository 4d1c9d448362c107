#pragma once

// Writes small COLLADA collision models for the tests: a tree of nodes with
// matrices and meshes of triangles (or lines), values written as given.

#include <glm/glm.hpp>

#include <string>
#include <vector>

namespace testmodels {

struct Mesh {
    std::vector<glm::vec3> points;
    std::vector<unsigned> indices;
    bool lines = false; // the indices are pairs, not triples
};

struct Node {
    std::string name;
    glm::mat4 transform{1.0f};
    std::vector<int> meshes; // indices into Model::meshes
    std::vector<Node> children;
};

struct Model {
    std::vector<Mesh> meshes;
    std::vector<Node> roots;
};

// A flat square of size x size units centred on the origin at height y,
// split into cells x cells pairs of triangles facing up.
Mesh grid(float size, int cells, float y = 0.0f);
// An axis-aligned box between two corners, triangles facing outwards.
Mesh box(const glm::vec3& low, const glm::vec3& high);

// Writes the model to `path` (directories are created).
void write(const Model& model, const std::string& path);
// Writes text as it is.
void writeText(const std::string& text, const std::string& path);

} // namespace testmodels
