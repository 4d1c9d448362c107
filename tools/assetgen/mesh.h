#pragma once

// The generator's own model description: meshes with every vertex attribute
// the game reads, materials, and a node tree. collada.cpp turns it into an
// aiScene for Assimp's exporter.

#include <glm/glm.hpp>

#include <utility>

#include <string>
#include <vector>

namespace assetgen {

struct Material {
    std::string name;
    glm::vec3 diffuse{1.0f};
    glm::vec3 emissive{0.0f};
    std::string texture; // file name under Textures/, empty for none
};

struct Mesh {
    std::string name;
    int material = 0;
    std::vector<glm::vec3> positions;
    std::vector<glm::vec3> normals;
    std::vector<glm::vec2> uvs;
    std::vector<glm::vec3> colours;
    std::vector<unsigned> indices;

    size_t triangles() const { return indices.size() / 3; }
    unsigned addVertex(const glm::vec3& p, const glm::vec3& n, const glm::vec2& uv, const glm::vec3& colour);
    void addTriangle(unsigned a, unsigned b, unsigned c);
    // Appends `other` moved by `transform` (normals by its inverse transpose).
    void append(const Mesh& other, const glm::mat4& transform = glm::mat4(1.0f));
    void paint(const glm::vec3& colour);
    // Recomputes normals as the area-weighted mean of the faces around each vertex.
    void smoothNormals();
};

struct Node {
    explicit Node(std::string name = "", const glm::mat4& transform = glm::mat4(1.0f))
        : name(std::move(name)), transform(transform)
    {
    }
    std::string name;
    glm::mat4 transform{1.0f};
    std::vector<int> meshes;
    std::vector<Node> children;
};

struct Model {
    std::vector<Material> materials;
    std::vector<Mesh> meshes;
    Node root{"root"};

    int addMaterial(const Material& material);
    // Adds a mesh and returns its index (to list in a node).
    int addMesh(Mesh mesh, int material);
    size_t triangles() const;
};

// Primitives. All are built around the origin; colours start white, UVs run
// from 0 to 1 (v upwards), triangles are counter-clockwise seen from outside.
Mesh box(const glm::vec3& halfExtents, float uvScale = 1.0f);
// A tube from y 0 to `height`, radii at both ends, `segments` around and
// `rings` along; caps at the ends on request.
Mesh cylinder(float bottomRadius, float topRadius, float height, int segments, int rings,
              bool bottomCap, bool topCap, float uRepeat = 1.0f, float vRepeat = 1.0f);
Mesh sphere(float radius, int segments, int rings);
// A ring around the y axis: R the distance of the tube's centre, r its radius.
Mesh torus(float majorRadius, float minorRadius, int segments, int sides);
// A disc in the plane x = 0 facing +x, UVs mapped from its square.
Mesh disc(float radius, int segments);

glm::mat4 translate(const glm::vec3& t);
glm::mat4 rotateY(float degrees);
glm::mat4 rotateX(float degrees);
glm::mat4 rotateZ(float degrees);
glm::mat4 scale(const glm::vec3& s);

} // namespace assetgen
