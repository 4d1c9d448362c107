#pragma once

#include "datastructures/mesh.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <memory>
#include <utility>
#include <vector>

namespace frosk::datastructures {

// A node of a loaded model: its meshes, its children and its transform
// relative to its parent. A traversal hands the node's meshes exactly the
// matrix it was given and each child that matrix x the child's transform, so
// the node it starts on never applies its own transform: callers start with
// (object model matrix x root transform). Meshes of a node come before its
// children, depth first.
class TreeNode {
public:
    TreeNode() = default;
    explicit TreeNode(const glm::mat4& transform) : transform(transform) {}
    virtual ~TreeNode() = default;
    TreeNode(const TreeNode&) = delete;
    TreeNode& operator=(const TreeNode&) = delete;

    void draw(glm::mat4 model);
    void drawDepth(glm::mat4 model);
    void drawShadowed(glm::mat4 model);
    void drawSecondary(glm::mat4 model);
    void drawSilhouette(glm::mat4 model);
    void drawToon(glm::mat4 model);
    // Texture filters of every mesh of the tree (Mesh::setTextureFilter).
    void setTextureFilter(GLint minFilter);
    // The smallest and largest x and y, after the division by w, of every
    // vertex of the tree taken through `toClip` (and each child's transform
    // below this node); a vertex that comes out as no number is left out.
    // Without any vertex the first corner lies above the second. Through a
    // perspective, a tree wholly behind the eye (w <= 0 everywhere) has no
    // footprint, and one reaching behind it may cover anything: [-1, 1]².
    std::pair<glm::vec2, glm::vec2> footprint(const glm::mat4& toClip) const;

    // Declared in this order so that a node's meshes are destroyed before its
    // children.
    std::vector<std::unique_ptr<TreeNode>> children;
    std::vector<std::unique_ptr<Mesh>> meshes;
    glm::mat4 transform{1.0f};

private:
    template <typename MeshDraw>
    void traverse(const glm::mat4& model, MeshDraw meshDraw);
};

} // namespace frosk::datastructures
