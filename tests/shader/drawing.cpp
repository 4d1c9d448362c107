#include "drawing.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <cmath>
#include <cstddef>

namespace shadertest {

Geometry::~Geometry()
{
    glDeleteVertexArrays(1, &vertexArray);
    glDeleteBuffers(1, &vertexBuffer);
    glDeleteBuffers(1, &indexBuffer);
}

MeshData sphere(const glm::vec3& colour, int rings, int segments)
{
    MeshData mesh;
    const float pi = 3.14159265f;
    for (int r = 0; r <= rings; ++r) {
        const float theta = pi * static_cast<float>(r) / static_cast<float>(rings);
        for (int s = 0; s <= segments; ++s) {
            const float phi = 2.0f * pi * static_cast<float>(s) / static_cast<float>(segments);
            const glm::vec3 p(std::sin(theta) * std::cos(phi), std::cos(theta), std::sin(theta) * std::sin(phi));
            mesh.vertices.push_back({p, p, colour,
                                     glm::vec2(static_cast<float>(s) / static_cast<float>(segments),
                                               static_cast<float>(r) / static_cast<float>(rings)),
                                     p});
        }
    }
    const unsigned row = static_cast<unsigned>(segments) + 1;
    for (unsigned r = 0; r < static_cast<unsigned>(rings); ++r)
        for (unsigned s = 0; s < static_cast<unsigned>(segments); ++s) {
            const unsigned a = r * row + s, b = a + row;
            mesh.indices.insert(mesh.indices.end(), {a, a + 1, b, a + 1, b + 1, b});
        }
    return mesh;
}

MeshData box(const glm::vec3& low, const glm::vec3& high, const glm::vec3& colour)
{
    MeshData mesh;
    const glm::vec3 centre = (low + high) * 0.5f;
    for (int axis = 0; axis < 3; ++axis)
        for (float sign : {-1.0f, 1.0f}) {
            glm::vec3 normal(0.0f);
            normal[axis] = sign;
            // Two in-face directions whose cross product is the outward normal.
            const glm::vec3 u = glm::vec3(normal.y, normal.z, normal.x);
            const glm::vec3 v = glm::cross(normal, u);
            const unsigned first = static_cast<unsigned>(mesh.vertices.size());
            for (glm::vec2 corner : {glm::vec2(-1, -1), glm::vec2(1, -1), glm::vec2(1, 1), glm::vec2(-1, 1)}) {
                const glm::vec3 direction = normal + u * corner.x + v * corner.y;
                const glm::vec3 p = centre + direction * (high - low) * 0.5f;
                mesh.vertices.push_back({p, normal, colour, corner * 0.5f + 0.5f, glm::normalize(direction)});
            }
            mesh.indices.insert(mesh.indices.end(), {first, first + 1, first + 2, first, first + 2, first + 3});
        }
    return mesh;
}

MeshData ground(float halfSide, float y, const glm::vec3& colour)
{
    MeshData mesh;
    const glm::vec3 up(0, 1, 0);
    for (glm::vec2 corner : {glm::vec2(-1, -1), glm::vec2(1, -1), glm::vec2(1, 1), glm::vec2(-1, 1)})
        mesh.vertices.push_back({glm::vec3(corner.x * halfSide, y, corner.y * halfSide), up, colour,
                                 corner * 0.5f + 0.5f, up});
    // Counter-clockwise seen from above.
    mesh.indices = {0, 3, 2, 0, 2, 1};
    return mesh;
}

namespace {

void attribute(GLuint program, const char* name, int components, size_t offset, bool required)
{
    const GLint location = glGetAttribLocation(program, name);
    if (location < 0 && !required)
        return;
    glEnableVertexAttribArray(static_cast<GLuint>(location));
    glVertexAttribPointer(static_cast<GLuint>(location), components, GL_FLOAT, GL_FALSE, sizeof(MeshVertex),
                          reinterpret_cast<const void*>(offset));
}

} // namespace

void upload(Geometry& geometry, const MeshData& mesh, GLuint program, bool smooth)
{
    glGenVertexArrays(1, &geometry.vertexArray);
    glBindVertexArray(geometry.vertexArray);
    glGenBuffers(1, &geometry.vertexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, geometry.vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(mesh.vertices.size() * sizeof(MeshVertex)),
                 mesh.vertices.data(), GL_STATIC_DRAW);
    glGenBuffers(1, &geometry.indexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, geometry.indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(mesh.indices.size() * sizeof(unsigned)),
                 mesh.indices.data(), GL_STATIC_DRAW);
    attribute(program, "position", 3, offsetof(MeshVertex, position), true);
    attribute(program, "normal", 3, smooth ? offsetof(MeshVertex, smoothNormal) : offsetof(MeshVertex, normal), false);
    attribute(program, "color", 3, offsetof(MeshVertex, color), false);
    attribute(program, "uv", 2, offsetof(MeshVertex, uv), false);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    geometry.indexCount = static_cast<GLsizei>(mesh.indices.size());
}

void drawIndexed(const Geometry& geometry)
{
    glBindVertexArray(geometry.vertexArray);
    glDrawElements(GL_TRIANGLES, geometry.indexCount, GL_UNSIGNED_INT, nullptr);
    glBindVertexArray(0);
}

void fullScreenQuad(Geometry& geometry, GLuint program)
{
    const float corners[] = {-1, -1, 1, -1, -1, 1, 1, 1};
    glGenVertexArrays(1, &geometry.vertexArray);
    glBindVertexArray(geometry.vertexArray);
    glGenBuffers(1, &geometry.vertexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, geometry.vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(corners), corners, GL_STATIC_DRAW);
    for (const char* name : {"position", "texcoord"}) {
        const GLint location = glGetAttribLocation(program, name);
        glEnableVertexAttribArray(static_cast<GLuint>(location));
        glVertexAttribPointer(static_cast<GLuint>(location), 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    }
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

GLuint rgbTexture(int width, int height, const std::vector<unsigned char>& rgb)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

void setMatrix(GLuint program, const char* name, const glm::mat4& matrix)
{
    glUniformMatrix4fv(glGetUniformLocation(program, name), 1, GL_FALSE, glm::value_ptr(matrix));
}

glm::mat4 cameraProjection(float aspect)
{
    return glm::perspective(glm::radians(60.0f), aspect, 0.01f, 200.0f);
}

glm::mat4 lightViewProjection()
{
    const glm::mat4 projection = glm::ortho(-35.0f, 35.0f, -35.0f, 35.0f, 0.0f, 200.0f);
    return projection * glm::lookAt(glm::vec3(10, 50, -40), glm::vec3(0), glm::vec3(0, 1, 0));
}

glm::mat4 shadowBias()
{
    return glm::mat4(0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 0.5f, 0, 0.5f, 0.5f, 0.5f, 1);
}

} // namespace shadertest
