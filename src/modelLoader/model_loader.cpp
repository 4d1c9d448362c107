#include "modelLoader/model_loader.h"

#include "common/console.h"
#include "datastructures/mesh.h"
#include "datastructures/tree_node.h"
#include "datastructures/vertex.h"
#include "modelLoader/image_texture.h"

#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <glm/gtc/type_ptr.hpp>

#include <cstring>
#include <filesystem>
#include <iostream>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace frosk::modelLoader {

using datastructures::Mesh;
using datastructures::TreeNode;
using datastructures::Vertex;

namespace {

// Corners that agree in every attribute, smooth normal included, become one
// vertex, so each is shaded once per draw instead of once per triangle it is
// in; the triangles and their order stay as they are.
void joinIdenticalVertices(std::vector<datastructures::Vertex>& vertices, std::vector<GLuint>& indices)
{
    struct Bytes {
        std::size_t operator()(const datastructures::Vertex& v) const
        {
            const auto* byte = reinterpret_cast<const unsigned char*>(&v);
            std::size_t hash = 1469598103934665603ull;
            for (std::size_t i = 0; i < sizeof v; ++i)
                hash = (hash ^ byte[i]) * 1099511628211ull;
            return hash;
        }
    };
    struct Same {
        bool operator()(const datastructures::Vertex& a, const datastructures::Vertex& b) const
        {
            return std::memcmp(&a, &b, sizeof a) == 0;
        }
    };
    std::unordered_map<datastructures::Vertex, GLuint, Bytes, Same> first;
    first.reserve(vertices.size());
    std::vector<datastructures::Vertex> joined;
    joined.reserve(vertices.size());
    std::vector<GLuint> newIndex(vertices.size());
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        const auto found = first.try_emplace(vertices[i], static_cast<GLuint>(joined.size()));
        if (found.second)
            joined.push_back(vertices[i]);
        newIndex[i] = found.first->second;
    }
    for (GLuint& index : indices)
        index = newIndex[index];
    vertices = std::move(joined);
}

constexpr unsigned drawableImportFlags =
    aiProcess_CalcTangentSpace | aiProcess_Triangulate | aiProcess_GenSmoothNormals | aiProcess_FlipUVs;
static_assert(drawableImportFlags == 0x800049);
// Assimp's own steps index vertices and materials without checking them, so
// its validation runs first: a file with indices past its vertices, invalid
// material or mesh references, a mesh without faces or no mesh at all is
// refused with the reason instead of read out of bounds.
constexpr unsigned validatedImportFlags = drawableImportFlags | aiProcess_ValidateDataStructure;

// Everything one loadModel call builds from one imported scene.
class TreeBuilder {
public:
    TreeBuilder(const aiScene& scene, const std::string& path, GLuint program, const ModelLoader& loader)
        : scene(scene), path(path), program(program), loader(loader)
    {
    }

