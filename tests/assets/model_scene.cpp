#include "model_scene.h"

#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/scene.h>

namespace assettest {

namespace {

glm::mat4 toGlm(const aiMatrix4x4& a)
{
    glm::mat4 m;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            m[c][r] = a[r][c];
    return m;
}

void walk(const aiScene* scene, const aiNode* node, const glm::mat4& parent, Scene& out)
{
    const glm::mat4 m = parent * toGlm(node->mTransformation);
    const glm::mat3 normalMatrix = glm::transpose(glm::inverse(glm::mat3(m)));
    for (unsigned k = 0; k < node->mNumMeshes; ++k) {
        const aiMesh* mesh = scene->mMeshes[node->mMeshes[k]];
        Part part;
        for (unsigned i = 0; i < mesh->mNumVertices; ++i) {
            const aiVector3D& v = mesh->mVertices[i];
            const glm::vec3 p(m * glm::vec4(v.x, v.y, v.z, 1.0f));
            part.positions.push_back(p);
            out.low = glm::min(out.low, p);
            out.high = glm::max(out.high, p);
            const aiVector3D n = mesh->HasNormals() ? mesh->mNormals[i] : aiVector3D(0, 1, 0);
            part.normals.push_back(glm::normalize(normalMatrix * glm::vec3(n.x, n.y, n.z)));
            const aiColor4D c = mesh->HasVertexColors(0) ? mesh->mColors[0][i] : aiColor4D(1, 1, 1, 1);
            part.colours.emplace_back(c.r, c.g, c.b);
            const aiVector3D uv = mesh->HasTextureCoords(0) ? mesh->mTextureCoords[0][i] : aiVector3D(0, 0, 0);
            part.uvs.emplace_back(uv.x, uv.y);
        }
        for (unsigned f = 0; f < mesh->mNumFaces; ++f)
            for (unsigned j = 0; j < mesh->mFaces[f].mNumIndices; ++j)
                part.indices.push_back(mesh->mFaces[f].mIndices[j]);
        out.triangles += mesh->mNumFaces;
        const aiMaterial* material = scene->mMaterials[mesh->mMaterialIndex];
        aiString file;
        if (material->GetTextureCount(aiTextureType_DIFFUSE) > 0 &&
            material->GetTexture(aiTextureType_DIFFUSE, 0, &file) == AI_SUCCESS)
            part.texture = file.C_Str();
        out.parts.push_back(std::move(part));
    }
    for (unsigned c = 0; c < node->mNumChildren; ++c)
        walk(scene, node->mChildren[c], m, out);
}

} // namespace

Scene readModel(const std::string& path, unsigned flags)
{
    Scene out;
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path, flags);
    if (!scene) {
        out.error = importer.GetErrorString();
        return out;
    }
    if (scene->mFlags == AI_SCENE_FLAGS_INCOMPLETE || !scene->mRootNode) {
        out.error = "incomplete scene";
        return out;
    }
    walk(scene, scene->mRootNode, glm::mat4(1.0f), out);
    out.loaded = true;
    return out;
}

} // namespace assettest
