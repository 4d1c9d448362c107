#include "scene/hand.h"


#include <glm/gtc/matrix_transform.hpp>

namespace frosk::scene {

Hand::Hand(Shader* program, Shader* secondProgram, effects::ShadowMapping* shadowMapping,
           effects::ToonShading* toonShading, const glm::mat4& modelMatrix)
    : ModelObject(modelMatrix, program, secondProgram, shadowMapping, toonShading)
{
    loadModel("Models/handTex_46.dae");
}

Hand::~Hand() = default;

void Hand::update(double deltaTime)
{
    if (!windUpDone) {
        windUp(distance, animSpeed, deltaTime);
        if (!windUpDone)
            return;
    }
    if (released)
        throwStep(deltaTime);
}

void Hand::startWindUp(float newDistance, float speed)
{
    distance = newDistance;
    animSpeed = speed;
}

void Hand::windUp(float windDistance, float speed, double deltaTime)
{
    if (deltaTime > 0.1 || windDistance == 0.0f || speed == 0.0f)
        return;
    if (windDistance > progress) {
        const float step = static_cast<float>(speed * deltaTime);
        offset.y -= step;
        progress += step;
    } else {
        progress = 0.0f;
        offset = cockedOffset;
        windUpDone = true;
    }
}

void Hand::release()
{
    released = true;
}

void Hand::throwStep(double deltaTime)
{
    distance = 2.5f;
    animSpeed *= 1.1f;
    if (distance > progress) {
        offset.y += static_cast<float>(2.0 * animSpeed * deltaTime);
        progress += static_cast<float>(animSpeed * deltaTime);
    } else {
        progress = 0.0f;
        distance = 0.0f;
        offset = glm::vec3(0.0f);
        windUpDone = false;
        released = false;
    }
}

void Hand::setHandPose(const glm::mat4& pose)
{
    modelMatrix = glm::translate(pose, offset);
}

} // namespace frosk::scene
