#include "datastructures/tree_node.h"

namespace frosk::datastructures {

template <typename MeshDraw>
void TreeNode::traverse(const glm::mat4& model, MeshDraw meshDraw)
{
    for (const std::unique_ptr<Mesh>& mesh : meshes)
        (mesh.get()->*meshDraw)(model);
    for (const std::unique_ptr<TreeNode>& child : children)
        child->traverse(model * child->transform, meshDraw);
}

void TreeNode::draw(glm::mat4 model)
{
    traverse(model, &Mesh::draw);
}

void TreeNode::drawDepth(glm::mat4 model)
{
    traverse(model, &Mesh::drawDepth);
}

void TreeNode::drawShadowed(glm::mat4 model)
{
    traverse(model, &Mesh::drawShadowed);
}

void TreeNode::drawSecondary(glm::mat4 model)
{
    traverse(model, &Mesh::drawSecondary);
}

void TreeNode::drawSilhouette(glm::mat4 model)
{
    traverse(model, &Mesh::drawSilhouette);
}

void TreeNode::drawToon(glm::mat4 model)
{
    traverse(model, &Mesh::drawToon);
}

void TreeNode::setTextureFilter(GLint minFilter)
{
    for (const std::unique_ptr<Mesh>& mesh : meshes)
        mesh->setTextureFilter(minFilter);
    for (const std::unique_ptr<TreeNode>& child : children)
        child->setTextureFilter(minFilter);
}

} // namespace frosk::datastructures
