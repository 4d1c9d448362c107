#pragma once

#include "scene/scene_object.h"

#include <memory>

namespace frosk::datastructures {
class TreeNode;
}

namespace frosk::scene {

// A scene object drawn as one loaded model tree, its root at modelMatrix x
// root transform, in every pass the tree knows. Templates and their copies
// share one tree; the last of them to go frees it.
class ModelObject : public SceneObject {
public:
    ~ModelObject() override;

    // With whatever program is current.
    void draw() override;
    virtual void drawDepth();
    virtual void drawShadowed();
    virtual void drawSecondary();
    virtual void drawSilhouette();
    virtual void drawToon();

    std::shared_ptr<datastructures::TreeNode> model;

protected:
    explicit ModelObject(const glm::mat4& modelMatrix, std::shared_ptr<datastructures::TreeNode> model = nullptr);

private:
    glm::mat4 world() const;
};

} // namespace frosk::scene
