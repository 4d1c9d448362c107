#include "datastructures/mesh.h"

#include "effects/shadow_mapping.h"
#include "effects/toon_shading.h"
#include "shader/names.h"
#include "shader/shader.h"

#include <glm/gtc/matrix_access.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>

namespace frosk::datastructures {

namespace {

struct Attribute {
    const char* name;
    GLint components;
    std::uintptr_t offset;
};

constexpr Attribute position{attribute::position, 3, 0};
constexpr Attribute normal{attribute::normal, 3, 12};
constexpr Attribute color{attribute::color, 3, 24};
constexpr Attribute uv{attribute::uv, 2, 36};
// The silhouette and toon arrays feed the smooth normal as "normal".
constexpr Attribute smoothNormal{attribute::normal, 3, 44};

void setAttribute(GLuint program, const Attribute& attribute, bool always)
{
    const GLint location = glGetAttribLocation(program, attribute.name);
    if (location < 0 && !always)
        return;
    const auto index = static_cast<GLuint>(location);
    glEnableVertexAttribArray(index);
    glVertexAttribPointer(index, attribute.components, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                          reinterpret_cast<const void*>(attribute.offset));
}

// A vertex array over the mesh's two buffers with the attributes that
// `program` has; "position" is set up whatever its location.
GLuint buildVertexArray(GLuint program, GLuint vertexBuffer, GLuint indexBuffer,
                        std::initializer_list<Attribute> optional)
{
    GLuint vertexArray = 0;
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    setAttribute(program, position, true);
    for (const Attribute& attribute : optional)
        setAttribute(program, attribute, false);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    return vertexArray;
}

void uploadModelMatrix(GLuint program, const glm::mat4& model)
{
    glUniformMatrix4fv(glGetUniformLocation(program, uniform::modelMatrix), 1, GL_FALSE, glm::value_ptr(model));
}

// A group ends after this many triangles, or, once it holds a few, before a
// triangle that would stretch its box past an eighth of the mesh's longest
// side: the models list their triangles piece by piece (a tree, a stretch of
// ground), so runs in that order are compact, and a prop of a few large
// triangles is not tested triangle by triangle.
constexpr std::size_t trianglesPerGroup = 256;
constexpr std::size_t trianglesBeforeReachCounts = 32;
constexpr float groupReach = 1.0f / 8.0f;

// The six sides of the view volume in model space: a point p is inside side
// k when dot(plane[k], (p, 1)) >= 0 (in clip space: -w <= x, y, z <= w).
struct ViewSides {
    explicit ViewSides(const glm::mat4& clipFromModel)
    {
        const glm::vec4 w = glm::row(clipFromModel, 3);
        for (int axis = 0; axis < 3; ++axis) {
            const glm::vec4 along = glm::row(clipFromModel, axis);
            plane[2 * axis] = w - along;
            plane[2 * axis + 1] = w + along;
            size[2 * axis] = size[2 * axis + 1] = glm::abs(w) + glm::abs(along);
        }
    }

    // Whether the whole box lies beyond one and the same side. Every point of
    // the box is a mix of its corners, so it suffices that the corner nearest
    // to the inside is beyond it. The margin keeps the test on the safe side
    // of the rounding in the vertex shader's own product of the matrices.
    bool outside(const glm::vec3& low, const glm::vec3& high) const
    {
        const glm::vec3 reach = glm::max(glm::abs(low), glm::abs(high));
        for (int k = 0; k < 6; ++k) {
            const glm::vec4& p = plane[k];
            const float nearest = p.w + (p.x > 0.0f ? p.x * high.x : p.x * low.x)
                                  + (p.y > 0.0f ? p.y * high.y : p.y * low.y)
                                  + (p.z > 0.0f ? p.z * high.z : p.z * low.z);
            const float margin = 1.0e-4f * (glm::dot(glm::vec3(size[k]), reach) + size[k].w) + 1.0e-6f;
            if (nearest < -margin)
                return true;
        }
        return false;
    }

