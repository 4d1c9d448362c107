#include "effects/bloom.h"

#include "app/config.h"
#include "shader/shader.h"

#include <iostream>

namespace frosk::effects {

namespace {

GLuint halfSizeTexture(int width, int height)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

// A framebuffer drawing into `texture` with a depth renderbuffer of its own.
GLuint framebufferFor(GLuint texture, int width, int height, GLuint& depth)
{
    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    glFramebufferTexture(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, texture, 0);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        std::cout << "Framebuffer is NOT OK!" << std::flush;
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return framebuffer;
}

// The full-screen quad for one program: the corner in [-1, 1] feeds both
// "position" and "texcoord"; the shaders derive texture coordinates from it.
GLuint quadFor(const Shader* program, GLuint quadBuffer)
{
    GLuint vao = 0;
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glBindBuffer(GL_ARRAY_BUFFER, quadBuffer);
    for (const char* name : {"position", "texcoord"}) {
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
             Config* windowSize)
    : bloomShader(bloomShader),
      drawFramebufferShader(drawFramebufferShader),
      blur1Shader(blur1Shader),
      blur2Shader(blur2Shader),
      windowSize(windowSize),
      halfWidth(windowSize->width / 2),
      halfHeight(windowSize->height / 2)
{
    bloomTexture = halfSizeTexture(halfWidth, halfHeight);
    blurTexture = halfSizeTexture(halfWidth, halfHeight);
    bloomFramebuffer = framebufferFor(bloomTexture, halfWidth, halfHeight, bloomDepthRenderbuffer);
    blurFramebuffer = framebufferFor(blurTexture, halfWidth, halfHeight, depthRenderbuffer);

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
    glDeleteFramebuffers(1, &bloomFramebuffer);
    glDeleteFramebuffers(1, &blurFramebuffer);
    glDeleteRenderbuffers(1, &bloomDepthRenderbuffer);
    glDeleteRenderbuffers(1, &depthRenderbuffer);
    glDeleteTextures(1, &bloomTexture);
    glDeleteTextures(1, &blurTexture);
}

void Bloom::startBrightPass()
{
    glBindFramebuffer(GL_FRAMEBUFFER, bloomFramebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, bloomTexture, 0);
    glReadBuffer(GL_NONE);
    glViewport(0, 0, halfWidth, halfHeight);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glEnable(GL_DEPTH_TEST);
    glUseProgram(bloomShader->programHandle);
}

void Bloom::blurPass(GLuint targetFramebuffer, GLuint targetTexture, GLuint sourceTexture, const Shader* program,
                     GLuint quad)
{
    glBindFramebuffer(GL_FRAMEBUFFER, targetFramebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, targetTexture, 0);
    glReadBuffer(GL_NONE);
    glViewport(0, 0, halfWidth, halfHeight);
    glClearColor(1.0f, 1.0f, 1.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);

    glUseProgram(program->programHandle);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, sourceTexture);
    glUniform1i(glGetUniformLocation(program->programHandle, "fboTexture"), 0);
    glBindVertexArray(quad);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glBindVertexArray(0);

    glDisable(GL_CULL_FACE);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, windowSize->width, windowSize->height);
}

void Bloom::blurPass1()
{
    blurPass(blurFramebuffer, blurTexture, bloomTexture, blur1Shader, blur1VAO);
}

void Bloom::blurPass2()
{
    blurPass(bloomFramebuffer, bloomTexture, blurTexture, blur2Shader, blur2VAO);
}

} // namespace frosk::effects
