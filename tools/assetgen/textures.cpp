#include "assetgen.h"
#include "noise.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace assetgen {

namespace {

using glm::vec3;
using glm::vec4;

// Fills an image from a function of (u, v) in [0, 1), u to the right and
// v downwards; textures meant to tile use noise whose period divides the size.
Image paint(int w, int h, const std::function<vec4(float, float)>& f)
{
    Image image(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.set(x, y, f((x + 0.5f) / w, (y + 0.5f) / h));
    return image;
}

vec3 mix3(const vec3& a, const vec3& b, float t) { return a + (b - a) * std::clamp(t, 0.0f, 1.0f); }
float smoothstep(float e0, float e1, float x)
{
    const float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

// Scatters small round blobs (leaves, pores, sprinkles) on a tiling image.
void scatter(Image& image, int count, uint32_t seed, float minRadius, float maxRadius,
             const std::function<vec4(Rng&)>& colour, float stretch = 1.0f)
{
    Rng rng(seed);
    for (int i = 0; i < count; ++i) {
        const float cx = rng.uniform() * image.width, cy = rng.uniform() * image.height;
        const float r = rng.range(minRadius, maxRadius);
        const float angle = rng.range(0.0f, 3.14159f);
        const vec4 c = colour(rng);
        const float ca = std::cos(angle), sa = std::sin(angle);
        const int reach = static_cast<int>(std::ceil(r * stretch)) + 1;
        for (int dy = -reach; dy <= reach; ++dy)
            for (int dx = -reach; dx <= reach; ++dx) {
                const float px = std::floor(cx) + dx + 0.5f - cx, py = std::floor(cy) + dy + 0.5f - cy;
                const float lx = (px * ca + py * sa) / stretch, ly = -px * sa + py * ca;
                const float d = std::sqrt(lx * lx + ly * ly) / r;
                if (d >= 1.0f)
                    continue;
                const int x = ((static_cast<int>(std::floor(cx)) + dx) % image.width + image.width) % image.width;
                const int y = ((static_cast<int>(std::floor(cy)) + dy) % image.height + image.height) % image.height;
                const float a = c.a * smoothstep(1.0f, 0.7f, d);
                const vec4 old = image.get(x, y);
                // A little shading across each blob gives it a rounded look.
                const float shade = 1.0f + 0.25f * (-lx / 1.0f - ly) / r;
                image.set(x, y, vec4(mix3(vec3(old), vec3(c) * shade, a), 1.0f));
            }
    }
}

Image grass()
{
    Image image = paint(256, 256, [](float u, float v) {
        const float n = fbm(u * 8, v * 8, 5, 8, 11);
        const float patches = fbm(u * 3, v * 3, 3, 3, 12);
        const float blades = valueNoise(u * 128, v * 24, 128, 13);
        vec3 c = mix3(vec3(0.22f, 0.45f, 0.12f), vec3(0.45f, 0.68f, 0.22f), n);
        c = mix3(c, vec3(0.55f, 0.62f, 0.25f), smoothstep(0.6f, 0.8f, patches) * 0.6f);
        c *= 0.85f + 0.3f * blades;
        return vec4(c, 1.0f);
    });
    scatter(image, 40, 14, 1.0f, 1.8f, [](Rng& r) {
        return r.uniform() < 0.5f ? vec4(0.98f, 0.93f, 0.35f, 1) : vec4(0.97f, 0.97f, 0.95f, 1);
    });
    return image;
}

Image bark()
{
    return paint(256, 256, [](float u, float v) {
        const float streaks = fbm(u * 16, v * 2, 4, 16, 21);
        const float cracks = valueNoise(u * 32, v * 4, 32, 22);
        const float knots = fbm(u * 4, v * 4, 3, 4, 23);
        vec3 c = mix3(vec3(0.26f, 0.17f, 0.10f), vec3(0.50f, 0.36f, 0.22f), streaks);
        c *= 1.0f - 0.55f * smoothstep(0.62f, 0.8f, cracks);
        c = mix3(c, vec3(0.30f, 0.36f, 0.16f), smoothstep(0.68f, 0.85f, knots) * 0.7f); // moss
        return vec4(c, 1.0f);
    });
}

Image leaves()
{
    Image image = paint(256, 256, [](float u, float v) {
        const float n = fbm(u * 6, v * 6, 4, 6, 31);
        return vec4(mix3(vec3(0.07f, 0.22f, 0.05f), vec3(0.16f, 0.36f, 0.08f), n), 1.0f);
    });
    scatter(image, 900, 32, 4.0f, 7.0f, [](Rng& r) {
        const float t = r.uniform();
        return vec4(mix3(vec3(0.18f, 0.42f, 0.10f), vec3(0.48f, 0.72f, 0.20f), t), 1.0f);
    }, 1.9f);
    return image;
}

Image rock()
{
    return paint(256, 256, [](float u, float v) {
        const float n = fbm(u * 8, v * 8, 6, 8, 41);
        const float veins = std::abs(valueNoise(u * 12, v * 12, 12, 42) - 0.5f);
        const float moss = fbm(u * 4, v * 4, 3, 4, 43);
        vec3 c = mix3(vec3(0.36f, 0.35f, 0.34f), vec3(0.66f, 0.64f, 0.60f), n);
        c *= 0.75f + 0.25f * smoothstep(0.0f, 0.06f, veins);
        c = mix3(c, vec3(0.30f, 0.42f, 0.18f), smoothstep(0.62f, 0.78f, moss) * 0.6f);
        return vec4(c, 1.0f);
    });
}

Image woodRings()
{
    return paint(128, 128, [](float u, float v) {
        const float dx = u - 0.5f, dy = v - 0.5f;
        const float r = std::sqrt(dx * dx + dy * dy) * 2.0f;
        const float wobble = fbm(u * 6, v * 6, 3, 6, 51) * 0.08f;
        const float rings = 0.5f + 0.5f * std::sin((r + wobble) * 60.0f);
        vec3 c = mix3(vec3(0.62f, 0.45f, 0.26f), vec3(0.80f, 0.63f, 0.40f), rings);
        c = mix3(c, vec3(0.32f, 0.21f, 0.12f), smoothstep(0.88f, 0.95f, r)); // bark rim
        return vec4(c, 1.0f);
    });
}

Image snow()
{
    Image image = paint(256, 256, [](float u, float v) {
        const float n = fbm(u * 6, v * 6, 5, 6, 61);
        const float drifts = fbm(u * 2, v * 2, 2, 2, 62);
        vec3 c = mix3(vec3(0.78f, 0.84f, 0.94f), vec3(0.97f, 0.98f, 1.0f), n);
        c = mix3(c, vec3(0.70f, 0.77f, 0.90f), smoothstep(0.6f, 0.75f, drifts) * 0.5f);
        return vec4(c, 1.0f);
    });
    scatter(image, 120, 63, 0.6f, 1.0f, [](Rng&) { return vec4(1.0f, 1.0f, 1.0f, 1.0f); });
    return image;
}

Image pine()
{
    Image image = paint(256, 256, [](float u, float v) {
        const float needles = valueNoise(u * 96, v * 12, 96, 71);
        const float n = fbm(u * 8, v * 8, 3, 8, 72);
        vec3 c = mix3(vec3(0.05f, 0.20f, 0.12f), vec3(0.14f, 0.36f, 0.20f), needles * 0.7f + n * 0.3f);
        // Snow lies on the upper part of each tier (v small is the top of the image).
        const float snowy = smoothstep(0.55f, 0.75f, fbm(u * 10, v * 5, 3, 10, 73) + (0.5f - v) * 0.6f);
        c = mix3(c, vec3(0.92f, 0.95f, 1.0f), snowy);
        return vec4(c, 1.0f);
    });
    return image;
}

Image sky()
{
    return paint(1024, 512, [](float u, float v) {
        // v runs from the zenith (0) to the nadir (1); the horizon is at 0.5.
        const float elevation = 0.5f - v;
        vec3 c = mix3(vec3(0.62f, 0.80f, 0.96f), vec3(0.20f, 0.45f, 0.88f), smoothstep(0.0f, 0.4f, elevation));
        if (elevation < 0.0f)
            c = mix3(vec3(0.62f, 0.80f, 0.96f), vec3(0.55f, 0.66f, 0.72f), smoothstep(0.0f, 0.1f, -elevation));
        const float clouds = fbm(u * 8, v * 6, 5, 8, 81);
        const float band = smoothstep(0.02f, 0.12f, elevation) * smoothstep(0.42f, 0.2f, elevation);
        const float cover = smoothstep(0.52f, 0.7f, clouds) * band;
        const vec3 cloud = mix3(vec3(0.82f, 0.86f, 0.92f), vec3(1.0f), smoothstep(0.55f, 0.8f, clouds));
        return vec4(mix3(c, cloud, cover), 1.0f);
    });
}

Image sponge()
{
    Image image = paint(128, 128, [](float u, float v) {
        const float n = fbm(u * 8, v * 8, 4, 8, 91);
        // Cream layers across the height of the side (v downwards).
        const float layer = std::abs(std::fmod(v * 3.0f, 1.0f) - 0.5f);
        vec3 c = mix3(vec3(0.83f, 0.62f, 0.32f), vec3(0.95f, 0.78f, 0.45f), n);
        c = mix3(c, vec3(0.99f, 0.95f, 0.86f), smoothstep(0.44f, 0.47f, layer));
        return vec4(c, 1.0f);
    });
    scatter(image, 160, 92, 0.7f, 1.5f, [](Rng&) { return vec4(0.62f, 0.42f, 0.20f, 0.8f); });
    return image;
}

Image icing(const vec3& base, const vec3& sheen, uint32_t seed, bool sprinkles)
{
    Image image = paint(128, 128, [&](float u, float v) {
        const float swirl = fbm(u * 4, v * 4, 3, 4, seed);
        const float glossy = smoothstep(0.55f, 0.7f, fbm(u * 6 + swirl * 2, v * 6, 2, 6, seed + 1));
        return vec4(mix3(base * (0.92f + 0.16f * swirl), sheen, glossy * 0.5f), 1.0f);
    });
    if (sprinkles) {
        const vec3 colours[5] = {{0.95f, 0.2f, 0.3f}, {0.2f, 0.6f, 0.95f}, {0.98f, 0.85f, 0.2f},
                                 {0.4f, 0.85f, 0.3f}, {1.0f, 1.0f, 1.0f}};
        scatter(image, 70, seed + 2, 0.8f, 1.1f, [&](Rng& r) { return vec4(colours[r.next() % 5], 1.0f); }, 3.0f);
    }
    return image;
}

Image berry()
{
    Image image = paint(64, 64, [](float u, float v) {
        const float n = fbm(u * 4, v * 4, 3, 4, 101);
        return vec4(mix3(vec3(0.70f, 0.05f, 0.10f), vec3(0.95f, 0.18f, 0.20f), n), 1.0f);
    });
    scatter(image, 40, 102, 0.6f, 0.9f, [](Rng&) { return vec4(0.98f, 0.88f, 0.45f, 1.0f); }, 1.6f);
    return image;
}

Image candle()
{
    return paint(64, 64, [](float u, float v) {
        const float stripe = std::fmod(u * 3.0f + v * 2.0f, 1.0f);
        vec3 c = stripe < 0.5f ? vec3(0.98f, 0.97f, 0.92f) : vec3(0.35f, 0.62f, 0.95f);
        if (v < 0.12f)
            c = vec3(1.0f, 0.82f, 0.25f); // the flame end
        return vec4(c, 1.0f);
    });
}

Image skin()
{
    return paint(128, 128, [](float u, float v) {
        const float n = fbm(u * 8, v * 8, 4, 8, 111);
        const float freckles = smoothstep(0.8f, 0.9f, valueNoise(u * 40, v * 40, 40, 112));
        vec3 c = mix3(vec3(0.86f, 0.63f, 0.50f), vec3(0.96f, 0.76f, 0.64f), n);
        return vec4(mix3(c, vec3(0.78f, 0.52f, 0.40f), freckles * 0.4f), 1.0f);
    });
}

Image sleeve()
{
    return paint(128, 128, [](float u, float v) {
        // Knitted ribs around the cuff and a stripe.
        const float rib = 0.5f + 0.5f * std::sin(u * 2.0f * 3.14159f * 24.0f);
        const float n = valueNoise(u * 64, v * 64, 64, 121);
        vec3 c = std::fmod(v * 4.0f, 1.0f) < 0.25f ? vec3(0.95f, 0.92f, 0.85f) : vec3(0.20f, 0.38f, 0.72f);
        return vec4(c * (0.8f + 0.15f * rib + 0.1f * n), 1.0f);
    });
}

} // namespace

TextureSet buildTextures()
{
    TextureSet t;
    t.emplace("grass.png", grass());
    t.emplace("bark.png", bark());
    t.emplace("leaves.png", leaves());
    t.emplace("rock.png", rock());
    t.emplace("woodrings.png", woodRings());
    t.emplace("snow.png", snow());
    t.emplace("pine.png", pine());
    t.emplace("sky.png", sky());
    t.emplace("sponge.png", sponge());
    t.emplace("icing_pink.png", icing({0.96f, 0.55f, 0.70f}, {1.0f, 0.85f, 0.92f}, 131, false));
    t.emplace("icing_chocolate.png", icing({0.36f, 0.20f, 0.10f}, {0.62f, 0.42f, 0.28f}, 141, true));
    t.emplace("icing_lemon.png", icing({0.98f, 0.86f, 0.35f}, {1.0f, 0.97f, 0.75f}, 151, false));
    t.emplace("icing_cream.png", icing({0.97f, 0.94f, 0.88f}, {1.0f, 1.0f, 1.0f}, 161, true));
    t.emplace("berry.png", berry());
    t.emplace("candle.png", candle());
    t.emplace("skin.png", skin());
    t.emplace("sleeve.png", sleeve());
    return t;
}

Palette paletteOf(const TextureSet& textures)
{
    Palette p;
    for (const auto& [name, image] : textures)
        p[name] = image.meanColour();
    return p;
}

Material texturedMaterial(const std::string& name, const std::string& texture, const Palette& palette)
{
    Material m;
    m.name = name;
    m.texture = texture;
    m.diffuse = palette.at(texture);
    return m;
}

} // namespace assetgen
