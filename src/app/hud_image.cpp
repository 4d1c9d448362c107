#include "app/hud_image.h"

#include "modelLoader/image_texture.h"
#include "shader/names.h"
#include "shader/shader.h"


namespace frosk {

HudImage::HudImage(const std::string& file, int width, int height, const glm::vec2& position, Shader* program)
    : program(program), x(position.x), y(position.y), width(width), height(height)
{
    // Bottom row first, as GL wants it; no texture when the file cannot be read.
    texture = modelLoader::loadImageTexture(file, modelLoader::FirstRow::bottom);
    if (texture != 0) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glBindTexture(GL_TEXTURE_2D, 0);
    }

    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    vertices = {x,     y,     0, 0,  x + w, y,     1, 0,  x,     y + h, 0, 1,
                x + w, y,     1, 0,  x,     y + h, 0, 1,  x + w, y + h, 1, 1};
    indices = {0, 1, 2, 3, 4, 5};

    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    glGenBuffers(1, &vertexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(float)), vertices.data(), GL_STATIC_DRAW);
    glGenBuffers(1, &indexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(GLuint)), indices.data(), GL_STATIC_DRAW);

    const GLsizei stride = 4 * sizeof(float);
    const GLint positionLocation = glGetAttribLocation(program->programHandle, attribute::position);
    if (positionLocation >= 0) {
        glEnableVertexAttribArray(static_cast<GLuint>(positionLocation));
        glVertexAttribPointer(static_cast<GLuint>(positionLocation), 2, GL_FLOAT, GL_FALSE, stride, nullptr);
    }
    const GLint uvLocation = glGetAttribLocation(program->programHandle, attribute::uv);
    if (uvLocation >= 0) {
        glEnableVertexAttribArray(static_cast<GLuint>(uvLocation));
        glVertexAttribPointer(static_cast<GLuint>(uvLocation), 2, GL_FLOAT, GL_FALSE, stride,
                              reinterpret_cast<const void*>(2 * sizeof(float)));
    }
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

HudImage::~HudImage()
{
    glDeleteBuffers(1, &vertexBuffer);
    glDeleteBuffers(1, &indexBuffer);
    glDeleteTextures(1, &texture);
    glDeleteVertexArrays(1, &vertexArray);
}

void HudImage::draw() const
{
    glUniform1i(glGetUniformLocation(program->programHandle, uniform::colorTexture), 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glBindVertexArray(vertexArray);
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
    glBindVertexArray(0);
    glBindTexture(GL_TEXTURE_2D, 0);
}

} // namespace frosk
