#include "physicsengine/debug_view.h"

#include "physicsengine/physics.h"

#include <glm/gtc/type_ptr.hpp>

#include <iostream>

namespace frosk::physicsengine {

namespace {

// A debug tool's program, kept beside its only user. Its GLSL is written
// here rather than read from Shader/, so its names (the uniform
// "viewProjection", and attributes bound by location, not by name) stay
// beside the source that declares them instead of among the game's shared
// shader names.
const char* const vertexSource = R"(#version 330 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 colour;
uniform mat4 viewProjection;
out vec3 lineColour;
void main()
{
    lineColour = colour;
    gl_Position = viewProjection * vec4(position, 1.0);
}
)";

const char* const fragmentSource = R"(#version 330 core
in vec3 lineColour;
out vec4 fragColour;
void main()
{
    fragColour = vec4(lineColour, 1.0);
}
)";

GLuint compile(GLenum type, const char* source)
{
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[1024] = {};
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::cout << "Physics debug view shader: " << log << std::endl;
    }
    return shader;
}

} // namespace

DebugView::DebugView()
{
    const GLuint vertex = compile(GL_VERTEX_SHADER, vertexSource);
    const GLuint fragment = compile(GL_FRAGMENT_SHADER, fragmentSource);
    program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);

    glGenVertexArrays(1, &vertexArray);
    glGenBuffers(1, &buffer);
    glBindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 6 * sizeof(float), nullptr);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, 6 * sizeof(float),
                          reinterpret_cast<const void*>(3 * sizeof(float)));
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

DebugView::~DebugView()
{
    glDeleteBuffers(1, &buffer);
    glDeleteVertexArrays(1, &vertexArray);
    glDeleteProgram(program);
}

void DebugView::draw(Physics& physics, const glm::mat4& viewProjection)
{
    lines.clear();
    physics.debugLines(lines);
    if (lines.empty())
        return;

    GLint previousProgram = 0, previousArray = 0, previousBuffer = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &previousProgram);
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &previousArray);
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &previousBuffer);
    const GLboolean depthTest = glIsEnabled(GL_DEPTH_TEST);

    glDisable(GL_DEPTH_TEST);
    glUseProgram(program);
    glUniformMatrix4fv(glGetUniformLocation(program, "viewProjection"), 1, GL_FALSE,
                       glm::value_ptr(viewProjection));
    glBindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(lines.size() * sizeof(float)), lines.data(),
                 GL_STREAM_DRAW);
    glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(lines.size() / 6));

    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(previousBuffer));
    glBindVertexArray(static_cast<GLuint>(previousArray));
    glUseProgram(static_cast<GLuint>(previousProgram));
    if (depthTest)
        glEnable(GL_DEPTH_TEST);
}

} // namespace frosk::physicsengine
