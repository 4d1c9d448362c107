#pragma once

#include <glm/glm.hpp>

namespace frosk::scene {

// Everything a level or the frame loop updates and draws. The draw passes
// (drawDepth, drawShadowed, drawSecondary, drawSilhouette, drawToon) come
// with ModelObject; each caller uses the passes its objects take part in.
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
