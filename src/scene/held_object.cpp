#include "scene/held_object.h"

#include <glm/gtc/matrix_transform.hpp>

namespace frosk::scene {

void HeldObject::update(double deltaTime)
{
    if (!woundUp) {
        if (deltaTime > 0.1 || distance == 0.0f || animSpeed == 0.0f)
            return;
        if (distance > progress) {
            const float step = static_cast<float>(animSpeed * deltaTime);
            offset.y -= step;
            progress += step;
            return;
        }
        progress = 0.0f;
        woundUp = true;
        endWindUp();
    }
    if (released)
        returnStep(deltaTime);
}

void HeldObject::setHandPose(const glm::mat4& pose)
{
    modelMatrix = glm::translate(pose, offset);
}

void HeldObject::startWindUp(float newDistance, float speed)
{
    distance = newDistance;
    animSpeed = speed;
}

void HeldObject::release()
{
    released = true;
}

void HeldObject::backAtRest()
{
    progress = 0.0f;
    distance = 0.0f;
    offset = glm::vec3(0.0f);
    woundUp = false;
    released = false;
}

} // namespace frosk::scene
