#include "datastructures/mesh.h"

#include "effects/shadow_mapping.h"
#include "effects/toon_shading.h"
#include "shader/names.h"
#include "shader/shader.h"

#include <glm/gtc/type_ptr.hpp>

#include <cstdint>
#include <initializer_list>

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

} // namespace

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
    upload();
}

Mesh::~Mesh()
{
    glDeleteBuffers(1, &vertexBuffer);
    glDeleteBuffers(1, &indexBuffer);
    const GLuint arrays[] = {depthVAO, mainVAO, silhouetteVAO, toonVAO, secondaryVAO};
    glDeleteVertexArrays(5, arrays);
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
    drawArray(mainVAO);
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
    // model drawn next is not hidden behind them.
    outlinePass(outline, GL_FRONT, GL_TRUE, 0.0f, effects::ToonShading::outlineOffset);
    outlinePass(outline, GL_BACK, GL_FALSE, 1.0f, 0.0f);
    glDisable(GL_CULL_FACE);
    glDepthMask(GL_TRUE);
}

void Mesh::outlinePass(GLuint outline, GLenum culledFaces, GLboolean depthWrite, GLfloat shade, GLfloat offset) const
{
    glEnable(GL_CULL_FACE);
    glCullFace(culledFaces);
    glDepthMask(depthWrite);
    glUniform3f(glGetUniformLocation(outline, uniform::color1), shade, shade, shade);
    glUniform1f(glGetUniformLocation(outline, uniform::offset1), offset);
    drawArray(silhouetteVAO);
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
    drawArray(toonVAO);
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