    glm::vec4 plane[6];
    glm::vec4 size[6];
};

} // namespace

bool Mesh::cullOutsideView = true;

Mesh::Mesh(GLuint program, const std::vector<Vertex>& vertices, const std::vector<GLuint>& indices,
           const std::vector<GLuint>& textures, effects::ShadowMapping* shadowMapping,
           effects::ToonShading* toonShading)
    : Mesh(program, 0, vertices, indices, textures, shadowMapping, toonShading)
{
}

Mesh::Mesh(GLuint program, GLuint secondProgram, const std::vector<Vertex>& vertices,
           const std::vector<GLuint>& indices, const std::vector<GLuint>& textures,
           effects::ShadowMapping* shadowMapping, effects::ToonShading* toonShading)
    : program(program),
      secondProgram(secondProgram),
      shadowMapping(shadowMapping),
      toonShading(toonShading),
      vertices(vertices),
      indices(indices),
      textures(textures)
{
    groupTrianglesByPlace();
    upload();
}

Mesh::~Mesh()
{
    glDeleteBuffers(1, &vertexBuffer);
    glDeleteBuffers(1, &indexBuffer);
    const GLuint arrays[] = {depthVAO, mainVAO, silhouetteVAO, toonVAO, secondaryVAO};
    glDeleteVertexArrays(5, arrays);
}

// Cuts the triangles, in their own order, into runs that each lie in a small
// box, and notes each run's indices and box. The order is kept, so leaving
// out a run changes nothing else in the picture. A mesh whose indices or
// positions cannot be trusted (an index past the vertices, a position that is
// not finite) gets no groups and is always drawn whole.
void Mesh::groupTrianglesByPlace()
{
    groups.clear();
    const std::size_t triangleCount = indices.size() / 3;
    glm::vec3 low(std::numeric_limits<float>::max());
    glm::vec3 high(std::numeric_limits<float>::lowest());
    for (std::size_t i = 0; i < 3 * triangleCount; ++i) {
        if (indices[i] >= vertices.size())
            return;
        const glm::vec3& p = vertices[indices[i]].position;
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
            return;
        low = glm::min(low, p);
        high = glm::max(high, p);
    }
    if (triangleCount == 0)
        return;

    const glm::vec3 meshSize = high - low;
    const float reach = groupReach * std::max({meshSize.x, meshSize.y, meshSize.z});
    TriangleGroup group{};
    std::size_t inGroup = 0;
    for (std::size_t t = 0; t < triangleCount; ++t) {
        glm::vec3 triangleLow = vertices[indices[3 * t]].position;
        glm::vec3 triangleHigh = triangleLow;
        for (std::size_t k = 1; k < 3; ++k) {
            triangleLow = glm::min(triangleLow, vertices[indices[3 * t + k]].position);
            triangleHigh = glm::max(triangleHigh, vertices[indices[3 * t + k]].position);
        }
        const glm::vec3 grownSize = glm::max(group.high, triangleHigh) - glm::min(group.low, triangleLow);
        const bool full = inGroup == trianglesPerGroup
                          || (inGroup >= trianglesBeforeReachCounts
                              && std::max({grownSize.x, grownSize.y, grownSize.z}) > reach);
        if (inGroup > 0 && full) {
            groups.push_back(group);
            inGroup = 0;
        }
        if (inGroup == 0) {
            group = {triangleLow, triangleHigh, static_cast<GLsizei>(3 * t), 0};
        } else {
            group.low = glm::min(group.low, triangleLow);
            group.high = glm::max(group.high, triangleHigh);
        }
        group.indexCount += 3;
        ++inGroup;
    }
    groups.push_back(group);
}

void Mesh::upload()
{
    glGenBuffers(1, &vertexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(Vertex)), vertices.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    glGenBuffers(1, &indexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(GLuint)), indices.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);

    if (shadowMapping && shadowMapping->pass1Shader)
        depthVAO = buildVertexArray(shadowMapping->pass1Shader->programHandle, vertexBuffer, indexBuffer, {});
    mainVAO = buildVertexArray(program, vertexBuffer, indexBuffer, {normal, color, uv});
    if (secondProgram != 0)
        secondaryVAO = buildVertexArray(secondProgram, vertexBuffer, indexBuffer, {color});
    // Drawn with the toon effect's outline program, which gives "position"
    // and "normal" the same locations as `program`.
    silhouetteVAO = buildVertexArray(program, vertexBuffer, indexBuffer, {smoothNormal});
    toonVAO = buildVertexArray(program, vertexBuffer, indexBuffer, {smoothNormal, color, uv});
}

void Mesh::bindTextures(GLuint current) const
{
    for (std::size_t i = 0; i < textures.size(); ++i) {
        glUniform1i(glGetUniformLocation(current, uniform::colorTexture), static_cast<GLint>(i));
        glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(i));
        glBindTexture(GL_TEXTURE_2D, textures[i]);
    }
}

// One unit stays free between the last texture and the shadow map.
void Mesh::bindShadowMap(GLuint current) const
{
    const auto unit = static_cast<GLint>(textures.size() + 1);
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
    glBindTexture(GL_TEXTURE_2D, shadowMapping->depthTexture);
    glUniform1i(glGetUniformLocation(current, uniform::shadowMap), unit);
}

void Mesh::drawArray(GLuint vertexArray) const
{
    glBindVertexArray(vertexArray);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_INT, nullptr);
    glBindVertexArray(0);
}

void Mesh::drawArraySeen(GLuint vertexArray, const glm::mat4& clipFromModel, float swell)
{
    if (!cullOutsideView || groups.empty()) {
        drawArray(vertexArray);
        return;
    }
    // Neighbouring groups in view make one run, so a mesh wholly in view is
    // still one draw.
    const ViewSides view(clipFromModel);
    runCounts.clear();
    runOffsets.clear();
    GLsizei runEnd = -1;
    for (const TriangleGroup& group : groups) {
        if (view.outside(group.low - glm::vec3(swell), group.high + glm::vec3(swell))) {
            trianglesLeftOut += group.indexCount / 3;
            continue;
        }
        if (group.firstIndex == runEnd) {
            runCounts.back() += group.indexCount;
        } else {
            runCounts.push_back(group.indexCount);
            const std::size_t offset = sizeof(GLuint) * static_cast<std::size_t>(group.firstIndex);
            runOffsets.push_back(reinterpret_cast<const void*>(offset));
        }
        runEnd = group.firstIndex + group.indexCount;
    }
    if (runCounts.empty())
        return;
    glBindVertexArray(vertexArray);
    glMultiDrawElements(GL_TRIANGLES, runCounts.data(), GL_UNSIGNED_INT, runOffsets.data(),
                        static_cast<GLsizei>(runCounts.size()));
    glBindVertexArray(0);
}

