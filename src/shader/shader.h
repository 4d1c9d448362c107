#pragma once

#include <GL/glew.h>

#include <string>

namespace frosk {

// One linked GL program built from GLSL files. Any failure to read, compile
// or link is fatal: the message goes to standard output and the process ends.
class Shader {
public:
    Shader(const std::string& vertexFile, const std::string& fragmentFile);
    Shader(const std::string& vertexFile, const std::string& geometryFile, const std::string& fragmentFile);
    // Three file names given as literals would otherwise pick the bool form.
    Shader(const std::string& vertexFile, const std::string& geometryFile, const char* fragmentFile)
        : Shader(vertexFile, geometryFile, std::string(fragmentFile)) {}
    // Vertex + geometry with the particle record as transform-feedback output
    // and no fragment stage; the flag only picks this form.
    Shader(const std::string& vertexFile, const std::string& geometryFile, bool transformFeedback);
    virtual ~Shader();

    Shader(const Shader&) = delete;
    Shader& operator=(const Shader&) = delete;

    GLuint programHandle = 0;
    GLuint vertexHandle = 0;
    GLuint fragmentHandle = 0;
    GLuint geometryHandle = 0;

private:
    void createProgram();
    void loadShader(const std::string& path, GLenum type, GLuint& handle);
    void link();
    void linkTransformFeedback();
    void checkLink();
};

} // namespace frosk
