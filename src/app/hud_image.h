#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <string>
#include <vector>

namespace frosk {

class Shader;

// A textured screen quad of the HUD: an image file drawn at a fixed pixel
// rectangle. An image that cannot be loaded says so and draws untextured.
class HudImage {
public:
    HudImage(const std::string& file, int width, int height, const glm::vec2& position, Shader* program);
    virtual ~HudImage();
    HudImage(const HudImage&) = delete;
    HudImage& operator=(const HudImage&) = delete;

    // With the HUD program current and the depth test off.
    void draw() const;

    GLuint texture = 0;
    std::vector<float> vertices;
    std::vector<GLuint> indices;
    GLuint vertexArray = 0;
    GLuint vertexBuffer = 0;
    GLuint indexBuffer = 0;
    Shader* program = nullptr;
    float x = 0.0f;
    float y = 0.0f;
    int width = 0;
    int height = 0;
};

} // namespace frosk
