#include "collada.h"

#include <assimp/Exporter.hpp>
#include <assimp/material.h>
#include <assimp/scene.h>

#include <fstream>
#include <memory>

namespace assetgen {

namespace {

aiMatrix4x4 toAssimp(const glm::mat4& m)
{
    // glm is column-major, Assimp row-major: element (row r, column c) is m[c][r].
    aiMatrix4x4 a;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            a[r][c] = m[c][r];
    return a;
}

aiNode* buildNode(const Node& node)
{
    auto* n = new aiNode(node.name);
    n->mTransformation = toAssimp(node.transform);
    if (!node.meshes.empty()) {
        n->mNumMeshes = static_cast<unsigned>(node.meshes.size());
        n->mMeshes = new unsigned[n->mNumMeshes];
        for (unsigned i = 0; i < n->mNumMeshes; ++i)
            n->mMeshes[i] = static_cast<unsigned>(node.meshes[i]);
    }
    if (!node.children.empty()) {
        n->mNumChildren = static_cast<unsigned>(node.children.size());
        n->mChildren = new aiNode*[n->mNumChildren];
        for (unsigned i = 0; i < n->mNumChildren; ++i) {
            n->mChildren[i] = buildNode(node.children[i]);
            n->mChildren[i]->mParent = n;
        }
    }
    return n;
}

aiMaterial* buildMaterial(const Material& m)
{
    auto* a = new aiMaterial();
    const aiString name(m.name);
    a->AddProperty(&name, AI_MATKEY_NAME);
    const aiColor4D diffuse(m.diffuse.r, m.diffuse.g, m.diffuse.b, 1.0f);
    a->AddProperty(&diffuse, 1, AI_MATKEY_COLOR_DIFFUSE);
    const aiColor4D emissive(m.emissive.r, m.emissive.g, m.emissive.b, 1.0f);
    a->AddProperty(&emissive, 1, AI_MATKEY_COLOR_EMISSIVE);
    if (!m.texture.empty()) {
        const aiString file(m.texture);
        a->AddProperty(&file, AI_MATKEY_TEXTURE_DIFFUSE(0));
    }
    return a;
}

aiMesh* buildMesh(const Mesh& m)
{
    auto* a = new aiMesh();
    a->mName = m.name;
    a->mMaterialIndex = static_cast<unsigned>(m.material);
    a->mPrimitiveTypes = aiPrimitiveType_TRIANGLE;
    a->mNumVertices = static_cast<unsigned>(m.positions.size());
    a->mVertices = new aiVector3D[a->mNumVertices];
    a->mNormals = new aiVector3D[a->mNumVertices];
    a->mTextureCoords[0] = new aiVector3D[a->mNumVertices];
    a->mNumUVComponents[0] = 2;
    a->mColors[0] = new aiColor4D[a->mNumVertices];
    for (unsigned i = 0; i < a->mNumVertices; ++i) {
        a->mVertices[i] = aiVector3D(m.positions[i].x, m.positions[i].y, m.positions[i].z);
        a->mNormals[i] = aiVector3D(m.normals[i].x, m.normals[i].y, m.normals[i].z);
        a->mTextureCoords[0][i] = aiVector3D(m.uvs[i].x, m.uvs[i].y, 0.0f);
        a->mColors[0][i] = aiColor4D(m.colours[i].r, m.colours[i].g, m.colours[i].b, 1.0f);
    }
    a->mNumFaces = static_cast<unsigned>(m.triangles());
    a->mFaces = new aiFace[a->mNumFaces];
    for (unsigned f = 0; f < a->mNumFaces; ++f) {
        a->mFaces[f].mNumIndices = 3;
        a->mFaces[f].mIndices = new unsigned[3]{m.indices[3 * f], m.indices[3 * f + 1], m.indices[3 * f + 2]};
    }
    return a;
}

// Replaces the text between every <tag> and </tag> with `value`.
void replaceElement(std::string& text, const std::string& tag, const std::string& value)
{
    const std::string open = "<" + tag + ">", close = "</" + tag + ">";
    size_t at = 0;
    while ((at = text.find(open, at)) != std::string::npos) {
        const size_t begin = at + open.size();
        const size_t end = text.find(close, begin);
        if (end == std::string::npos)
            return;
        text.replace(begin, end - begin, value);
        at = begin + value.size();
    }
}

} // namespace

std::string writeCollada(const Model& model, const std::string& path)
{
    auto scene = std::make_unique<aiScene>();
    scene->mRootNode = buildNode(model.root);
    scene->mNumMaterials = static_cast<unsigned>(model.materials.size());
    scene->mMaterials = new aiMaterial*[scene->mNumMaterials];
    for (unsigned i = 0; i < scene->mNumMaterials; ++i)
        scene->mMaterials[i] = buildMaterial(model.materials[i]);
    scene->mNumMeshes = static_cast<unsigned>(model.meshes.size());
    scene->mMeshes = new aiMesh*[scene->mNumMeshes];
    for (unsigned i = 0; i < scene->mNumMeshes; ++i)
        scene->mMeshes[i] = buildMesh(model.meshes[i]);

    Assimp::Exporter exporter;
    const aiExportDataBlob* blob = exporter.ExportToBlob(scene.get(), "collada");
    if (!blob)
        return std::string("Assimp could not export: ") + exporter.GetErrorString();
    std::string text(static_cast<const char*>(blob->data), blob->size);
    replaceElement(text, "created", "2000-01-01T00:00:00");
    replaceElement(text, "modified", "2000-01-01T00:00:00");

    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out)
        return "cannot write " + path;
    return "";
}

} // namespace assetgen
