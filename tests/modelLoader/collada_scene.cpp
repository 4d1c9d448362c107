#include "collada_scene.h"

#include <assimp/Exporter.hpp>
#include <assimp/material.h>
#include <assimp/scene.h>

#include <iostream>
#include <memory>

namespace testscene {

Mesh quad(const glm::vec3& colour)
{
    Mesh mesh;
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    mesh.normals.assign(4, {0, 0, 1});
    mesh.colours.assign(4, colour);
    mesh.uvs = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    mesh.faces = {{0, 1, 2}, {0, 2, 3}};
    return mesh;
}

namespace {

aiVector3D toAi(const glm::vec3& v)
{
    return {v.x, v.y, v.z};
}

aiNode* buildNode(const Node& node)
{
    auto* out = new aiNode(node.name);
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            out->mTransformation[row][column] = node.transform[column][row];
    if (!node.meshes.empty()) {
        out->mNumMeshes = static_cast<unsigned>(node.meshes.size());
        out->mMeshes = new unsigned[node.meshes.size()];
        for (std::size_t i = 0; i < node.meshes.size(); ++i)
            out->mMeshes[i] = node.meshes[i];
    }
    if (!node.children.empty()) {
        std::vector<aiNode*> children;
        for (const Node& child : node.children)
            children.push_back(buildNode(child));
        out->addChildren(static_cast<unsigned>(children.size()), children.data());
    }
    return out;
}

aiMesh* buildMesh(const Mesh& mesh)
{
    auto* out = new aiMesh;
    out->mName = mesh.name;
    out->mMaterialIndex = mesh.material;
    const unsigned n = static_cast<unsigned>(mesh.positions.size());
    out->mNumVertices = n;
    out->mVertices = new aiVector3D[n];
    for (unsigned i = 0; i < n; ++i)
        out->mVertices[i] = toAi(mesh.positions[i]);
    if (!mesh.normals.empty()) {
        out->mNormals = new aiVector3D[n];
        for (unsigned i = 0; i < n; ++i)
            out->mNormals[i] = toAi(mesh.normals[i]);
    }
    if (!mesh.colours.empty()) {
        out->mColors[0] = new aiColor4D[n];
        for (unsigned i = 0; i < n; ++i)
            out->mColors[0][i] = aiColor4D(mesh.colours[i].r, mesh.colours[i].g, mesh.colours[i].b, 1.0f);
    }
    if (!mesh.uvs.empty()) {
        out->mTextureCoords[0] = new aiVector3D[n];
        out->mNumUVComponents[0] = 2;
        for (unsigned i = 0; i < n; ++i)
            out->mTextureCoords[0][i] = aiVector3D(mesh.uvs[i].x, mesh.uvs[i].y, 0.0f);
    }
    out->mNumFaces = static_cast<unsigned>(mesh.faces.size());
    out->mFaces = new aiFace[mesh.faces.size()];
    unsigned types = 0;
    for (std::size_t f = 0; f < mesh.faces.size(); ++f) {
        const std::vector<unsigned>& face = mesh.faces[f];
        out->mFaces[f].mNumIndices = static_cast<unsigned>(face.size());
        out->mFaces[f].mIndices = new unsigned[face.size()];
        for (std::size_t k = 0; k < face.size(); ++k)
            out->mFaces[f].mIndices[k] = face[k];
        types |= face.size() == 1   ? aiPrimitiveType_POINT
                 : face.size() == 2 ? aiPrimitiveType_LINE
                 : face.size() == 3 ? aiPrimitiveType_TRIANGLE
                                    : aiPrimitiveType_POLYGON;
    }
    out->mPrimitiveTypes = types;
    return out;
}

aiMaterial* buildMaterial(const Material& material, unsigned index)
{
    auto* out = new aiMaterial;
    const aiString name("material" + std::to_string(index));
    out->AddProperty(&name, AI_MATKEY_NAME);
    if (material.hasDiffuse) {
        const aiColor4D diffuse(material.diffuse.r, material.diffuse.g, material.diffuse.b, 1.0f);
        out->AddProperty(&diffuse, 1, AI_MATKEY_COLOR_DIFFUSE);
    }
    for (std::size_t i = 0; i < material.textures.size(); ++i) {
        const aiString file(material.textures[i]);
        out->AddProperty(&file, AI_MATKEY_TEXTURE_DIFFUSE(static_cast<int>(i)));
    }
    return out;
}

} // namespace

bool write(const Scene& scene, const std::string& path)
{
    auto out = std::make_unique<aiScene>();
    out->mRootNode = buildNode(scene.root);
    out->mNumMaterials = static_cast<unsigned>(scene.materials.size());
    out->mMaterials = new aiMaterial*[scene.materials.size()];
    for (std::size_t i = 0; i < scene.materials.size(); ++i)
        out->mMaterials[i] = buildMaterial(scene.materials[i], static_cast<unsigned>(i));
    if (!scene.meshes.empty()) {
        out->mNumMeshes = static_cast<unsigned>(scene.meshes.size());
        out->mMeshes = new aiMesh*[scene.meshes.size()];
        for (std::size_t i = 0; i < scene.meshes.size(); ++i)
            out->mMeshes[i] = buildMesh(scene.meshes[i]);
    }
    const bool binary = path.size() > 7 && path.compare(path.size() - 7, 7, ".assbin") == 0;
    Assimp::Exporter exporter;
    if (exporter.Export(out.get(), binary ? "assbin" : "collada", path) != AI_SUCCESS) {
        std::cout << "export of " << path << " failed: " << exporter.GetErrorString() << std::endl;
        return false;
    }
    return true;
}

} // namespace testscene
