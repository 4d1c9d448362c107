#pragma once

// The physics debug view: every collision shape outlined in lines of its
// activation colour, drawn over the finished frame.

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <vector>

namespace frosk::physicsengine {

class Physics;

class DebugView {
public:
    // Needs a current GL context; builds its own small program.
    DebugView();
    ~DebugView();
    DebugView(const DebugView&) = delete;
    DebugView& operator=(const DebugView&) = delete;

    // Draws the outlines into the bound framebuffer, on top of what is there,
    // and leaves the GL state as it found it.
    void draw(Physics& physics, const glm::mat4& viewProjection);

    // Line segments drawn by the last draw.
    std::size_t lineCount() const { return lines.size() / 12; }

private:
    GLuint program = 0;
    GLuint vertexArray = 0;
    GLuint buffer = 0;
    std::vector<float> lines;
};

} // namespace frosk::physicsengine
