#include "physicsengine/bullet_parts.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace frosk::physicsengine {

TriangleMesh::TriangleMesh(std::vector<float> points, std::vector<int> indices)
    : points(std::move(points)),
      indices(std::move(indices)),
      vertexArray(triangleCount(), this->indices.data(), 3 * sizeof(int),
                  static_cast<int>(this->points.size() / 3), this->points.data(), 3 * sizeof(float))
{
}

namespace {

bool isFinite(const glm::vec3& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// A triangle whose area is nothing against the size of its edges gives
// contacts without a usable normal.
bool isDegenerate(const glm::vec3& a, const glm::vec3& b, const glm::vec3& c)
{
    const glm::vec3 ab = b - a;
    const glm::vec3 ac = c - a;
    const float area2 = glm::length(glm::cross(ab, ac));
    const float scale = std::max({glm::dot(ab, ab), glm::dot(ac, ac), glm::dot(c - b, c - b)});
    return !(area2 > 1e-6f * scale) || !(area2 > 1e-12f);
}

std::shared_ptr<TriangleMesh> fail(std::string* failure, const char* why)
{
    if (failure)
        *failure = why;
    return nullptr;
}

} // namespace

std::shared_ptr<TriangleMesh> Physics::cookTriangleMesh(std::vector<glm::vec3> points,
                                                        std::vector<std::uint32_t> indices,
                                                        std::string* failure)
{
    if (points.empty())
        return fail(failure, "no vertices");
    if (indices.empty())
        return fail(failure, "no triangles");
    if (indices.size() % 3 != 0)
        return fail(failure, "the indices do not form triangles");
    if (points.size() > static_cast<std::size_t>(std::numeric_limits<int>::max() / 3)
        || indices.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return fail(failure, "too many vertices");
    for (std::uint32_t index : indices)
        if (index >= points.size())
            return fail(failure, "a triangle index lies outside the vertices");
    for (const glm::vec3& p : points)
        if (!isFinite(p))
            return fail(failure, "a vertex position is not a finite number");

    std::vector<int> kept;
    kept.reserve(indices.size());
    for (std::size_t i = 0; i < indices.size(); i += 3) {
        if (isDegenerate(points[indices[i]], points[indices[i + 1]], points[indices[i + 2]]))
            continue;
        for (std::size_t k = i; k < i + 3; ++k)
            kept.push_back(static_cast<int>(indices[k]));
    }
    if (kept.empty())
        return fail(failure, "all of its triangles are degenerate");

    std::vector<float> flat;
    flat.reserve(points.size() * 3);
    for (const glm::vec3& p : points)
        flat.insert(flat.end(), {p.x, p.y, p.z});
    return std::make_shared<TriangleMesh>(std::move(flat), std::move(kept));
}

std::shared_ptr<Shape> Physics::createMeshShape(std::shared_ptr<TriangleMesh> mesh)
{
    if (!mesh)
        return nullptr;
    auto shape = std::make_unique<btBvhTriangleMeshShape>(&mesh->interface(), true);
    return std::make_shared<Shape>(std::move(shape), std::move(mesh));
}

} // namespace frosk::physicsengine
