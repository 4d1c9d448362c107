#pragma once

#include "scene/model_object.h"

#include <glm/glm.hpp>

namespace frosk::scene {

// Something the player holds in front of the eye: the hand, and the cake in
// it. Both play one throw gesture. The wind-up sinks the object by speed x dt
// a frame until it has covered its distance (frames over 0.1 s are skipped);
// once the button is released, each goes back to rest in a way of its own.
class HeldObject : public ModelObject {
public:
    // The wind-up until it is done, then, once released, the way back.
    void update(double deltaTime) override;
    // pose x translation(offset).
    virtual void setHandPose(const glm::mat4& pose);
    virtual void startWindUp(float distance, float speed);
    // One wind-up step: down by speed x deltaTime until `distance` is covered.
    virtual void windUp(float distance, float speed, double deltaTime);
    virtual void release();

    float progress = 0.0f;
    float distance = 0.0f;
    float animSpeed = 0.0f;
    glm::vec3 offset{0.0f};
    bool released = false;

protected:
    using ModelObject::ModelObject;

    // The object's own flag for a finished wind-up (the hand's windUpDone,
    // the cake's lowered).
    virtual bool& woundUp() = 0;
    // Where the object rests from the end of the wind-up to the release.
    virtual void endWindUp() = 0;
    // One frame on the way back (the hand's swing, the cake's reload); ends
    // with backAtRest().
    virtual void returnStep(double deltaTime) = 0;
    // Ready for the next wind-up, which waits for startWindUp.
    void backAtRest();
};

} // namespace frosk::scene
