#pragma once

// The smooth-normal rule as stated, vertex against vertex, kept as the
// reference the linear computation is tested and benchmarked against.
#include "datastructures/vertex.h"

#include <glm/glm.hpp>

#include <cmath>
#include <vector>

namespace testsupport {

// The rule as stated, vertex against vertex: the mean of the normals of every
// vertex whose position compares equal (the vertex itself always counts), made
// unit; a mean of no length keeps the vertex's own normal.
inline void quadraticSmoothNormals(std::vector<frosk::datastructures::Vertex>& vertices)
{
    std::vector<glm::vec3> result(vertices.size());
    for (std::size_t v = 0; v < vertices.size(); ++v) {
        glm::vec3 sum(0.0f);
        unsigned count = 0;
        for (std::size_t u = 0; u < vertices.size(); ++u) {
            const glm::vec3& a = vertices[u].position;
            const glm::vec3& b = vertices[v].position;
            if (u == v || (a.x == b.x && a.y == b.y && a.z == b.z)) {
                sum += vertices[u].normal;
                ++count;
            }
        }
        const glm::vec3 mean = sum / static_cast<float>(count);
        const float length = glm::length(mean);
        result[v] = length > 0.0f && std::isfinite(length) ? glm::normalize(mean) : vertices[v].normal;
    }
    for (std::size_t v = 0; v < vertices.size(); ++v)
        vertices[v].smoothNormal = result[v];
}

} // namespace testsupport
