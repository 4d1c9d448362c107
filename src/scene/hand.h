#pragma once

#include "scene/model_object.h"

#include <glm/glm.hpp>

namespace frosk::scene {

// The player's hand in front of the camera. It sinks while the throw button
// is held (the wind-up) and swings back up, faster every frame, once the
// button is released. It casts no shadow.
class Hand : public ModelObject {
public:
    Hand(Shader* program, Shader* secondProgram, effects::ShadowMapping* shadowMapping,
         effects::ToonShading* toonShading, const glm::mat4& modelMatrix);
    ~Hand() override;
    Hand(const Hand&) = delete;
    Hand& operator=(const Hand&) = delete;

    void update(double deltaTime) override;
    // pose x translation(offset).
    virtual void setHandPose(const glm::mat4& pose);
    virtual void startWindUp(float distance, float speed);
    virtual void windUp(float distance, float speed, double deltaTime);
    virtual void throwStep(double deltaTime);
    virtual void release();

    float progress = 0.0f;
    float distance = 0.0f;
    float animSpeed = 0.0f;
    glm::vec3 offset{0.0f};
    bool windUpDone = false;
    bool released = false;

    // Where the hand waits, cocked, between wind-up and swing.
    static constexpr glm::vec3 cockedOffset{0.2f, -1.0f, -0.5f};
};

} // namespace frosk::scene
