#include "support/offscreen.h"

#include <IL/il.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>

namespace testsupport {

OffscreenTarget::OffscreenTarget(int width, int height) : width(width), height(height)
{
    glGenTextures(1, &colour);
    glBindTexture(GL_TEXTURE_2D, colour);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);

    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);

    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (status != GL_FRAMEBUFFER_COMPLETE)
        throw std::runtime_error("off-screen test framebuffer is incomplete");
}

OffscreenTarget::~OffscreenTarget()
{
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteRenderbuffers(1, &depth);
    glDeleteTextures(1, &colour);
}

void OffscreenTarget::bind() const
{
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glViewport(0, 0, width, height);
}

void OffscreenTarget::unbind() const
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void OffscreenTarget::clear(const glm::vec4& c) const
{
    bind();
    glClearColor(c.r, c.g, c.b, c.a);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

std::vector<unsigned char> OffscreenTarget::readRgba() const
{
    GLint previous = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previous);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    std::vector<unsigned char> pixels = readPixels(0, 0, width, height);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(previous));
    return pixels;
}

glm::u8vec4 OffscreenTarget::pixel(int x, int y) const
{
    GLint previous = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previous);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    const std::vector<unsigned char> p = readPixels(x, y, 1, 1);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(previous));
    return glm::u8vec4(p[0], p[1], p[2], p[3]);
}

std::string OffscreenTarget::savePng(const std::string& name) const
{
    const std::string path = screenshotPath(name);
    writePng(path, width, height, readRgba());
    return path;
}

std::vector<unsigned char> readPixels(int x, int y, int width, int height)
{
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

std::size_t differingBytes(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b)
{
    const std::size_t common = std::min(a.size(), b.size());
    std::size_t count = std::max(a.size(), b.size()) - common;
    for (std::size_t i = 0; i < common; ++i)
        count += a[i] != b[i] ? 1 : 0;
    return count;
}

bool writePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgba)
{
    static const bool initialised = [] {
        ilInit();
        ilEnable(IL_FILE_OVERWRITE);
        return true;
    }();
    (void)initialised;

    // DevIL takes the rows bottom-up, as GL hands them over, and saves them upright.
    ILuint image = ilGenImage();
    ilBindImage(image);
    bool ok = ilTexImage(static_cast<ILuint>(width), static_cast<ILuint>(height), 1, 4, IL_RGBA,
                         IL_UNSIGNED_BYTE, const_cast<unsigned char*>(rgba.data())) == IL_TRUE;
    ok = ok && ilSave(IL_PNG, path.c_str()) == IL_TRUE;
    ilDeleteImage(image);
    return ok;
}

std::string screenshotPath(const std::string& name)
{
    const std::filesystem::path folder(CRUMBRISE_SCREENSHOT_DIR);
    std::filesystem::create_directories(folder);
    return (folder / (name + ".png")).string();
}

} // namespace testsupport
