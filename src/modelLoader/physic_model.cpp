#include "modelLoader/physic_model.h"

#include "common/console.h"
#include "physicsengine/physics.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <glm/gtc/type_ptr.hpp>

#include <functional>
#include <iostream>

namespace frosk::modelLoader {

namespace {

constexpr unsigned collisionImportFlags =
    aiProcess_CalcTangentSpace | aiProcess_Triangulate | aiProcess_GenSmoothNormals;

// Reads a collision model; a file that cannot be read ends the program.
const aiScene* readCollisionModel(Assimp::Importer& importer, const std::string& path)
{
    const aiScene* scene = importer.ReadFile(path, collisionImportFlags);
    if (!scene) {
        std::cout << "Failed to open Physic - Model" << std::endl;
        std::cout << importer.GetErrorString() << std::endl;
        fatalExit(-1);
    }
    if (scene->mFlags == AI_SCENE_FLAGS_INCOMPLETE || !scene->mRootNode) {
        std::cout << "The file wasn't successfully opened: " << path << std::endl;
        fatalExit(-1);
    }
    return scene;
}

glm::mat4 localTransform(const aiNode& node)
{
    // Assimp's matrices are row-major.
    return glm::transpose(glm::make_mat4(&node.mTransformation.a1));
}

// One shape from a mesh, with the node's accumulated transform baked into its
// points. Only triangles take part; a mesh that leaves nothing usable is
// reported and gives null.
std::shared_ptr<physicsengine::Shape> buildShape(physicsengine::Physics& physics, const aiScene& scene,
                                                 unsigned meshIndex, const glm::mat4& accumulated,
                                                 const std::string& path)
{
    if (meshIndex >= scene.mNumMeshes || !scene.mMeshes[meshIndex]) {
        std::cout << "Collision mesh " << meshIndex << " of " << path << " skipped: it does not exist" << std::endl;
        return nullptr;
    }
    const aiMesh& mesh = *scene.mMeshes[meshIndex];
    std::vector<glm::vec3> points;
    points.reserve(mesh.mNumVertices);
    for (unsigned i = 0; i < mesh.mNumVertices; ++i) {
        const aiVector3D& p = mesh.mVertices[i];
        points.emplace_back(accumulated * glm::vec4(p.x, p.y, p.z, 1.0f));
    }
    std::vector<std::uint32_t> indices;
    indices.reserve(static_cast<std::size_t>(mesh.mNumFaces) * 3);
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        if (face.mNumIndices == 3)
            indices.insert(indices.end(), face.mIndices, face.mIndices + 3);
    }

    std::string failure;
    auto shape = physics.createMeshShape(physics.cookTriangleMesh(std::move(points), std::move(indices), &failure));
    if (!shape)
        std::cout << "Collision mesh " << meshIndex << " of " << path << " skipped: " << failure << std::endl;
    return shape;
}

} // namespace

std::shared_ptr<physicsengine::Shape> PhysicModel::loadShape(physicsengine::Physics& physics,
                                                             const std::string& path,
                                                             const glm::mat4& worldTransform)
{
    this->worldTransform = worldTransform;
    Assimp::Importer importer;
    const aiScene* scene = readCollisionModel(importer, path);

    const aiNode* node = scene->mRootNode;
    glm::mat4 accumulated = localTransform(*node);
    while (node->mNumMeshes == 0 && node->mNumChildren > 0) {
        node = node->mChildren[0];
        accumulated = accumulated * localTransform(*node);
    }
    if (node->mNumMeshes == 0) {
        std::cout << "No collision mesh in " << path << std::endl;
        shape = nullptr;
        return shape;
    }
    shape = buildShape(physics, *scene, node->mMeshes[0], accumulated, path);
    return shape;
}

void PhysicModel::loadStaticActors(physicsengine::Physics& physics, const std::string& path,
                                   const glm::mat4& worldTransform)
{
    this->worldTransform = worldTransform;
    Assimp::Importer importer;
    const aiScene* scene = readCollisionModel(importer, path);

    std::function<void(const aiNode&, const glm::mat4&)> walk = [&](const aiNode& node, const glm::mat4& parent) {
        const glm::mat4 accumulated = parent * localTransform(node);
        for (unsigned i = 0; i < node.mNumMeshes; ++i) {
            auto built = buildShape(physics, *scene, node.mMeshes[i], accumulated, path);
            if (!built)
                continue;
            shape = built;
            actors.push_back(physics.addStaticBody(shape, worldTransform, physicsengine::groupStatic));
        }
        for (unsigned c = 0; c < node.mNumChildren; ++c)
            walk(*node.mChildren[c], accumulated);
    };
    walk(*scene->mRootNode, glm::mat4(1.0f));
}

} // namespace frosk::modelLoader
