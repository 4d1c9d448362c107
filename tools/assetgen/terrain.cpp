#include "assetgen.h"
#include "noise.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace assetgen {

namespace {

using glm::vec2;
using glm::vec3;

float smoothstep(float e0, float e1, float x)
{
    const float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

// The landscape covers this square; the play area is the flat-ish disc of
// radius 42 in the middle, and a steep rim of hills closes it off.
constexpr float extent = 72.0f;
constexpr int drawnCells = 64;
constexpr int collisionCells = 32;
constexpr float playRadius = 42.0f;

struct Hill {
    vec2 centre;
    float height;
    float flat;
    float radius;
};

// The height of the ground in world units, before it is cut into triangles.
struct GroundShape {
    uint32_t seed;
    std::vector<Hill> hills;

    float base(float x, float z) const
    {
        const float r = std::sqrt(x * x + z * z);
        const float rolling = (fbm(x / 16 + 50, z / 16 + 50, 4, 0, seed) - 0.5f) * 1.4f * smoothstep(7, 24, r);
        const float rim = 13.0f * smoothstep(playRadius, 56.0f, r) +
                          (fbm(x / 9, z / 9, 3, 0, seed + 7) - 0.5f) * 6.0f * smoothstep(44, 60, r);
        return terrainOffset + rolling + rim;
    }
    float hill(const Hill& h, float x, float z) const
    {
        const float d = glm::length(vec2(x, z) - h.centre);
        return h.height * (1.0f - smoothstep(h.flat, h.radius, d));
    }
    float operator()(float x, float z) const
    {
        float y = base(x, z);
        for (const Hill& h : hills)
            y += hill(h, x, z);
        return y;
    }
};

// A height field cut into a regular grid of triangle pairs, each cell split
// along the same diagonal; height() follows the triangles exactly.
struct Grid {
    int cells;
    float step;
    std::vector<float> heights; // (cells + 1)^2, x fastest

    Grid(const GroundShape& shape, int cells) : cells(cells), step(2.0f * extent / cells)
    {
        for (int j = 0; j <= cells; ++j)
            for (int i = 0; i <= cells; ++i)
                heights.push_back(shape(-extent + i * step, -extent + j * step));
    }
    float at(int i, int j) const { return heights[static_cast<size_t>(j) * (cells + 1) + i]; }
    float height(float x, float z) const
    {
        const float gx = std::clamp((x + extent) / step, 0.0f, cells - 1e-3f);
        const float gz = std::clamp((z + extent) / step, 0.0f, cells - 1e-3f);
        const int i = static_cast<int>(gx), j = static_cast<int>(gz);
        const float fx = gx - i, fz = gz - j;
        const float a = at(i, j), b = at(i + 1, j), c = at(i + 1, j + 1), d = at(i, j + 1);
        return fx >= fz ? a + (b - a) * fx + (c - b) * fz : a + (d - a) * fz + (c - d) * fx;
    }
    Mesh mesh(float uvScale) const
    {
        Mesh m;
        for (int j = 0; j <= cells; ++j)
            for (int i = 0; i <= cells; ++i) {
                const float x = -extent + i * step, z = -extent + j * step;
                const float dx = at(std::min(i + 1, cells), j) - at(std::max(i - 1, 0), j);
                const float dz = at(i, std::min(j + 1, cells)) - at(i, std::max(j - 1, 0));
                const vec3 n = glm::normalize(vec3(-dx, 2.0f * step, -dz));
                m.addVertex({x, at(i, j) - terrainOffset, z}, n, {x * uvScale, -z * uvScale}, vec3(1.0f));
            }
        const unsigned row = cells + 1;
        for (int j = 0; j < cells; ++j)
            for (int i = 0; i < cells; ++i) {
                const unsigned a = j * row + i, b = a + 1, c = a + row + 1, d = a + row;
                m.addTriangle(a, c, b);
                m.addTriangle(a, d, c);
            }
        return m;
    }
};

struct Trunk {
    vec2 xz;
    float radius;
    float base;
    float height;
};

struct Prop {
    vec2 xz;
    float bottom;
    float top;
    float radius;
    bool stump;
};

// The corners of a target's footprint and the top of its board, in world
// units, at `travelled` along its path.
std::vector<vec3> targetCorners(const TargetPlacement& t, float travelled, bool withTop)
{
    std::vector<vec3> points;
    const glm::mat4 m = targetMatrix(t, travelled);
    for (float x : {targetBack, targetHalfDepth})
        for (float z : {-targetHalfWidth, 0.0f, targetHalfWidth}) {
            points.push_back(vec3(m * glm::vec4(x, 0, z, 1)));
            if (withTop)
                points.push_back(vec3(m * glm::vec4(x, targetHeight, z, 1)));
        }
    return points;
}

float distanceToSegment(vec2 p, vec2 a, vec2 b)
{
    const vec2 ab = b - a;
    const float t = std::clamp(glm::dot(p - a, ab) / std::max(glm::dot(ab, ab), 1e-6f), 0.0f, 1.0f);
    return glm::length(p - (a + ab * t));
}

class LevelBuilder {
public:
    LevelBuilder(int number, const Palette& palette) : number(number), palette(palette), winter(number == 2)
    {
        shape.seed = 1000U + static_cast<uint32_t>(number) * 77U;
        for (const TargetPlacement& t : levelTargets(number))
            (t.moving() ? moving : standing).push_back(t);
    }

    Level build()
    {
        raiseHills();
        fine = std::make_unique<Grid>(shape, drawnCells);
        coarse = std::make_unique<Grid>(shape, collisionCells);
        placeProps();
        checkMovingTargets();
        plantTrees();
        Level level;
        level.drawn = drawnModel();
        level.collision = collisionModel();
        level.problems = problems;
        return level;
    }

private:
    float ground(float x, float z) const { return std::max(fine->height(x, z), coarse->height(x, z)); }
    float groundLow(float x, float z) const { return std::min(fine->height(x, z), coarse->height(x, z)); }

    // Targets standing far above the plain get a hill that brings the ground
    // up to a little below them; a rock or stump carries them the rest.
    void raiseHills()
    {
        std::vector<int> hillOf(standing.size(), -1);
        for (size_t i = 0; i < standing.size(); ++i) {
            const TargetPlacement& t = standing[i];
            const float rise = t.position.y - shape.base(t.position.x, t.position.z);
            if (rise > 1.6f) {
                hillOf[i] = static_cast<int>(shape.hills.size());
                const vec2 centre(t.position.x, t.position.z);
                // The hill stops short of where the player starts and the snowmen stand.
                float radius = std::clamp(2.0f * rise + 4.0f, 8.0f, 22.0f);
                radius = std::min(radius, glm::length(centre) - 6.0f);
                if (number == 2)
                    for (const vec2& s : snowmanSpots())
                        radius = std::min(radius, glm::length(centre - s) - 2.5f);
                shape.hills.push_back({centre, 0.0f, 2.5f, std::max(radius, 4.0f)});
            }
        }
        // Hills overlap; settle their heights together.
        for (int round = 0; round < 8; ++round)
            for (size_t i = 0; i < standing.size(); ++i) {
                if (hillOf[i] < 0)
                    continue;
                Hill& h = shape.hills[hillOf[i]];
                const vec3 p = standing[i].position;
                const float others = shape(p.x, p.z) - shape.hill(h, p.x, p.z);
                h.height = std::max(0.0f, p.y - 0.9f - others);
            }
    }

    void placeProps()
    {
        for (const TargetPlacement& t : standing) {
            float highest = -1e9f, lowest = 1e9f;
            for (const vec3& c : targetCorners(t, 0.0f, false)) {
                highest = std::max(highest, ground(c.x, c.z));
                lowest = std::min(lowest, groundLow(c.x, c.z));
            }
            if (t.position.y < highest - 0.1f) {
                problems.push_back("a standing target at (" + std::to_string(t.position.x) + ", " +
                                   std::to_string(t.position.z) + ") would be buried");
                continue;
            }
            if (t.position.y - highest <= 0.08f)
                continue; // stands on the ground itself
            const float radius = 1.05f;
            for (int k = 0; k < 12; ++k) {
                const float a = 6.2831853f * k / 12;
                lowest = std::min(lowest, groundLow(t.position.x + radius * 1.2f * std::cos(a),
                                                    t.position.z + radius * 1.2f * std::sin(a)));
            }
            // Stumps and rocks take turns; anything tall is a rock.
            const bool stump = t.position.y - highest < 1.4f && props.size() % 2 == 0;
            props.push_back({{t.position.x, t.position.z}, lowest - 0.4f, t.position.y, radius, stump});
        }
    }

    void checkMovingTargets()
    {
        for (const TargetPlacement& t : moving)
            for (float s = 0.0f; s <= t.distance + 0.2f; s += 0.25f)
                for (const vec3& c : targetCorners(t, s, false))
                    if (ground(c.x, c.z) > c.y - 0.1f) {
                        problems.push_back("the path of the moving target at (" + std::to_string(t.position.x) +
                                           ", " + std::to_string(t.position.z) + ") runs into the ground");
                        return;
                    }
    }

    bool treeFits(vec2 p, float clearance) const
    {
        if (glm::length(p) < 7.0f)
            return false;
        for (const Trunk& t : trunks)
            if (glm::length(t.xz - p) < 6.0f)
                return false;
        for (const Prop& prop : props)
            if (glm::length(prop.xz - p) < prop.radius + clearance)
                return false;
        for (const TargetPlacement& t : levelTargets(number)) {
            const vec3 a = vec3(targetMatrix(t, 0.0f)[3]), b = vec3(targetMatrix(t, t.distance)[3]);
            if (distanceToSegment(p, {a.x, a.z}, {b.x, b.z}) < clearance + 1.0f)
                return false;
            // Keep the view from the middle of the field to every target open.
            if (distanceToSegment(p, {0, 0}, {a.x, a.z}) < 2.5f + 0.06f * glm::length(p))
                return false;
        }
        if (number == 2)
            for (const vec2& s : snowmanSpots())
                if (glm::length(s - p) < 4.0f)
                    return false;
        return true;
    }

    void plantTrees()
    {
        Rng rng(500U + static_cast<uint32_t>(number));
        const int wanted = winter ? 26 : 18;
        const int backdrop = winter ? 16 : 8;
        for (int attempt = 0; attempt < 4000 && static_cast<int>(trunks.size()) < wanted; ++attempt) {
            const float a = rng.range(0.0f, 6.2831853f), r = rng.range(8.0f, playRadius + 1.0f);
            const vec2 p(r * std::cos(a), r * std::sin(a));
            if (treeFits(p, 3.5f))
                addTree(p, rng);
        }
        // A ring of trees on the rim, outside the play area.
        for (int k = 0; k < backdrop; ++k) {
            const float a = 6.2831853f * (k + rng.uniform() * 0.6f) / backdrop;
            const float r = rng.range(46.0f, 52.0f);
            const vec2 p(r * std::cos(a), r * std::sin(a));
            if (treeFits(p, 3.5f))
                addTree(p, rng);
        }
    }

    void addTree(vec2 p, Rng& rng)
    {
        const float radius = winter ? rng.range(0.25f, 0.4f) : rng.range(0.35f, 0.55f);
        float low = 1e9f;
        for (int k = 0; k < 6; ++k) {
            const float a = 6.2831853f * k / 6;
            low = std::min(low, groundLow(p.x + radius * 1.4f * std::cos(a), p.y + radius * 1.4f * std::sin(a)));
        }
        trunks.push_back({p, radius, low - 0.3f, winter ? rng.range(6.0f, 9.5f) : rng.range(5.0f, 7.5f)});
        treeSeeds.push_back(rng.next());
    }

    // One deciduous tree in model units (the level model is placed 2 down).
    void broadleaf(const Trunk& t, uint32_t seed, Mesh& bark, Mesh& crown) const
    {
        Rng rng(seed);
        const glm::mat4 at = translate({t.xz.x, t.base - terrainOffset, t.xz.y}) * rotateY(rng.range(0, 360));
        Mesh trunk = cylinder(t.radius * 1.35f, t.radius * 0.65f, t.height, 9, 3, false, false, 2.0f, t.height / 2.0f);
        bark.append(trunk, at);
        for (int b = 0; b < 2; ++b) {
            Mesh branch = cylinder(t.radius * 0.35f, t.radius * 0.15f, 2.2f, 6, 1, false, false, 1.0f, 1.0f);
            bark.append(branch, at * translate({0, t.height * (0.55f + 0.15f * b), 0}) * rotateY(b * 160.0f + 20.0f) *
                                    rotateZ(-50.0f));
        }
        const int blobs = glm::length(t.xz) > playRadius ? 3 : 5;
        for (int k = 0; k < blobs; ++k) {
            const float a = rng.range(0.0f, 6.2831853f);
            const float spread = k == 0 ? 0.0f : rng.range(1.2f, 2.0f);
            const float size = k == 0 ? rng.range(2.2f, 2.7f) : rng.range(1.4f, 2.0f);
            Mesh blob = sphere(size, 9, 6);
            for (size_t i = 0; i < blob.positions.size(); ++i) {
                const vec3 q = blob.positions[i];
                const float n = fbm(q.x * 0.9f + seed % 97, q.z * 0.9f + q.y * 0.7f, 2, 0, seed) - 0.5f;
                blob.positions[i] += blob.normals[i] * n * size * 0.45f;
                blob.uvs[i] *= vec2(4.0f, 2.5f);
            }
            blob.smoothNormals();
            crown.append(blob, at * translate({spread * std::cos(a), t.height + rng.range(-0.4f, 0.8f), spread * std::sin(a)}) *
                                   scale({1.0f, 0.8f, 1.0f}));
        }
    }

    // One snowy fir: a trunk and tiers of cones.
    void fir(const Trunk& t, uint32_t seed, Mesh& bark, Mesh& crown) const
    {
        Rng rng(seed);
        const glm::mat4 at = translate({t.xz.x, t.base - terrainOffset, t.xz.y}) * rotateY(rng.range(0, 360));
        bark.append(cylinder(t.radius * 1.2f, t.radius * 0.5f, t.height * 0.5f, 8, 1, false, false, 2.0f, 2.0f), at);
        const int tiers = 4;
        for (int k = 0; k < tiers; ++k) {
            const float f = static_cast<float>(k) / tiers;
            const float width = (2.6f - 1.9f * f) * (t.height / 8.0f + 0.3f);
            const float height = t.height * 0.38f;
            crown.append(cylinder(width, 0.0f, height, 10, 1, true, false, 2.0f, 1.0f),
                         at * translate({0, 0.35f + t.height * 0.9f * f * 0.75f + 0.6f, 0}) * rotateY(17.0f * k));
        }
    }

    // A rock or stump whose top is exactly the base of the target it carries.
    void prop(const Prop& p, Mesh& sides, Mesh& tops, Mesh& stone) const
    {
        const float h = p.top - p.bottom;
        const glm::mat4 at = translate({p.xz.x, p.bottom - terrainOffset, p.xz.y});
        Mesh cap = disc(p.radius, 14);
        const glm::mat4 onTop = at * translate({0, h, 0}) * rotateZ(90.0f);
        if (p.stump) {
            sides.append(cylinder(p.radius * 1.2f, p.radius, h, 14, 1, false, false, 3.0f, h / 2.0f), at);
            tops.append(cap, onTop);
            return;
        }
        const int rings = std::max(2, static_cast<int>(h / 0.7f));
        Mesh rock = cylinder(p.radius * 1.5f, p.radius, h, 14, rings, false, false, 3.0f, h / 2.0f);
        const uint32_t seed = static_cast<uint32_t>(p.xz.x * 13 + p.xz.y * 7);
        for (size_t i = 0; i < rock.positions.size(); ++i) {
            vec3& q = rock.positions[i];
            if (q.y > h - 1e-4f)
                continue; // the top rim stays round so that the top stays whole
            const float bulge = 0.7f + 0.6f * fbm(std::atan2(q.z, q.x) * 1.2f + 10, q.y * 0.8f, 3, 0, seed);
            q.x *= bulge;
            q.z *= bulge;
        }
        rock.smoothNormals();
        stone.append(rock, at);
        stone.append(cap, onTop);
    }

    Model drawnModel() const
    {
        Model model;
        const std::string groundTexture = winter ? "snow.png" : "grass.png";
        Node groundNode{"ground"}, treesNode{"trees"}, propsNode{"props"};
        Mesh groundMesh = fine->mesh(1.0f / 6.0f);
        groundMesh.name = "ground";
        groundNode.meshes.push_back(model.addMesh(groundMesh, model.addMaterial(texturedMaterial("ground", groundTexture, palette))));

        Mesh bark, crown;
        for (size_t i = 0; i < trunks.size(); ++i) {
            if (winter)
                fir(trunks[i], treeSeeds[i], bark, crown);
            else
                broadleaf(trunks[i], treeSeeds[i], bark, crown);
        }
        if (!trunks.empty()) {
            bark.name = "bark";
            crown.name = winter ? "needles" : "leaves";
            treesNode.meshes.push_back(model.addMesh(bark, model.addMaterial(texturedMaterial("bark", "bark.png", palette))));
            treesNode.meshes.push_back(model.addMesh(
                crown, model.addMaterial(texturedMaterial("crown", winter ? "pine.png" : "leaves.png", palette))));
        }
        Mesh sides, tops, stone;
        for (const Prop& p : props)
            prop(p, sides, tops, stone);
        auto addProp = [&](Mesh& m, const std::string& name, const std::string& texture) {
            if (m.positions.empty())
                return;
            m.name = name;
            propsNode.meshes.push_back(model.addMesh(m, model.addMaterial(texturedMaterial(name, texture, palette))));
        };
        addProp(sides, "stump", "bark.png");
        addProp(tops, "stumpTop", winter ? "snow.png" : "woodrings.png");
        addProp(stone, "rock", "rock.png");
        model.root.children.push_back(groundNode);
        if (!treesNode.meshes.empty())
            model.root.children.push_back(treesNode);
        if (!propsNode.meshes.empty())
            model.root.children.push_back(propsNode);
        return model;
    }

    Model collisionModel() const
    {
        Model model;
        const int material = model.addMaterial(Material{"collision", vec3(1.0f), vec3(0.0f), ""});
        Node node{"collision"};
        Mesh groundMesh = coarse->mesh(1.0f);
        groundMesh.name = "ground";
        node.meshes.push_back(model.addMesh(groundMesh, material));
        Mesh solid;
        for (const Trunk& t : trunks) {
            const float h = winter ? t.height * 0.5f : t.height;
            solid.append(cylinder(t.radius * 1.1f, t.radius * 0.8f, h, 6, 1, false, true),
                         translate({t.xz.x, t.base - terrainOffset, t.xz.y}));
        }
        for (const Prop& p : props)
            solid.append(cylinder(p.radius * (p.stump ? 1.1f : 1.25f), p.radius, p.top - p.bottom, 8, 1, false, true),
                         translate({p.xz.x, p.bottom - terrainOffset, p.xz.y}));
        if (!solid.positions.empty()) {
            solid.name = "trunksAndProps";
            node.meshes.push_back(model.addMesh(solid, material));
        }
        model.root.children.push_back(node);
        return model;
    }

    int number;
    const Palette& palette;
    bool winter;
    GroundShape shape;
    std::vector<TargetPlacement> standing, moving;
    std::unique_ptr<Grid> fine, coarse;
    std::vector<Trunk> trunks;
    std::vector<uint32_t> treeSeeds;
    std::vector<Prop> props;
    std::vector<std::string> problems;
};

} // namespace

Level buildLevel(int number, const Palette& palette)
{
    return LevelBuilder(number, palette).build();
}

} // namespace assetgen
