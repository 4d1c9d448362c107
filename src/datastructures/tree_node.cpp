#include "datastructures/tree_node.h"

#include <cmath>
#include <limits>

namespace frosk::datastructures {

namespace {

struct Footprint {
    glm::vec2 low;
    glm::vec2 high;
    bool reachesBehindTheEye = false;
};

void extendFootprint(const TreeNode& node, const glm::mat4& toClip, Footprint& footprint)
{
    for (const auto& mesh : node.meshes) {
        for (const Vertex& vertex : mesh->vertices) {
            const glm::vec4 p = toClip * glm::vec4(vertex.position, 1.0f);
            if (p.w <= 0.0f) {
                footprint.reachesBehindTheEye = true;
                continue;
            }
            const glm::vec2 xy = glm::vec2(p) / p.w;
            if (std::isnan(xy.x) || std::isnan(xy.y))
                continue;
            footprint.low = glm::min(footprint.low, xy);
            footprint.high = glm::max(footprint.high, xy);
        }
    }
    for (const auto& child : node.children)
        extendFootprint(*child, toClip * child->transform, footprint);
}

} // namespace

std::pair<glm::vec2, glm::vec2> TreeNode::footprint(const glm::mat4& toClip) const
{
    constexpr float huge = std::numeric_limits<float>::max();
    Footprint footprint{glm::vec2(huge), glm::vec2(-huge)};
    extendFootprint(*this, toClip, footprint);
    // Only the part before the eye is drawn; with none, nothing is.
    const bool anyBefore = footprint.low.x <= footprint.high.x;
    if (footprint.reachesBehindTheEye && anyBefore)
        return {glm::vec2(-1.0f), glm::vec2(1.0f)};
    return {footprint.low, footprint.high};
}

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