void Mesh::draw(glm::mat4 model)
{
    // The caller has made the program current; its uniforms are looked up on
    // that program.
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    uploadModelMatrix(static_cast<GLuint>(current), model);
    bindTextures(static_cast<GLuint>(current));
    drawArray(mainVAO);
}

// The draws below need an effect; a mesh built without it skips them rather
// than read through a null pointer or draw an array that does not exist.

void Mesh::drawDepth(glm::mat4 model)
{
    if (depthVAO == 0)
        return;
    const GLuint depthProgram = shadowMapping->pass1Shader->programHandle;
    glUseProgram(depthProgram);
    const glm::mat4 depthVP = shadowMapping->depthVP();
    glUniformMatrix4fv(glGetUniformLocation(depthProgram, uniform::depthVP), 1, GL_FALSE, glm::value_ptr(depthVP));
    uploadModelMatrix(depthProgram, model);
    drawArray(depthVAO);
}

void Mesh::drawShadowed(glm::mat4 model)
{
    if (!shadowMapping)
        return;
    glUseProgram(program);
    shadowMapping->setVP(program);
    shadowMapping->setDepthTranslScalVP(program);
    uploadModelMatrix(program, model);
    bindTextures(program);
    bindShadowMap(program);
    trianglesLeftOut = 0;
    drawArraySeen(mainVAO, shadowMapping->camera.viewProjection() * model, 0.0f);
}

void Mesh::drawSilhouette(glm::mat4 model)
{
    if (!shadowMapping || !toonShading || !toonShading->silhouetteShader)
        return;
    const GLuint outline = toonShading->silhouetteShader->programHandle;
    glUseProgram(outline);
    shadowMapping->setVP(outline);
    uploadModelMatrix(outline, model);

    // The outline: back faces pushed out along the smooth normal, black, with
    // depth. Then the front faces in place, white, without depth, so that the
    // model drawn next is not hidden behind them. The toon draw that follows
    // covers every white fragment but those of cut-out texels, so the white
    // pass, a whole second layer of fragments, is drawn only for those.
    const glm::mat4 clipFromModel = shadowMapping->camera.viewProjection() * model;
    trianglesLeftOut = 0;
    outlinePass(outline, GL_FRONT, GL_TRUE, 0.0f, effects::ToonShading::outlineOffset, clipFromModel);
    if (cutOutTexels)
        outlinePass(outline, GL_BACK, GL_FALSE, 1.0f, 0.0f, clipFromModel);
    glDisable(GL_CULL_FACE);
    glDepthMask(GL_TRUE);
}

void Mesh::outlinePass(GLuint outline, GLenum culledFaces, GLboolean depthWrite, GLfloat shade, GLfloat offset,
                       const glm::mat4& clipFromModel)
{
    glEnable(GL_CULL_FACE);
    glCullFace(culledFaces);
    glDepthMask(depthWrite);
    glUniform3f(glGetUniformLocation(outline, uniform::color1), shade, shade, shade);
    glUniform1f(glGetUniformLocation(outline, uniform::offset1), offset);
    drawArraySeen(silhouetteVAO, clipFromModel, offset);
}

void Mesh::drawToon(glm::mat4 model)
{
    if (!shadowMapping || !toonShading)
        return;
    glUseProgram(program);
    toonShading->setVP(program);
    shadowMapping->setDepthTranslScalVP(program);
    uploadModelMatrix(program, model);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    const GLfloat numShades = effects::ToonShading::numShades;
    glUniform1fv(glGetUniformLocation(program, uniform::numShades), 1, &numShades);
    bindTextures(program);
    bindShadowMap(program);
    trianglesLeftOut = 0;
    drawArraySeen(toonVAO, toonShading->camera.viewProjection() * model, 0.0f);
}

void Mesh::drawSecondary(glm::mat4 model)
{
    if (secondaryVAO == 0)
        return;
    glUseProgram(secondProgram);
    uploadModelMatrix(secondProgram, model);
    drawArray(secondaryVAO);
}

void Mesh::setTextureFilter(GLint minFilter)
{
    const bool nearest =
        minFilter == GL_NEAREST || minFilter == GL_NEAREST_MIPMAP_NEAREST || minFilter == GL_NEAREST_MIPMAP_LINEAR;
    for (GLuint texture : textures) {
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, nearest ? GL_NEAREST : GL_LINEAR);
    }
}

} // namespace frosk::datastructures
