#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <cstddef>
#include <string>
#include <vector>

namespace testsupport {

// A colour + depth framebuffer to draw into and read back, exactly, pixel by
// pixel. Rows come back bottom-up, as GL has them.
class OffscreenTarget {
public:
    OffscreenTarget(int width, int height);
    ~OffscreenTarget();
    OffscreenTarget(const OffscreenTarget&) = delete;
    OffscreenTarget& operator=(const OffscreenTarget&) = delete;

    // Binds the target and sets the viewport to all of it.
    void bind() const;
    // Binds the default framebuffer again.
    void unbind() const;
    void clear(const glm::vec4& colour) const;

    std::vector<unsigned char> readRgba() const;
    glm::u8vec4 pixel(int x, int y) const;
    // Writes build/screenshots/<name>.png for a person to look at; returns its path.
    std::string savePng(const std::string& name) const;

    int width;
    int height;
    GLuint framebuffer = 0;
    GLuint colour = 0;
    GLuint depth = 0;
};

// How many bytes of two pictures differ; bytes one has beyond the other's end
// count as differing, so pictures of different sizes never compare equal.
std::size_t differingBytes(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b);
// Reads a rectangle of whatever framebuffer is bound for reading (bottom-up rows).
std::vector<unsigned char> readPixels(int x, int y, int width, int height);
// Writes bottom-up RGBA rows as an upright PNG; returns false when it cannot.
bool writePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgba);
// Where screenshots go: build/screenshots/<name>.png (the folder is created).
std::string screenshotPath(const std::string& name);

} // namespace testsupport
