#pragma once

#include <glm/glm.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

// An RGBA image, row 0 at the top.
struct Image {
    Image(int width, int height) : width(width), height(height), rgba(static_cast<size_t>(width) * height * 4, 0) {}
    void set(int x, int y, const glm::vec4& colour);
    glm::vec4 get(int x, int y) const;
    // Mean colour of the opaque pixels, for the vertex colour of textured meshes.
    glm::vec3 meanColour() const;

    int width;
    int height;
    std::vector<uint8_t> rgba;
};

// Saves as PNG through DevIL. Returns "" or the error.
std::string savePng(const Image& image, const std::string& path);
// Loads a PNG through DevIL with the upper-left origin the game's model
// textures use; false when DevIL cannot read it.
bool loadPng(const std::string& path, Image& image);

} // namespace assetgen
