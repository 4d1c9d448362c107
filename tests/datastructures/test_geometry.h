#pragma once

#include "datastructures/vertex.h"

#include <GL/glew.h>

#include <vector>

namespace testgeometry {

using frosk::datastructures::Vertex;

// A square from (x0, y0) to (x1, y1) at depth z, facing +z, in one colour,
// uv from its corners.
inline std::vector<Vertex> square(float x0, float y0, float x1, float y1, float z, const glm::vec3& colour)
{
    std::vector<Vertex> vertices(4);
    const glm::vec2 corners[] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < 4; ++i) {
        vertices[i].position = {corners[i].x ? x1 : x0, corners[i].y ? y1 : y0, z};
        vertices[i].normal = {0, 0, 1};
        vertices[i].smoothNormal = {0, 0, 1};
        vertices[i].color = colour;
        vertices[i].uv = corners[i];
    }
    return vertices;
}

inline std::vector<GLuint> squareIndices()
{
    return {0, 1, 2, 0, 2, 3};
}

// A cube of half size h about the origin, a normal per face (24 vertices), its
// smooth normals computed; counter-clockwise seen from outside.
inline std::vector<Vertex> cube(float h, const glm::vec3& colour, std::vector<GLuint>& indices)
{
    std::vector<Vertex> vertices;
    indices.clear();
    const glm::vec3 axes[] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int axis = 0; axis < 3; ++axis)
        for (float side : {1.0f, -1.0f}) {
            const glm::vec3 n = axes[axis] * side;
            const glm::vec3 u = axes[(axis + 1) % 3] * side;
            const glm::vec3 v = axes[(axis + 2) % 3];
            const auto base = static_cast<GLuint>(vertices.size());
            for (const glm::vec2& c : {glm::vec2(-1, -1), glm::vec2(1, -1), glm::vec2(1, 1), glm::vec2(-1, 1)}) {
                Vertex vertex;
                vertex.position = h * (n + c.x * u + c.y * v);
                vertex.normal = n;
                vertex.color = colour;
                vertex.uv = (c + 1.0f) * 0.5f;
                vertices.push_back(vertex);
            }
            indices.insert(indices.end(), {base, base + 1, base + 2, base, base + 2, base + 3});
        }
    frosk::datastructures::computeSmoothNormals(vertices);
    return vertices;
}

} // namespace testgeometry
