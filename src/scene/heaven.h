#pragma once

#include "scene/scene_object.h"

#include <memory>

namespace frosk {
class Shader;
namespace datastructures {
class TreeNode;
}
} // namespace frosk

namespace frosk::scene {

// The sky: one model around the origin, drawn with the sky program and
// nearest filtering, colliding with nothing.
class Heaven : public SceneObject {
public:
    Heaven(Shader* program, const glm::mat4& modelMatrix);
    ~Heaven() override;
    Heaven(const Heaven&) = delete;
    Heaven& operator=(const Heaven&) = delete;

    void update(double deltaTime) override;
    // With the sky program current.
    void draw() override;

    Shader* program = nullptr;
    std::unique_ptr<datastructures::TreeNode> model;
};

} // namespace frosk::scene
