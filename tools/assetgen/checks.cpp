#include "checks.h"
#include "assetgen.h"

#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/scene.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>

namespace assetgen {

namespace {

using glm::vec3;

// The game's import flags: tangent space, triangulate, smooth normals, and
// for drawn models also flipped UVs.
constexpr unsigned drawnFlags = 0x800049;
constexpr unsigned collisionFlags = 0x49;

glm::mat4 toGlm(const aiMatrix4x4& a)
{
    glm::mat4 m;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            m[c][r] = a[r][c];
    return m;
}

struct Imported {
    Assimp::Importer importer;
    const aiScene* scene = nullptr;
};

std::unique_ptr<Imported> import(const std::string& path, unsigned flags, Problems& problems)
{
    auto in = std::make_unique<Imported>();
    in->scene = in->importer.ReadFile(path, flags);
    if (!in->scene)
        problems.push_back(path + " does not read back: " + in->importer.GetErrorString());
    else if (in->scene->mFlags == AI_SCENE_FLAGS_INCOMPLETE || !in->scene->mRootNode)
        problems.push_back(path + " reads back incomplete");
    else
        return in;
    return nullptr;
}

struct Triangle {
    vec3 a, b, c;
};

void collect(const aiScene* scene, const aiNode* node, const glm::mat4& parent, std::vector<Triangle>& out)
{
    const glm::mat4 m = parent * toGlm(node->mTransformation);
    for (unsigned k = 0; k < node->mNumMeshes; ++k) {
        const aiMesh* mesh = scene->mMeshes[node->mMeshes[k]];
        auto at = [&](unsigned i) {
            const aiVector3D& v = mesh->mVertices[i];
            return vec3(m * glm::vec4(v.x, v.y, v.z, 1.0f));
        };
        for (unsigned f = 0; f < mesh->mNumFaces; ++f)
            if (mesh->mFaces[f].mNumIndices == 3)
                out.push_back({at(mesh->mFaces[f].mIndices[0]), at(mesh->mFaces[f].mIndices[1]), at(mesh->mFaces[f].mIndices[2])});
    }
    for (unsigned c = 0; c < node->mNumChildren; ++c)
        collect(scene, node->mChildren[c], m, out);
}

struct Bounds {
    vec3 low{1e30f}, high{-1e30f};
    void add(const vec3& p)
    {
        low = glm::min(low, p);
        high = glm::max(high, p);
    }
};

Bounds boundsOf(const std::vector<Triangle>& triangles)
{
    Bounds b;
    for (const Triangle& t : triangles) {
        b.add(t.a);
        b.add(t.b);
        b.add(t.c);
    }
    return b;
}

// Distance along the segment from `from` to `to` (0 to 1) of the first
// triangle it meets, or a negative value when it meets none.
float firstHit(const std::vector<Triangle>& triangles, const vec3& from, const vec3& to)
{
    const vec3 d = to - from;
    float best = 2.0f;
    for (const Triangle& t : triangles) {
        const vec3 e1 = t.b - t.a, e2 = t.c - t.a;
        const vec3 p = glm::cross(d, e2);
        const float det = glm::dot(e1, p);
        if (std::abs(det) < 1e-12f)
            continue;
        const vec3 s = from - t.a;
        const float u = glm::dot(s, p) / det;
        if (u < 0.0f || u > 1.0f)
            continue;
        const vec3 q = glm::cross(s, e1);
        const float v = glm::dot(d, q) / det;
        if (v < 0.0f || u + v > 1.0f)
            continue;
        const float h = glm::dot(e2, q) / det;
        if (h >= 0.0f && h <= 1.0f)
            best = std::min(best, h);
    }
    return best <= 1.0f ? best : -1.0f;
}

std::string where(const vec3& p)
{
    char text[64];
    std::snprintf(text, sizeof text, "(%.2f, %.2f, %.2f)", p.x, p.y, p.z);
    return text;
}

} // namespace

Problems checkModel(const std::string& root, const std::string& file, const ModelRules& rules)
{
    Problems problems;
    const std::string path = root + "/" + file;
    auto in = import(path, rules.drawn ? drawnFlags : collisionFlags, problems);
    if (!in)
        return problems;
    const aiScene* scene = in->scene;
    if (toGlm(scene->mRootNode->mTransformation) != glm::mat4(1.0f))
        problems.push_back(file + ": the root transform is not the identity");
    size_t triangles = 0;
    for (unsigned i = 0; i < scene->mNumMeshes; ++i) {
        const aiMesh* mesh = scene->mMeshes[i];
        triangles += mesh->mNumFaces;
        if (!mesh->HasNormals())
            problems.push_back(file + ": mesh " + mesh->mName.C_Str() + " has no normals");
        if (rules.drawn && (!mesh->HasTextureCoords(0) || !mesh->HasVertexColors(0)))
            problems.push_back(file + ": mesh " + mesh->mName.C_Str() + " lacks UVs or vertex colours");
    }
    if (scene->mNumMeshes == 0)
        problems.push_back(file + ": no meshes");
    if (triangles > rules.triangleBudget)
        problems.push_back(file + ": " + std::to_string(triangles) + " triangles, more than its budget of " +
                           std::to_string(rules.triangleBudget));
    for (unsigned i = 0; i < scene->mNumMaterials; ++i) {
        const aiMaterial* material = scene->mMaterials[i];
        for (unsigned t = 0; t < material->GetTextureCount(aiTextureType_DIFFUSE); ++t) {
            aiString name;
            material->GetTexture(aiTextureType_DIFFUSE, t, &name);
            if (!std::filesystem::exists(root + "/Textures/" + name.C_Str()))
                problems.push_back(file + ": texture \"" + name.C_Str() + "\" is not under Textures/");
        }
    }
    return problems;
}

Problems checkSnowmanShape(const std::string& root)
{
    Problems problems;
    auto in = import(root + "/Models/snowman_animation.dae", drawnFlags, problems);
    if (!in)
        return problems;
    const aiNode* top = in->scene->mRootNode;
    if (top->mNumChildren < 1 || top->mChildren[0]->mNumChildren < 2) {
        problems.push_back("snowman_animation.dae: the root's first child does not have the two arm nodes");
        return problems;
    }
    for (int k = 0; k < 2; ++k) {
        const aiNode* arm = top->mChildren[0]->mChildren[k];
        if (arm->mNumMeshes == 0)
            problems.push_back(std::string("snowman_animation.dae: arm node ") + arm->mName.C_Str() + " has no mesh");
    }
    std::vector<Triangle> all;
    collect(in->scene, top, glm::mat4(1.0f), all);
    const Bounds b = boundsOf(all);
    if (b.low.y < -0.1f || b.low.y > 0.05f || b.high.y < 1.7f || b.high.y > 2.0f)
        problems.push_back("snowman_animation.dae: the man is not about 1.8 high standing on y 0 " + where(b.low) +
                           " " + where(b.high));
    return problems;
}

// The bounds of a drawn model as the game places its nodes.
bool drawnBounds(const std::string& root, const std::string& file, Problems& problems, Bounds& bounds)
{
    auto in = import(root + "/" + file, drawnFlags, problems);
    if (!in)
        return false;
    std::vector<Triangle> all;
    collect(in->scene, in->scene->mRootNode, glm::mat4(1.0f), all);
    bounds = boundsOf(all);
    return true;
}

Problems checkCakeBounds(const std::string& root, const std::string& file)
{
    Problems problems;
    Bounds b;
    if (!drawnBounds(root, file, problems, b))
        return problems;
    const vec3 half(1.0f, 0.5f, 1.0f);
    for (int k = 0; k < 3; ++k)
        if (b.high[k] > half[k] + 1e-3f || b.low[k] < -half[k] - 1e-3f || b.high[k] < half[k] * 0.9f ||
            b.low[k] > -half[k] * 0.9f)
            problems.push_back(file + ": bounds " + where(b.low) + " " + where(b.high) +
                               " do not fill the physics box of half extents (1, 0.5, 1)");
    return problems;
}

Problems checkHeldInView(const std::string& root, const std::string& file)
{
    Problems problems;
    Bounds b;
    if (!drawnBounds(root, file, problems, b))
        return problems;
    // The cocked pose moves the hand 0.5 back towards the eye.
    if (b.low.z - 0.5f <= 0.01f)
        problems.push_back(file + ": comes within the near plane in the cocked pose (nearest z " +
                           std::to_string(b.low.z) + ")");
    const vec3 centre = (b.low + b.high) * 0.5f;
    if (centre.x >= -0.1f || centre.y >= -0.1f || centre.z < 0.3f)
        problems.push_back(file + ": not low and to the right in front of the camera, centre " + where(centre));
    return problems;
}

Problems checkLevelPlay(const std::string& root, const std::string& collisionFile, int level)
{
    Problems problems;
    auto in = import(root + "/" + collisionFile, collisionFlags, problems);
    if (!in)
        return problems;
    std::vector<Triangle> world;
    collect(in->scene, in->scene->mRootNode, translate({0, terrainOffset, 0}), world);
    auto groundBelow = [&](float x, float z, float fromY, float depth) {
        const float h = firstHit(world, {x, fromY, z}, {x, fromY - depth, z});
        return h < 0.0f ? -1e9f : fromY - h * depth;
    };

    const float start = groundBelow(0.0f, 0.0f, 3.0f, 10.0f);
    if (start < -2.3f || start > -1.7f)
        problems.push_back(collisionFile + ": the player starting at (0, 3, 0) does not land near y -2");
    if (level == 2)
        for (const glm::vec2& s : snowmanSpots()) {
            const float g = groundBelow(s.x, s.y, 0.0f, 5.0f);
            if (g < -2.05f || g > -1.95f)
                problems.push_back(collisionFile + ": the ground under the snowman at " + where({s.x, g, s.y}) + " is not at y -2");
        }

    for (const TargetPlacement& t : levelTargets(level)) {
        const std::string name = "target at " + where(t.position);
        // The board's box, slightly inset, must meet nothing anywhere on the path.
        const float lift = t.moving() ? 0.0f : 0.12f;
        for (float s = 0.0f; s <= (t.moving() ? t.distance + 0.2f : 0.0f); s += 0.5f) {
            const glm::mat4 m = targetMatrix(t, s);
            std::vector<vec3> c;
            for (float y : {lift, targetHeight})
                for (float x : {targetBack + 0.02f, targetHalfDepth - 0.02f})
                    for (float z : {-targetHalfWidth + 0.02f, targetHalfWidth - 0.02f})
                        c.push_back(vec3(m * glm::vec4(x, y, z, 1.0f)));
            const int edges[12][2] = {{0, 1}, {2, 3}, {4, 5}, {6, 7}, {0, 2}, {1, 3}, {4, 6}, {5, 7},
                                      {0, 4}, {1, 5}, {2, 6}, {3, 7}};
            bool cut = false;
            for (const auto& e : edges)
                cut = cut || firstHit(world, c[e[0]], c[e[1]]) >= 0.0f;
            for (int k = 0; k < 4; ++k)
                if (groundBelow(c[k].x, c[k].z, c[k].y, 60.0f) < -1e8f)
                    cut = true; // the corner is under the ground
            if (cut) {
                problems.push_back(collisionFile + ": the " + name + " cuts into the terrain or a trunk at " +
                                   where(vec3(m[3])));
                break;
            }
        }
        if (!t.moving()) {
            const glm::mat4 m = targetMatrix(t, 0.0f);
            std::string unsupported;
            for (float x : {targetBack, 0.0f, targetHalfDepth})
                for (float z : {-targetHalfWidth, 0.0f, targetHalfWidth}) {
                    const vec3 p(m * glm::vec4(x, 0.05f, z, 1.0f));
                    if (groundBelow(p.x, p.z, p.y, 0.3f) < p.y - 0.25f && unsupported.empty())
                        unsupported = where(p);
                }
            if (!unsupported.empty())
                problems.push_back(collisionFile + ": nothing carries the " + name + " at " + unsupported);
        }
        // Seen from somewhere in the field: the eye stands 2.4 above the ground.
        const vec3 aim(targetMatrix(t, 0.0f) * glm::vec4(0, targetBoardCentre, 0, 1));
        bool seen = false;
        for (float r : {0.0f, 8.0f, 16.0f, 24.0f, 32.0f}) {
            for (int k = 0; k < 16 && !seen; ++k) {
                const float a = 6.2831853f * k / 16;
                const float x = r * std::cos(a), z = r * std::sin(a);
                const vec3 eye(x, groundBelow(x, z, 40.0f, 80.0f) + 2.4f, z);
                const float h = firstHit(world, eye, aim);
                seen = h < 0.0f || h * glm::length(aim - eye) > glm::length(aim - eye) - 0.6f;
            }
            if (seen)
                break;
        }
        if (!seen)
            problems.push_back(collisionFile + ": the " + name + " cannot be seen from anywhere in the field");
    }
    return problems;
}

Problems checkImage(const std::string& path, const std::vector<unsigned char>& rgba, int width, int height)
{
    Image back(0, 0);
    if (!loadPng(path, back))
        return {path + " does not read back with DevIL"};
    if (back.width != width || back.height != height || back.rgba != rgba)
        return {path + " reads back different from what was written (size or orientation)"};
    return {};
}

Problems checkSound(const std::string& path, const std::vector<short>& samples, int sampleRate)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        return {path + " does not read back with libsndfile"};
    std::vector<short> back(static_cast<size_t>(info.frames) * info.channels);
    sf_readf_short(file, back.data(), info.frames);
    sf_close(file);
    if (info.samplerate != sampleRate || info.channels != 1 || back != samples)
        return {path + " reads back different from what was written"};
    return {};
}

Problems checkFont(const std::string& path)
{
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library))
        return {"FreeType does not start"};
    FT_Face face = nullptr;
    Problems problems;
    if (FT_New_Face(library, path.c_str(), 0, &face))
        problems.push_back(path + " is not a font FreeType can load");
    else if (FT_Get_Char_Index(face, 'A') == 0 || FT_Get_Char_Index(face, '0') == 0)
        problems.push_back(path + " lacks the game's letters");
    if (face)
        FT_Done_Face(face);
    FT_Done_FreeType(library);
    return problems;
}

} // namespace assetgen
