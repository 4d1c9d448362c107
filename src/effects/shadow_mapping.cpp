#include "effects/shadow_mapping.h"

#include "effects/render_pass.h"
#include "shader/names.h"
#include "shader/shader.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>


namespace frosk::effects {

namespace {

// A depth-only framebuffer with `texture` as its depth attachment, left bound.
void createDepthTarget(GLsizei width, GLsizei height, GLuint& texture, GLuint& framebuffer)
{
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
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
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, texture, 0);
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    checkBoundFramebuffer();
}

} // namespace

ShadowMapping::ShadowMapping(Shader* pass1Shader, int windowWidth, int windowHeight)
    : pass1Shader(pass1Shader),
      lightProjection(glm::ortho(-35.0f, 35.0f, -35.0f, 35.0f, 0.0f, 200.0f)),
      camera(Camera::looking(glm::mat4(1.0f), glm::vec3(0.0f), windowWidth, windowHeight))
{
    // The cache first, so that the map's framebuffer is the one left bound.
    createDepthTarget(width, height, staticDepthTexture, staticFramebuffer);
    createDepthTarget(width, height, depthTexture, framebuffer);
}

ShadowMapping::~ShadowMapping()
{
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteTextures(1, &depthTexture);
    glDeleteFramebuffers(1, &staticFramebuffer);
    glDeleteTextures(1, &staticDepthTexture);
}

void ShadowMapping::startPass1(PassScope& pass)
{
    pass.into(framebuffer, width, height);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, depthTexture, 0);
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    pass.clearDepth();
    startDrawing(pass);
    mapFollowsCache = false;
}

void ShadowMapping::startStaticPass(PassScope& pass)
{
    pass.into(staticFramebuffer, width, height).clearDepth();
    startDrawing(pass);
    mapFollowsCache = false;
}

void ShadowMapping::startMovingPass(PassScope& pass)
{
    glBindFramebuffer(GL_READ_FRAMEBUFFER, staticFramebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
    if (mapFollowsCache) {
        for (const TexelRect& rect : coveredByMovers)
            copyFromCache(rect);
    } else {
        copyFromCache({0, 0, width, height});
    }
    coveredByMovers.clear();
    mapFollowsCache = true;

    pass.into(framebuffer, width, height);
    startDrawing(pass);
}

// A blit, which the scissor test would cut short; only passes that ask for
// it within their scope turn that test on.
void ShadowMapping::copyFromCache(const TexelRect& rect) const
{
    glBlitFramebuffer(rect.x0, rect.y0, rect.x1, rect.y1, rect.x0, rect.y0, rect.x1, rect.y1, GL_DEPTH_BUFFER_BIT,
                      GL_NEAREST);
}

void ShadowMapping::startDrawing(PassScope& pass) const
{
    pass.cullBackFaces();
    glUseProgram(pass1Shader->programHandle);
}

// Widened by a texel on each side, so that rounding in the rasteriser stays
// inside.
void ShadowMapping::coverFootprint(const glm::vec2& low, const glm::vec2& high)
{
    const TexelRect rect = texelsCovering(low, high, width, height, 1);
    if (!rect.empty())
        coveredByMovers.push_back(rect);
}

glm::mat4 ShadowMapping::lightView() const
{
    return glm::lookAt(lightPosition, glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f));
}

glm::mat4 ShadowMapping::depthVP() const
{
    return lightProjection * lightView();
}

void ShadowMapping::setVP(GLuint program) const
{
    const glm::mat4 vp = camera.viewProjection();
    glUniformMatrix4fv(glGetUniformLocation(program, uniform::VP), 1, GL_FALSE, glm::value_ptr(vp));
}

void ShadowMapping::setDepthTranslScalVP(GLuint program) const
{
    const glm::mat4 bias(0.5f, 0.0f, 0.0f, 0.0f,
                         0.0f, 0.5f, 0.0f, 0.0f,
                         0.0f, 0.0f, 0.5f, 0.0f,
                         0.5f, 0.5f, 0.5f, 1.0f);
    const glm::mat4 m = bias * depthVP();
    glUniformMatrix4fv(glGetUniformLocation(program, uniform::depthTranslScalVP), 1, GL_FALSE, glm::value_ptr(m));
}

} // namespace frosk::effects
