#pragma once

#include "scene/model_object.h"

namespace frosk::scene {

// The sky: one model around the origin, drawn with the sky program and
// nearest filtering (draw with the sky program current), colliding with
// nothing.
class Heaven : public ModelObject {
public:
    Heaven(Shader* program, const glm::mat4& modelMatrix);
    ~Heaven() override;
    Heaven(const Heaven&) = delete;
    Heaven& operator=(const Heaven&) = delete;

    void update(double deltaTime) override;
};

} // namespace frosk::scene
