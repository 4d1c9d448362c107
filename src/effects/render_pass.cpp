#include "effects/render_pass.h"

#include <algorithm>
#include <cmath>
#include <iostream>

namespace frosk::effects {

void checkBoundFramebuffer()
{
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        std::cout << "Framebuffer is NOT OK!" << std::flush;
}

TexelRect texelsCovering(const glm::vec2& low, const glm::vec2& high, int width, int height, int margin)
{
    if (low.x > high.x || low.y > high.y)
        return {0, 0, 0, 0};
    const auto texel = [](float ndc, int size) { return (static_cast<double>(ndc) * 0.5 + 0.5) * size; };
    const auto clampTo = [](double value, int size) {
        return static_cast<int>(std::clamp(value, 0.0, static_cast<double>(size)));
    };
    return {clampTo(std::floor(texel(low.x, width)) - margin, width),
            clampTo(std::floor(texel(low.y, height)) - margin, height),
            clampTo(std::ceil(texel(high.x, width)) + margin, width),
            clampTo(std::ceil(texel(high.y, height)) + margin, height)};
}

RenderTarget::RenderTarget(int width, int height, GLenum format, bool clampToEdge) : width(width), height(height)
{
    glGenTextures(1, &colorTexture);
    glBindTexture(GL_TEXTURE_2D, colorTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), width, height, 0, format, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    if (clampToEdge) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    }
    glBindTexture(GL_TEXTURE_2D, 0);

    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glGenRenderbuffers(1, &depthBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
    glFramebufferTexture(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, colorTexture, 0);
    checkBoundFramebuffer();
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

RenderTarget::~RenderTarget()
{
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteRenderbuffers(1, &depthBuffer);
    glDeleteTextures(1, &colorTexture);
}

PassScope::PassScope(int windowWidth, int windowHeight) : windowWidth(windowWidth), windowHeight(windowHeight) {}

PassScope::~PassScope()
{
    if (cullingChanged)
        glDisable(GL_CULL_FACE);
    if (framebufferChanged)
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (viewportChanged)
        glViewport(0, 0, windowWidth, windowHeight);
    if (polygonModeChanged)
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    if (depthTestChanged)
        glEnable(GL_DEPTH_TEST);
    if (scissorChanged)
        glDisable(GL_SCISSOR_TEST);
    blendingAsSet();
}

PassScope& PassScope::into(const RenderTarget& target)
{
    into(target.framebuffer, target.width, target.height);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target.colorTexture, 0);
    glReadBuffer(GL_NONE);
    return *this;
}

PassScope& PassScope::into(GLuint framebuffer, int width, int height)
{
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glViewport(0, 0, width, height);
    framebufferChanged = true;
    viewportChanged = true;
    return *this;
}

PassScope& PassScope::clear(const glm::vec4& colour)
{
    glClearColor(colour.r, colour.g, colour.b, colour.a);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return *this;
}

PassScope& PassScope::clearDepth()
{
    glClear(GL_DEPTH_BUFFER_BIT);
    return *this;
}

PassScope& PassScope::cullBackFaces()
{
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    cullingChanged = true;
    return *this;
}

PassScope& PassScope::withoutDepthTest()
{
    glDisable(GL_DEPTH_TEST);
    depthTestChanged = true;
    return *this;
}

PassScope& PassScope::opaque()
{
    if (glIsEnabled(GL_BLEND)) {
        glDisable(GL_BLEND);
        blendingWasOn = true;
    }
    return *this;
}

PassScope& PassScope::blendingAsSet()
{
    if (blendingWasOn) {
        glEnable(GL_BLEND);
        blendingWasOn = false;
    }
    return *this;
}

PassScope& PassScope::onlyWithin(const TexelRect& rect)
{
    glEnable(GL_SCISSOR_TEST);
    glScissor(rect.x0, rect.y0, rect.x1 - rect.x0, rect.y1 - rect.y0);
    scissorChanged = true;
    return *this;
}

PassScope& PassScope::polygonMode(GLenum mode)
{
    glPolygonMode(GL_FRONT_AND_BACK, mode);
    polygonModeChanged = true;
    return *this;
}

} // namespace frosk::effects
