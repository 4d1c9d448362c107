#include "shader/shader.h"

#include "common/console.h"
#include "shader/names.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

namespace frosk {

namespace {

[[noreturn]] void fail(const std::string& message, const std::string& log = std::string(), bool withLog = false)
{
    std::cout << message << std::endl;
    if (withLog)
        std::cout << log << std::endl;
    fatalExit(-1);
}

// The info log of a shader or of a program, read with the two getters of its
// kind (their signatures are the same); NUL-terminated even when empty.
std::vector<char> infoLog(GLuint object, PFNGLGETSHADERIVPROC getInteger, PFNGLGETSHADERINFOLOGPROC getLog)
{
    GLint length = 0;
    getInteger(object, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
    if (length > 0)
        getLog(object, length, nullptr, log.data());
    return log;
}

} // namespace

Shader::Shader(const std::string& vertexFile, const std::string& fragmentFile)
{
    createProgram();
    loadShader(vertexFile, GL_VERTEX_SHADER, vertexHandle);
    loadShader(fragmentFile, GL_FRAGMENT_SHADER, fragmentHandle);
    link();
}

Shader::Shader(const std::string& vertexFile, const std::string& geometryFile, const std::string& fragmentFile)
{
    createProgram();
    loadShader(vertexFile, GL_VERTEX_SHADER, vertexHandle);
    loadShader(geometryFile, GL_GEOMETRY_SHADER, geometryHandle);
    loadShader(fragmentFile, GL_FRAGMENT_SHADER, fragmentHandle);
    glAttachShader(programHandle, geometryHandle);
    link();
}

Shader::Shader(const std::string& vertexFile, const std::string& geometryFile, bool /*transformFeedback*/)
{
    createProgram();
    loadShader(vertexFile, GL_VERTEX_SHADER, vertexHandle);
    loadShader(geometryFile, GL_GEOMETRY_SHADER, geometryHandle);
    linkTransformFeedback();
}

Shader::~Shader()
{
    glDeleteProgram(programHandle);
    glDeleteShader(vertexHandle);
    if (fragmentHandle != 0)
        glDeleteShader(fragmentHandle);
    if (geometryHandle != 0)
        glDeleteShader(geometryHandle);
}

void Shader::createProgram()
{
    programHandle = glCreateProgram();
    if (programHandle == 0)
        fail("Didn't get a valid programHandle.");
}

void Shader::loadShader(const std::string& path, GLenum type, GLuint& handle)
{
    std::string text;
    {
        std::ifstream file(path);
        if (!file)
            fail("Failed to open shader file: " + path);
        text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    handle = glCreateShader(type);
    if (handle == 0)
        fail("Failed to create shader");

    const char* source = text.c_str();
    glShaderSource(handle, 1, &source, nullptr);
    glCompileShader(handle);

    GLint status = 0;
    glGetShaderiv(handle, GL_COMPILE_STATUS, &status);
    if (status != 0 && glIsShader(handle))
        return;

    fail("Failed to compile shader", infoLog(handle, glGetShaderiv, glGetShaderInfoLog).data(), true);
}

void Shader::link()
{
    glAttachShader(programHandle, vertexHandle);
    glAttachShader(programHandle, fragmentHandle);
    glBindFragDataLocation(programHandle, 0, output::fragColor);
    checkLink();
}

void Shader::linkTransformFeedback()
{
    glAttachShader(programHandle, vertexHandle);
    glAttachShader(programHandle, geometryHandle);
    glTransformFeedbackVaryings(programHandle, static_cast<GLsizei>(std::size(output::particleRecord)),
                                output::particleRecord, GL_INTERLEAVED_ATTRIBS);
    checkLink();
}

void Shader::checkLink()
{
    glLinkProgram(programHandle);
    GLint status = 0;
    glGetProgramiv(programHandle, GL_LINK_STATUS, &status);
    if (status != 0)
        return;

    fail("Failed to link shader program", infoLog(programHandle, glGetProgramiv, glGetProgramInfoLog).data(), true);
}

} // namespace frosk
