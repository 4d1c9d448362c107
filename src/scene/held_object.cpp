#include "scene/held_object.h"

#include <glm/gtc/matrix_transform.hpp>

namespace frosk::scene {

void HeldObject::update(double deltaTime)
{
    if (!woundUp()) {
        windUp(distance, animSpeed, deltaTime);
        if (!woundUp())
            return;
    }
    if (released)
        returnStep(deltaTime);
}

void HeldObject::windUp(float windDistance, float speed, double deltaTime)
{
    if (deltaTime > 0.1 || windDistance == 0.0f || speed == 0.0f)
        return;
    if (windDistance > progress) {
        const float step = static_cast<float>(speed * deltaTime);
        offset.y -= step;
        progress += step;
    } else {
        progress = 0.0f;
        woundUp() = true;
        endWindUp();
    }
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
    woundUp() = false;
    released = false;
}

} // namespace frosk::scene