    std::unique_ptr<TreeNode> buildNode(const aiNode& node)
    {
        // Assimp's matrices are row-major.
        auto treeNode = std::make_unique<TreeNode>(glm::transpose(glm::make_mat4(&node.mTransformation.a1)));
        for (unsigned i = 0; i < node.mNumMeshes; ++i) {
            const unsigned meshIndex = node.mMeshes[i];
            if (meshIndex >= scene.mNumMeshes || !scene.mMeshes[meshIndex]) {
                std::cout << "Model " << path << ": node \"" << node.mName.C_Str() << "\" refers to mesh "
                          << meshIndex << " of " << scene.mNumMeshes << "; it is left out" << std::endl;
                continue;
            }
            if (std::unique_ptr<Mesh> mesh = buildMesh(*scene.mMeshes[meshIndex], meshIndex))
                treeNode->meshes.push_back(std::move(mesh));
        }
        for (unsigned i = 0; i < node.mNumChildren; ++i)
            if (node.mChildren[i])
                treeNode->children.push_back(buildNode(*node.mChildren[i]));
        return treeNode;
    }

private:
    std::unique_ptr<Mesh> buildMesh(const aiMesh& mesh, unsigned meshIndex)
    {
        std::vector<GLuint> indices;
        if (!drawableIndices(mesh, meshIndex, indices))
            return nullptr;

        const aiMaterial* material = nullptr;
        if (mesh.mMaterialIndex < scene.mNumMaterials)
            material = scene.mMaterials[mesh.mMaterialIndex];
        else
            report(mesh, meshIndex) << "material " << mesh.mMaterialIndex << " does not exist; it is drawn black"
                                    << std::endl;

        aiColor4D diffuse(0.0f, 0.0f, 0.0f, 0.0f);
        if (material)
            aiGetMaterialColor(material, AI_MATKEY_COLOR_DIFFUSE, &diffuse);

        std::vector<Vertex> vertices(mesh.mNumVertices);
        const aiColor4D* colours = mesh.HasVertexColors(0) ? mesh.mColors[0] : nullptr;
        const aiVector3D* uvs = mesh.HasTextureCoords(0) ? mesh.mTextureCoords[0] : nullptr;
        for (unsigned i = 0; i < mesh.mNumVertices; ++i) {
            Vertex& v = vertices[i];
            v.position = {mesh.mVertices[i].x, mesh.mVertices[i].y, mesh.mVertices[i].z};
            v.normal = {mesh.mNormals[i].x, mesh.mNormals[i].y, mesh.mNormals[i].z};
            const aiColor4D& c = colours ? colours[i] : diffuse;
            v.color = {c.r, c.g, c.b};
            if (uvs)
                v.uv = {uvs[i].x, uvs[i].y};
        }
        datastructures::computeSmoothNormals(vertices);
        joinIdenticalVertices(vertices, indices);

        bool cutOut = false;
        const std::vector<GLuint> textures = material ? diffuseTextures(*material, cutOut) : std::vector<GLuint>();
        std::unique_ptr<Mesh> built =
            loader.secondProgram == 0
                ? std::make_unique<Mesh>(program, vertices, indices, textures, loader.shadowMapping,
                                         loader.toonShading)
                : std::make_unique<Mesh>(program, loader.secondProgram, vertices, indices, textures,
                                         loader.shadowMapping, loader.toonShading);
        built->cutOutTexels = cutOut;
        return built;
    }

