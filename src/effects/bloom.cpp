#include "effects/bloom.h"

#include "shader/names.h"
#include "shader/shader.h"

namespace frosk::effects {

namespace {

// The full-screen quad for one program: the corner in [-1, 1] feeds both
// "position" and "texcoord"; the shaders derive texture coordinates from it.
GLuint quadFor(const Shader* program, GLuint quadBuffer)
{
    GLuint vao = 0;
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glBindBuffer(GL_ARRAY_BUFFER, quadBuffer);
    for (const char* name : {attribute::position, attribute::texcoord}) {
        const GLint location = glGetAttribLocation(program->programHandle, name);
        if (location < 0)
            continue;
        glEnableVertexAttribArray(static_cast<GLuint>(location));
        glVertexAttribPointer(static_cast<GLuint>(location), 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    }
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return vao;
}

} // namespace

int Bloom::blurRepetitions(int windowWidth)
{
    return 3 - static_cast<int>(static_cast<float>(windowWidth) / -800.0f * 2.0f);
}

Bloom::Bloom(Shader* bloomShader, Shader* drawFramebufferShader, Shader* blur1Shader, Shader* blur2Shader,
             int windowWidth, int windowHeight)
    : windowWidth(windowWidth),
      windowHeight(windowHeight),
      halfWidth(windowWidth / 2),
      halfHeight(windowHeight / 2),
      glow(halfWidth, halfHeight, GL_RGB, true),
      blur(halfWidth, halfHeight, GL_RGB, true),
      bloomShader(bloomShader),
      drawFramebufferShader(drawFramebufferShader),
      blur1Shader(blur1Shader),
      blur2Shader(blur2Shader)
{
    const GLfloat quad[8] = {-1, -1, 1, -1, -1, 1, 1, 1};
    glGenBuffers(1, &quadBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, quadBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof quad, quad, GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    compositeVAO = quadFor(drawFramebufferShader, quadBuffer);
    blur1VAO = quadFor(blur1Shader, quadBuffer);
    blur2VAO = quadFor(blur2Shader, quadBuffer);
}

Bloom::~Bloom()
{
    glDeleteVertexArrays(1, &compositeVAO);
    glDeleteVertexArrays(1, &blur1VAO);
    glDeleteVertexArrays(1, &blur2VAO);
    glDeleteBuffers(1, &quadBuffer);
}

void Bloom::startBrightPass(PassScope& pass)
{
    pass.into(glow).clear(glm::vec4(0.0f, 0.0f, 0.0f, 0.0f)).cullBackFaces().opaque();
    glUseProgram(bloomShader->programHandle);
}

void Bloom::blurPass(const RenderTarget& target, GLuint sourceTexture, const Shader* program, GLuint quad)
{
    // The quad covers every texel with an opaque colour: nothing to clear,
    // test or blend.
    PassScope pass(windowWidth, windowHeight);
    pass.into(target).withoutDepthTest().opaque();

    glUseProgram(program->programHandle);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, sourceTexture);
    glUniform1i(glGetUniformLocation(program->programHandle, uniform::fboTexture), 0);
    glBindVertexArray(quad);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glBindVertexArray(0);
}

void Bloom::blurPass1()
{
    blurPass(blur, glow.colorTexture, blur1Shader, blur1VAO);
}

void Bloom::blurPass2()
{
    blurPass(glow, blur.colorTexture, blur2Shader, blur2VAO);
}

} // namespace frosk::effects
