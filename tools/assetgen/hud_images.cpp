#include "assetgen.h"
#include "noise.h"

#include <algorithm>
#include <cmath>

namespace assetgen {

namespace {

using glm::vec2;
using glm::vec3;
using glm::vec4;

float smoothstep(float e0, float e1, float x)
{
    const float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

// Coverage of a band between two radii, anti-aliased over one pixel.
float band(float r, float inner, float outer, float pixel)
{
    return smoothstep(inner - pixel, inner + pixel, r) * (1.0f - smoothstep(outer - pixel, outer + pixel, r));
}

// Lays `top` over `bottom` (straight alpha).
vec4 over(const vec4& top, const vec4& bottom)
{
    const float a = top.a + bottom.a * (1.0f - top.a);
    if (a <= 0.0f)
        return vec4(0.0f);
    const vec3 c = (vec3(top) * top.a + vec3(bottom) * bottom.a * (1.0f - top.a)) / a;
    return vec4(c, a);
}

template <typename F> Image draw(int size, F f)
{
    Image image(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            // Centred coordinates in [-1, 1], y upwards.
            const vec2 p((x + 0.5f) / size * 2.0f - 1.0f, 1.0f - (y + 0.5f) / size * 2.0f);
            image.set(x, y, f(p, 2.0f / size));
        }
    return image;
}

Image reticle()
{
    return draw(128, [](vec2 p, float px) {
        const float r = glm::length(p);
        vec4 c(0.0f);
        // A dark outline under every white stroke keeps it readable on snow and sky.
        const float ringOutline = band(r, 0.50f, 0.66f, px);
        const float ring = band(r, 0.54f, 0.62f, px);
        const float ticksV = (std::abs(p.x) < 0.05f && std::abs(p.y) > 0.68f && std::abs(p.y) < 0.95f) ? 1.0f : 0.0f;
        const float ticksH = (std::abs(p.y) < 0.05f && std::abs(p.x) > 0.68f && std::abs(p.x) < 0.95f) ? 1.0f : 0.0f;
        const float ticksOutline = ((std::abs(p.x) < 0.09f && std::abs(p.y) > 0.64f && std::abs(p.y) < 0.99f) ||
                                    (std::abs(p.y) < 0.09f && std::abs(p.x) > 0.64f && std::abs(p.x) < 0.99f)) ? 1.0f : 0.0f;
        const float dot = 1.0f - smoothstep(0.07f - px, 0.07f + px, r);
        const float dotOutline = 1.0f - smoothstep(0.11f - px, 0.11f + px, r);
        c = over(vec4(0.1f, 0.1f, 0.1f, 0.6f * std::max({ringOutline, ticksOutline, dotOutline})), c);
        c = over(vec4(1.0f, 1.0f, 1.0f, std::max({ring, ticksV, ticksH})), c);
        c = over(vec4(1.0f, 0.35f, 0.3f, dot), c);
        return c;
    });
}

// The HUD's cake: a slice of layer cake with pink icing and a cherry on a
// plate, filling the square [-1, 1]^2; `px` is the size of a pixel there.
vec4 cakeArt(vec2 p, float px)
{
    vec4 c(0.0f);
    // Side of the cake: a rectangle with rounded lower corners, sponge with a cream layer.
    const float inSide = (std::abs(p.x) < 0.78f && p.y > -0.62f && p.y < 0.12f) ? 1.0f : 0.0f;
    if (inSide > 0.0f) {
        const bool cream = std::abs(p.y + 0.25f) < 0.06f;
        const vec3 sponge = vec3(0.86f, 0.62f, 0.32f) * (0.9f + 0.1f * valueNoise(p.x * 20, p.y * 20, 0, 5));
        c = over(vec4(cream ? vec3(0.99f, 0.95f, 0.86f) : sponge, 1.0f), c);
    }
    // Top: an ellipse of pink icing with drips over the side.
    const vec2 e((p.x) / 0.80f, (p.y - 0.12f) / 0.22f);
    const float top = 1.0f - smoothstep(1.0f - px * 4, 1.0f + px * 4, glm::length(e));
    const float drip = (p.y < 0.12f && p.y > -0.12f - 0.12f * (0.5f + 0.5f * std::sin(p.x * 14.0f)) &&
                        std::abs(p.x) < 0.78f) ? 1.0f : 0.0f;
    c = over(vec4(0.96f, 0.52f, 0.68f, std::max(top, drip)), c);
    // A cherry on top.
    const float cherry = 1.0f - smoothstep(0.15f - px, 0.15f + px, glm::length(p - vec2(0.0f, 0.36f)));
    const float shine = 1.0f - smoothstep(0.04f - px, 0.04f + px, glm::length(p - vec2(-0.05f, 0.41f)));
    c = over(vec4(0.85f, 0.05f, 0.12f, cherry), c);
    c = over(vec4(1.0f, 0.9f, 0.9f, shine), c);
    // Plate.
    const float plate = (std::abs(p.x) < 0.92f && p.y < -0.60f && p.y > -0.72f) ? 1.0f : 0.0f;
    c = over(vec4(0.92f, 0.93f, 0.96f, plate), c);
    return c;
}

// The HUD's target: red and white rings round a yellow bull's eye.
vec4 targetArt(vec2 p, float px)
{
    const float r = glm::length(p);
    const float inside = 1.0f - smoothstep(0.92f - px, 0.92f + px, r);
    const int ring = static_cast<int>(r / 0.184f);
    const vec3 colours[5] = {{1.0f, 0.85f, 0.1f}, {0.92f, 0.12f, 0.12f}, {1.0f, 1.0f, 1.0f},
                             {0.92f, 0.12f, 0.12f}, {1.0f, 1.0f, 1.0f}};
    const vec3 c = colours[std::min(ring, 4)];
    const float edge = band(r, 0.88f, 0.96f, px);
    return over(vec4(0.15f, 0.1f, 0.1f, edge), vec4(c, inside));
}

// A soft round sprite: opaque in the middle, fading to nothing at the edge,
// with a few crumbs of a second colour.
Image particle(const vec3& inner, const vec3& outer, uint32_t seed)
{
    return draw(64, [&](vec2 p, float) {
        const float r = glm::length(p);
        const float fade = 1.0f - smoothstep(0.25f, 1.0f, r);
        const float crumbs = smoothstep(0.62f, 0.75f, valueNoise(p.x * 6 + 9, p.y * 6 + 9, 0, seed));
        vec3 c = inner + (outer - inner) * smoothstep(0.0f, 0.9f, r);
        c = c + (vec3(1.0f) - c) * crumbs * 0.5f;
        return vec4(c, fade * fade);
    });
}

} // namespace

std::map<std::string, Image> buildHudImages()
{
    std::map<std::string, Image> images;
    images.emplace("reticle2.png", reticle());
    images.emplace("cake2.png", draw(128, cakeArt));
    images.emplace("Target_1.png", draw(128, targetArt));
    // Bursts of the pink and cream cakes (kinds 1 and 4) and of the chocolate
    // and lemon ones (kinds 2 and 3).
    images.emplace("Textures/particle-3.png", particle({1.0f, 0.88f, 0.92f}, {0.95f, 0.45f, 0.62f}, 171));
    images.emplace("Textures/particle-4.png", particle({1.0f, 0.90f, 0.55f}, {0.55f, 0.32f, 0.14f}, 172));
    return images;
}

Image buildAppIcon(int size)
{
    // The target up and to the right, the cake in front of it down and to
    // the left: the whole game in one picture, still readable at 16 pixels.
    const float targetScale = 0.66f, cakeScale = 0.8f;
    const vec2 targetCentre(0.32f, 0.3f), cakeCentre(-0.18f, -0.36f);
    return draw(size, [&](vec2 p, float px) {
        const vec4 target = targetArt((p - targetCentre) / targetScale, px / targetScale);
        const vec4 cake = cakeArt((p - cakeCentre) / cakeScale, px / cakeScale);
        return over(cake, target);
    });
}

} // namespace assetgen
