#include "effects/shadow_mapping.h"

#include "app/config.h"
#include "shader/shader.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <iostream>

namespace frosk::effects {

glm::mat4 cameraPerspective(int windowWidth, int windowHeight)
{
    const float aspect = static_cast<float>(windowWidth) / static_cast<float>(windowHeight);
    return glm::perspective(glm::radians(60.0f), aspect, 0.01f, 200.0f);
}

ShadowMapping::ShadowMapping(Shader* pass1Shader, Config* windowSize)
    : pass1Shader(pass1Shader),
      windowSize(windowSize),
      lightProjection(glm::ortho(-35.0f, 35.0f, -35.0f, 35.0f, 0.0f, 200.0f))
{
    glGenTextures(1, &depthTexture);
    glBindTexture(GL_TEXTURE_2D, depthTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, width, height, 0, GL_DEPTH_COMPONENT, GL_FLOAT, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    // Sampled through a shadow sampler: a filtered depth comparison.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
    glBindTexture(GL_TEXTURE_2D, 0);

    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, depthTexture, 0);
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        std::cout << "Framebuffer is NOT OK!" << std::flush;
}

ShadowMapping::~ShadowMapping()
{
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteTextures(1, &depthTexture);
}

void ShadowMapping::startPass1()
{
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, depthTexture, 0);
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    glViewport(0, 0, width, height);
    glClear(GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glUseProgram(pass1Shader->programHandle);
}

glm::mat4 ShadowMapping::lightView() const
{
    return glm::lookAt(lightPosition, glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f));
}

glm::mat4 ShadowMapping::depthVP() const
{
    return lightProjection * lightView();
}

glm::mat4 ShadowMapping::cameraProjection() const
{
    return cameraPerspective(windowSize->width, windowSize->height);
}

void ShadowMapping::setVP(GLuint program) const
{
    const glm::mat4 vp = cameraProjection() * view;
    glUniformMatrix4fv(glGetUniformLocation(program, "VP"), 1, GL_FALSE, glm::value_ptr(vp));
}

void ShadowMapping::setDepthTranslScalVP(GLuint program) const
{
    const glm::mat4 bias(0.5f, 0.0f, 0.0f, 0.0f,
                         0.0f, 0.5f, 0.0f, 0.0f,
                         0.0f, 0.0f, 0.5f, 0.0f,
                         0.5f, 0.5f, 0.5f, 1.0f);
    const glm::mat4 m = bias * depthVP();
    glUniformMatrix4fv(glGetUniformLocation(program, "depthTranslScalVP"), 1, GL_FALSE, glm::value_ptr(m));
}

} // namespace frosk::effects
