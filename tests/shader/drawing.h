#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <vector>

// Small GL helpers for driving the game's programs by hand in tests.
namespace shadertest {

// A vertex array and its buffers, freed with the object.
struct Geometry {
    Geometry() = default;
    ~Geometry();
    Geometry(const Geometry&) = delete;
    Geometry& operator=(const Geometry&) = delete;

    GLuint vertexArray = 0;
    GLuint vertexBuffer = 0;
    GLuint indexBuffer = 0;
    GLsizei indexCount = 0;
};

// One vertex in the game's 56-byte mesh layout.
struct MeshVertex {
    glm::vec3 position;
    glm::vec3 normal;
    glm::vec3 color;
    glm::vec2 uv;
    glm::vec3 smoothNormal;
};
static_assert(sizeof(MeshVertex) == 56);

struct MeshData {
    std::vector<MeshVertex> vertices;
    std::vector<unsigned> indices;
};

// A unit-radius UV sphere around the origin in one colour.
MeshData sphere(const glm::vec3& colour, int rings = 32, int segments = 48);
// An axis-aligned box from `low` to `high` with outward face normals.
MeshData box(const glm::vec3& low, const glm::vec3& high, const glm::vec3& colour);
// A horizontal square of side 2 * halfSide at height y, facing up.
MeshData ground(float halfSide, float y, const glm::vec3& colour);

// Vertex array for `program` the way a mesh builds it: "position", "normal"
// (the smooth one when `smooth`), "color", "uv", each only when the program
// has it.
void upload(Geometry& geometry, const MeshData& mesh, GLuint program, bool smooth = false);
void drawIndexed(const Geometry& geometry);

// The composite and blur quad: four corners in [-1, 1] fed to both
// "position" and "texcoord", drawn as a strip of four.
void fullScreenQuad(Geometry& geometry, GLuint program);

// A 2D texture of RGB bytes, linear filtering, clamped edges.
GLuint rgbTexture(int width, int height, const std::vector<unsigned char>& rgb);

void setMatrix(GLuint program, const char* name, const glm::mat4& matrix);

// The matrices the game uses: camera projection and the light of the shadow map.
glm::mat4 cameraProjection(float aspect);
glm::mat4 lightViewProjection();
glm::mat4 shadowBias();

} // namespace shadertest
