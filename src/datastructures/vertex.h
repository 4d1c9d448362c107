#pragma once

#include <glm/glm.hpp>

#include <cstddef>
#include <vector>

namespace frosk::datastructures {

// One interleaved vertex of every mesh, exactly as the GPU reads it: 14 floats,
// 56 bytes, fields at fixed offsets (see the static_asserts below).
struct Vertex {
    glm::vec3 position{0.0f};
    // The model's own normal of this vertex.
    glm::vec3 normal{0.0f};
    // Vertex colour, or the material's diffuse colour.
    glm::vec3 color{0.0f};
    glm::vec2 uv{0.0f};
    // Unit mean of the normals of all vertices at exactly this position; the
    // outline is pushed out along it, so a hard edge does not tear it open.
    glm::vec3 smoothNormal{0.0f};
};

static_assert(sizeof(Vertex) == 56, "the vertex record is 56 bytes on the GPU");
static_assert(offsetof(Vertex, position) == 0);
static_assert(offsetof(Vertex, normal) == 12);
static_assert(offsetof(Vertex, color) == 24);
static_assert(offsetof(Vertex, uv) == 36);
static_assert(offsetof(Vertex, smoothNormal) == 44);

// Sets every vertex's smoothNormal to the normalised mean of the normals of all
// vertices whose positions compare equal as floats (so -0.0 matches 0.0, and a
// position holding a NaN matches only its own vertex). A mean of zero length
// (normals that cancel) leaves the vertex's own normal. Linear in the vertex
// count: vertices are grouped by position through a hash table.
void computeSmoothNormals(std::vector<Vertex>& vertices);

} // namespace frosk::datastructures
