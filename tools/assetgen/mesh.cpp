#include "mesh.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>

namespace assetgen {

namespace {
constexpr float pi = 3.14159265358979f;
}

unsigned Mesh::addVertex(const glm::vec3& p, const glm::vec3& n, const glm::vec2& uv, const glm::vec3& colour)
{
    positions.push_back(p);
    normals.push_back(n);
    uvs.push_back(uv);
    colours.push_back(colour);
    return static_cast<unsigned>(positions.size() - 1);
}

void Mesh::addTriangle(unsigned a, unsigned b, unsigned c)
{
    indices.insert(indices.end(), {a, b, c});
}

void Mesh::append(const Mesh& other, const glm::mat4& transform)
{
    const unsigned base = static_cast<unsigned>(positions.size());
    const glm::mat3 normalMatrix = glm::transpose(glm::inverse(glm::mat3(transform)));
    // A mirroring transform turns the winding round; swap two corners back.
    const bool mirrored = glm::determinant(glm::mat3(transform)) < 0.0f;
    for (size_t i = 0; i < other.positions.size(); ++i) {
        positions.push_back(glm::vec3(transform * glm::vec4(other.positions[i], 1.0f)));
        normals.push_back(glm::normalize(normalMatrix * other.normals[i]));
        uvs.push_back(other.uvs[i]);
        colours.push_back(other.colours[i]);
    }
    for (size_t i = 0; i + 2 < other.indices.size(); i += 3) {
        indices.push_back(base + other.indices[i]);
        indices.push_back(base + other.indices[i + (mirrored ? 2 : 1)]);
        indices.push_back(base + other.indices[i + (mirrored ? 1 : 2)]);
    }
}

void Mesh::paint(const glm::vec3& colour)
{
    for (glm::vec3& c : colours)
        c = colour;
}

void Mesh::smoothNormals()
{
    std::vector<glm::vec3> sum(positions.size(), glm::vec3(0.0f));
    for (size_t i = 0; i + 2 < indices.size(); i += 3) {
        const glm::vec3& a = positions[indices[i]];
        const glm::vec3& b = positions[indices[i + 1]];
        const glm::vec3& c = positions[indices[i + 2]];
        const glm::vec3 n = glm::cross(b - a, c - a);
        for (int k = 0; k < 3; ++k)
            sum[indices[i + k]] += n;
    }
    for (size_t i = 0; i < positions.size(); ++i)
        if (glm::length(sum[i]) > 1e-12f)
            normals[i] = glm::normalize(sum[i]);
}

int Model::addMaterial(const Material& material)
{
    materials.push_back(material);
    return static_cast<int>(materials.size() - 1);
}

int Model::addMesh(Mesh mesh, int material)
{
    mesh.material = material;
    if (mesh.name.empty())
        mesh.name = "mesh" + std::to_string(meshes.size());
    meshes.push_back(std::move(mesh));
    return static_cast<int>(meshes.size() - 1);
}

size_t Model::triangles() const
{
    size_t n = 0;
    for (const Mesh& m : meshes)
        n += m.triangles();
    return n;
}

Mesh box(const glm::vec3& h, float uvScale)
{
    Mesh m;
    const glm::vec3 white(1.0f);
    // Each face: its normal and two axes spanning it, chosen so that
    // u x v = normal (counter-clockwise seen from outside).
    const glm::vec3 normals[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    const glm::vec3 us[6] = {{0, 0, -1}, {0, 0, 1}, {1, 0, 0}, {1, 0, 0}, {1, 0, 0}, {-1, 0, 0}};
    for (int f = 0; f < 6; ++f) {
        const glm::vec3 n = normals[f];
        const glm::vec3 u = us[f];
        const glm::vec3 v = glm::cross(n, u);
        const glm::vec3 centre = n * h;
        const glm::vec3 du = u * h;
        const glm::vec3 dv = v * h;
        const float su = glm::length(du) * 2.0f * uvScale;
        const float sv = glm::length(dv) * 2.0f * uvScale;
        const unsigned a = m.addVertex(centre - du - dv, n, {0, 0}, white);
        const unsigned b = m.addVertex(centre + du - dv, n, {su, 0}, white);
        const unsigned c = m.addVertex(centre + du + dv, n, {su, sv}, white);
        const unsigned d = m.addVertex(centre - du + dv, n, {0, sv}, white);
        m.addTriangle(a, b, c);
        m.addTriangle(a, c, d);
    }
    return m;
}

Mesh cylinder(float r0, float r1, float height, int segments, int rings, bool bottomCap, bool topCap,
              float uRepeat, float vRepeat)
{
    Mesh m;
    const glm::vec3 white(1.0f);
    const float slope = (r0 - r1) / height;
    for (int j = 0; j <= rings; ++j) {
        const float t = static_cast<float>(j) / rings;
        const float r = r0 + (r1 - r0) * t;
        for (int i = 0; i <= segments; ++i) {
            const float a = 2.0f * pi * i / segments;
            const glm::vec3 dir(std::cos(a), 0.0f, -std::sin(a));
            const glm::vec3 n = glm::normalize(dir + glm::vec3(0, slope, 0));
            m.addVertex(dir * r + glm::vec3(0, t * height, 0), n,
                        {uRepeat * i / segments, vRepeat * t}, white);
        }
    }
    const int row = segments + 1;
    for (int j = 0; j < rings; ++j)
        for (int i = 0; i < segments; ++i) {
            const unsigned a = j * row + i, b = a + 1, c = a + row + 1, d = a + row;
            m.addTriangle(a, b, c);
            m.addTriangle(a, c, d);
        }
    auto cap = [&](float y, float r, bool up) {
        const glm::vec3 n(0, up ? 1.0f : -1.0f, 0);
        const unsigned centre = m.addVertex({0, y, 0}, n, {0.5f, 0.5f}, white);
        const unsigned first = static_cast<unsigned>(m.positions.size());
        for (int i = 0; i <= segments; ++i) {
            const float a = 2.0f * pi * i / segments;
            m.addVertex({r * std::cos(a), y, -r * std::sin(a)}, n,
                        {0.5f + 0.5f * std::cos(a), 0.5f + 0.5f * std::sin(a)}, white);
        }
        for (int i = 0; i < segments; ++i) {
            if (up)
                m.addTriangle(centre, first + i, first + i + 1);
            else
                m.addTriangle(centre, first + i + 1, first + i);
        }
    };
    if (bottomCap && r0 > 0.0f)
        cap(0.0f, r0, false);
    if (topCap && r1 > 0.0f)
        cap(height, r1, true);
    return m;
}

Mesh sphere(float radius, int segments, int rings)
{
    Mesh m;
    for (int j = 0; j <= rings; ++j) {
        const float phi = pi * j / rings; // 0 at the top
        for (int i = 0; i <= segments; ++i) {
            const float a = 2.0f * pi * i / segments;
            const glm::vec3 n(std::sin(phi) * std::cos(a), std::cos(phi), -std::sin(phi) * std::sin(a));
            m.addVertex(n * radius, n, {static_cast<float>(i) / segments, 1.0f - static_cast<float>(j) / rings},
                        glm::vec3(1.0f));
        }
    }
    const int row = segments + 1;
    for (int j = 0; j < rings; ++j)
        for (int i = 0; i < segments; ++i) {
            const unsigned a = j * row + i, b = a + 1, c = a + row + 1, d = a + row;
            if (j != 0)
                m.addTriangle(a, d, b);
            if (j != rings - 1)
                m.addTriangle(b, d, c);
        }
    return m;
}

Mesh torus(float R, float r, int segments, int sides)
{
    Mesh m;
    for (int j = 0; j <= segments; ++j) {
        const float a = 2.0f * pi * j / segments;
        const glm::vec3 dir(std::cos(a), 0.0f, -std::sin(a));
        for (int i = 0; i <= sides; ++i) {
            const float b = 2.0f * pi * i / sides;
            const glm::vec3 n = dir * std::cos(b) + glm::vec3(0, std::sin(b), 0);
            m.addVertex(dir * R + n * r, n, {static_cast<float>(j) / segments, static_cast<float>(i) / sides},
                        glm::vec3(1.0f));
        }
    }
    const int row = sides + 1;
    for (int j = 0; j < segments; ++j)
        for (int i = 0; i < sides; ++i) {
            const unsigned a = j * row + i, b = a + 1, c = a + row + 1, d = a + row;
            m.addTriangle(a, d, c);
            m.addTriangle(a, c, b);
        }
    return m;
}

Mesh disc(float radius, int segments)
{
    Mesh m;
    const glm::vec3 n(1, 0, 0);
    const unsigned centre = m.addVertex({0, 0, 0}, n, {0.5f, 0.5f}, glm::vec3(1.0f));
    for (int i = 0; i <= segments; ++i) {
        const float a = 2.0f * pi * i / segments;
        const float y = std::sin(a), z = -std::cos(a);
        m.addVertex({0, y * radius, z * radius}, n, {0.5f - 0.5f * z, 0.5f + 0.5f * y}, glm::vec3(1.0f));
    }
    for (int i = 0; i < segments; ++i)
        m.addTriangle(centre, centre + 1 + i, centre + 2 + i);
    return m;
}

glm::mat4 translate(const glm::vec3& t) { return glm::translate(glm::mat4(1.0f), t); }
glm::mat4 rotateY(float d) { return glm::rotate(glm::mat4(1.0f), glm::radians(d), glm::vec3(0, 1, 0)); }
glm::mat4 rotateX(float d) { return glm::rotate(glm::mat4(1.0f), glm::radians(d), glm::vec3(1, 0, 0)); }
glm::mat4 rotateZ(float d) { return glm::rotate(glm::mat4(1.0f), glm::radians(d), glm::vec3(0, 0, 1)); }
glm::mat4 scale(const glm::vec3& s) { return glm::scale(glm::mat4(1.0f), s); }

} // namespace assetgen