    // The triangles of the mesh. Points and lines that triangulation leaves
    // are dropped; a mesh with nothing left to draw or without normals (which
    // Assimp does not make for points and lines) is refused. The import has
    // validated the indices already; they are checked again here because an
    // index past the vertices would be read by the GPU at every draw.
    bool drawableIndices(const aiMesh& mesh, unsigned meshIndex, std::vector<GLuint>& indices)
    {
        if (mesh.mNumVertices == 0 || !mesh.mVertices) {
            report(mesh, meshIndex) << "it has no vertices; it is left out" << std::endl;
            return false;
        }
        if (mesh.mNumFaces == 0 || !mesh.mFaces) {
            report(mesh, meshIndex) << "it has no faces; it is left out" << std::endl;
            return false;
        }
        if (!mesh.HasNormals()) {
            report(mesh, meshIndex) << "it has no normals; it is left out" << std::endl;
            return false;
        }
        indices.reserve(static_cast<std::size_t>(mesh.mNumFaces) * 3);
        unsigned pointsAndLines = 0;
        for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
            const aiFace& face = mesh.mFaces[f];
            if (face.mNumIndices != 3 || !face.mIndices) {
                ++pointsAndLines;
                continue;
            }
            for (unsigned k = 0; k < 3; ++k) {
                if (face.mIndices[k] >= mesh.mNumVertices) {
                    report(mesh, meshIndex) << "face " << f << " refers to vertex " << face.mIndices[k] << " of "
                                            << mesh.mNumVertices << "; it is left out" << std::endl;
                    return false;
                }
                indices.push_back(face.mIndices[k]);
            }
        }
        if (indices.empty()) {
            report(mesh, meshIndex) << "it has only points and lines; it is left out" << std::endl;
            return false;
        }
        if (pointsAndLines > 0)
            report(mesh, meshIndex) << "point and line faces left out: " << pointsAndLines << std::endl;
        return true;
    }

    // The material's diffuse textures in file order, and in `cutOut` whether
    // any of them has texels the alpha-tested programs cut out. Each image
    // file becomes one GL texture for the whole run, so that rebuilding a
    // level reuses its textures instead of piling up new ones; a file that
    // cannot be read is reported once per load and left out.
    std::vector<GLuint> diffuseTextures(const aiMaterial& material, bool& cutOut)
    {
        std::vector<GLuint> textures;
        const unsigned count = aiGetMaterialTextureCount(&material, aiTextureType_DIFFUSE);
        for (unsigned i = 0; i < count; ++i) {
            aiString file;
            if (aiGetMaterialTexture(&material, aiTextureType_DIFFUSE, i, &file) != AI_SUCCESS)
                continue;
            const std::string imagePath = std::string("Textures/") + file.C_Str();
            const std::string key = std::filesystem::path(imagePath).lexically_normal().string();
            if (unreadable.count(key) != 0)
                continue;
            std::unordered_map<std::string, LoadedTexture>& loaded = loadedTextures();
            auto cached = loaded.find(key);
            if (cached == loaded.end() || !glIsTexture(cached->second.name)) {
                LoadedTexture texture;
                texture.name = loadImageTexture(imagePath, FirstRow::top, &texture.cutOut);
                if (texture.name == 0) {
                    unreadable.insert(key);
                    continue;
                }
                cached = loaded.insert_or_assign(key, texture).first;
            }
            textures.push_back(cached->second.name);
            cutOut = cutOut || cached->second.cutOut;
        }
        return textures;
    }

    struct LoadedTexture {
        GLuint name = 0;
        bool cutOut = false;
    };

    static std::unordered_map<std::string, LoadedTexture>& loadedTextures()
    {
        static std::unordered_map<std::string, LoadedTexture> textures;
        return textures;
    }

    std::ostream& report(const aiMesh& mesh, unsigned meshIndex)
    {
        return std::cout << "Model " << path << ", mesh " << meshIndex << " \"" << mesh.mName.C_Str() << "\": ";
    }

    const aiScene& scene;
    const std::string& path;
    GLuint program;
    const ModelLoader& loader;
    std::unordered_set<std::string> unreadable;
};

} // namespace

ModelLoader::ModelLoader(effects::ShadowMapping* shadowMapping, effects::ToonShading* toonShading)
    : shadowMapping(shadowMapping), toonShading(toonShading)
{
}

std::unique_ptr<TreeNode> ModelLoader::loadModel(GLuint program, const std::string& path)
{
    return loadModel(program, 0, path);
}

std::unique_ptr<TreeNode> ModelLoader::loadModel(GLuint program, GLuint secondProgram, const std::string& path)
{
    this->secondProgram = secondProgram;

    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path, validatedImportFlags);
    if (!scene) {
        const std::string error = importer.GetErrorString();
        std::cout << "Failed to open Model" << std::endl << error << std::endl;
        if (error.find(path) == std::string::npos)
            std::cout << "in " << path << std::endl;
        fatalExit(-1);
    }
    // Incomplete is one flag among others that Assimp may set.
    if ((scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) != 0 || !scene->mRootNode) {
        std::cout << "The file wasn't successfully opened: " << path << std::endl;
        fatalExit(-1);
    }

    TreeBuilder builder(*scene, path, program, *this);
    return builder.buildNode(*scene->mRootNode);
}

} // namespace frosk::modelLoader
