#include "image.h"
#include "noise.h"

#include <IL/il.h>

#include <algorithm>
#include <cmath>

namespace assetgen {

namespace {

void initDevil()
{
    static bool done = false;
    if (done)
        return;
    ilInit();
    ilEnable(IL_FILE_OVERWRITE);
    done = true;
}

float smooth(float t) { return t * t * (3.0f - 2.0f * t); }

float lattice(int x, int y, int period, uint32_t seed)
{
    if (period > 0) {
        x = ((x % period) + period) % period;
        y = ((y % period) + period) % period;
    }
    return static_cast<float>(hash3(x, y, seed) & 0xffffff) / 16777215.0f;
}

} // namespace

float valueNoise(float x, float y, int period, uint32_t seed)
{
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    const float tx = smooth(x - fx), ty = smooth(y - fy);
    const float a = lattice(ix, iy, period, seed), b = lattice(ix + 1, iy, period, seed);
    const float c = lattice(ix, iy + 1, period, seed), d = lattice(ix + 1, iy + 1, period, seed);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

float fbm(float x, float y, int octaves, int period, uint32_t seed)
{
    float sum = 0.0f, weight = 1.0f, total = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += weight * valueNoise(x, y, period, seed + static_cast<uint32_t>(o) * 101U);
        total += weight;
        x *= 2.0f;
        y *= 2.0f;
        period *= 2;
        weight *= 0.5f;
    }
    return sum / total;
}

void Image::set(int x, int y, const glm::vec4& c)
{
    uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
    for (int k = 0; k < 4; ++k)
        p[k] = static_cast<uint8_t>(std::lround(std::clamp(c[k], 0.0f, 1.0f) * 255.0f));
}

glm::vec4 Image::get(int x, int y) const
{
    const uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
    return glm::vec4(p[0], p[1], p[2], p[3]) / 255.0f;
}

glm::vec3 Image::meanColour() const
{
    glm::dvec3 sum(0.0);
    double weight = 0.0;
    for (size_t i = 0; i < rgba.size(); i += 4) {
        const double a = rgba[i + 3] / 255.0;
        sum += glm::dvec3(rgba[i], rgba[i + 1], rgba[i + 2]) * (a / 255.0);
        weight += a;
    }
    return weight > 0.0 ? glm::vec3(sum / weight) : glm::vec3(0.0f);
}

std::string savePng(const Image& image, const std::string& path)
{
    initDevil();
    // DevIL takes the pixels handed to it as bottom row first.
    std::vector<uint8_t> bottomUp(image.rgba.size());
    const size_t row = static_cast<size_t>(image.width) * 4;
    for (int y = 0; y < image.height; ++y)
        std::copy_n(&image.rgba[y * row], row, &bottomUp[(image.height - 1 - y) * row]);

    ILuint id = 0;
    ilGenImages(1, &id);
    ilBindImage(id);
    std::string error;
    if (!ilTexImage(image.width, image.height, 1, 4, IL_RGBA, IL_UNSIGNED_BYTE, bottomUp.data()))
        error = "DevIL rejected the pixels of " + path;
    else if (!ilSave(IL_PNG, path.c_str()))
        error = "DevIL could not write " + path + " (error " + std::to_string(ilGetError()) + ")";
    ilDeleteImages(1, &id);
    return error;
}

bool loadPng(const std::string& path, Image& image)
{
    initDevil();
    ILuint id = 0;
    ilGenImages(1, &id);
    ilBindImage(id);
    ilEnable(IL_ORIGIN_SET);
    ilOriginFunc(IL_ORIGIN_UPPER_LEFT);
    bool ok = ilLoadImage(path.c_str()) && ilConvertImage(IL_RGBA, IL_UNSIGNED_BYTE);
    if (ok) {
        image = Image(ilGetInteger(IL_IMAGE_WIDTH), ilGetInteger(IL_IMAGE_HEIGHT));
        const ILubyte* data = ilGetData();
        std::copy_n(data, image.rgba.size(), image.rgba.begin());
    }
    ilDeleteImages(1, &id);
    return ok;
}

} // namespace assetgen
