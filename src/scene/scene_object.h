#pragma once

#include <glm/glm.hpp>

namespace frosk::scene {

// Everything a level or the frame loop updates and draws. Each kind adds the
// draw passes it takes part in (drawDepth, drawShadowed, drawSecondary,
// drawSilhouette, drawToon), each drawing its model's root with
// modelMatrix x root transform; callers reach them through the concrete type.
class SceneObject {
public:
    virtual ~SceneObject() = default;
    // One frame of deltaTime seconds, exactly as the loop measured it.
    virtual void update(double deltaTime) = 0;
    // Plain draw with whatever program is current.
    virtual void draw() = 0;

    glm::mat4 modelMatrix;

protected:
    explicit SceneObject(const glm::mat4& modelMatrix) : modelMatrix(modelMatrix) {}
};

} // namespace frosk::scene
