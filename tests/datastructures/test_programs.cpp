#include "test_programs.h"

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace testprograms {

namespace {

const char* const header = "#version 330 core\n";

const char* const plainVertex = R"(
layout(location = 0) in vec3 position;
layout(location = 2) in vec3 color;
layout(location = 3) in vec2 uv;
uniform mat4 modelMatrix;
out vec3 vColor;
out vec2 vUv;
void main() {
    vColor = color;
    vUv = uv;
    gl_Position = modelMatrix * vec4(position, 1.0);
})";

const char* const litVertex = R"(
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec3 color;
layout(location = 3) in vec2 uv;
uniform mat4 VP;
uniform mat4 depthTranslScalVP;
uniform mat4 modelMatrix;
out vec3 vColor;
out vec3 vNormal;
out vec4 vShadow;
out vec2 vUv;
void main() {
    vec4 world = modelMatrix * vec4(position, 1.0);
    vColor = color;
    vUv = uv;
    vNormal = mat3(modelMatrix) * normal;
    vShadow = depthTranslScalVP * world;
    gl_Position = VP * world;
})";

std::string writeScratch(const std::string& name, const std::string& text)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("crumbrise_programs_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::filesystem::path file = folder / name;
    std::ofstream(file) << text;
    return file.string();
}

} // namespace

std::unique_ptr<frosk::Shader> build(const std::string& vertexSource, const std::string& fragmentSource)
{
    static int count = 0;
    ++count;
    const std::string vertex = writeScratch(std::to_string(count) + ".vert", header + vertexSource);
    const std::string fragment = writeScratch(std::to_string(count) + ".frag", header + fragmentSource);
    return std::make_unique<frosk::Shader>(vertex, fragment);
}

std::unique_ptr<frosk::Shader> plainColour()
{
    return build(plainVertex, R"(
in vec3 vColor;
in vec2 vUv;
out vec4 fragColor;
void main() { fragColor = vec4(vColor, 1.0); })");
}

std::unique_ptr<frosk::Shader> plainTexture()
{
    return build(plainVertex, R"(
in vec3 vColor;
in vec2 vUv;
uniform sampler2D colorTexture;
out vec4 fragColor;
void main() { fragColor = texture(colorTexture, vUv) * vec4(vColor, 1.0); })");
}

std::unique_ptr<frosk::Shader> positionOnly()
{
    return build(R"(
layout(location = 0) in vec3 position;
uniform mat4 modelMatrix;
void main() { gl_Position = modelMatrix * vec4(position, 1.0); })",
                 R"(
out vec4 fragColor;
void main() { fragColor = vec4(1.0); })");
}

std::unique_ptr<frosk::Shader> depthPass()
{
    return build(R"(
layout(location = 0) in vec3 position;
uniform mat4 depthVP;
uniform mat4 modelMatrix;
void main() { gl_Position = depthVP * modelMatrix * vec4(position, 1.0); })",
                 R"(
out vec4 fragColor;
void main() { fragColor = vec4(1.0); })");
}

std::unique_ptr<frosk::Shader> shadowed()
{
    return build(litVertex, R"(
in vec3 vColor;
in vec3 vNormal;
in vec4 vShadow;
in vec2 vUv;
uniform sampler2DShadow shadowMap;
uniform sampler2D colorTexture;
uniform float uvWeight;
out vec4 fragColor;
void main() {
    vec4 coord = vShadow;
    coord.z -= 0.002 * coord.w;
    float lit = textureProj(shadowMap, coord);
    float facing = abs(normalize(vNormal).y);
    fragColor = vec4(vColor * (0.25 + 0.75 * lit) * facing + uvWeight * texture(colorTexture, vUv).rgb, 1.0);
})");
}

std::unique_ptr<frosk::Shader> toon()
{
    return build(litVertex, R"(
in vec3 vColor;
in vec3 vNormal;
in vec4 vShadow;
in vec2 vUv;
uniform sampler2DShadow shadowMap;
uniform float numShades;
uniform float uvWeight;
out vec4 fragColor;
void main() {
    float light = max(dot(normalize(vNormal), normalize(vec3(0.3, 0.5, 1.0))), 0.0);
    float band = floor(light * numShades) / numShades;
    float lit = textureProj(shadowMap, vShadow);
    fragColor = vec4(vColor * (0.2 + 0.8 * band) * (0.5 + 0.5 * lit) + uvWeight * vec3(vUv, 0.0), 1.0);
})");
}

std::unique_ptr<frosk::Shader> silhouette()
{
    return build(R"(
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
uniform mat4 VP;
uniform mat4 modelMatrix;
uniform float offset1;
void main() { gl_Position = VP * (modelMatrix * vec4(position + normal * offset1, 1.0)); })",
                 R"(
uniform vec3 color1;
out vec4 fragColor;
void main() { fragColor = vec4(color1, 1.0); })");
}

std::unique_ptr<frosk::Shader> secondary()
{
    return build(R"(
layout(location = 0) in vec3 position;
layout(location = 5) in vec3 color;
uniform mat4 modelMatrix;
out vec3 vColor;
void main() { vColor = color; gl_Position = modelMatrix * vec4(position, 1.0); })",
                 R"(
in vec3 vColor;
out vec4 fragColor;
void main() { fragColor = vec4(vColor, 1.0); })");
}

} // namespace testprograms
