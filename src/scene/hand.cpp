#include "scene/hand.h"

namespace frosk::scene {

Hand::Hand(Shader* program, Shader* secondProgram, effects::ShadowMapping* shadowMapping,
           effects::ToonShading* toonShading, const glm::mat4& modelMatrix)
    : HeldObject(modelMatrix, program, secondProgram, shadowMapping, toonShading)
{
    loadModel("Models/handTex_46.dae");
}

Hand::~Hand() = default;

void Hand::endWindUp()
{
    offset = cockedOffset;
}

void Hand::throwStep(double deltaTime)
{
    distance = 2.5f;
    animSpeed *= 1.1f;
    if (distance > progress) {
        offset.y += static_cast<float>(2.0 * animSpeed * deltaTime);
        progress += static_cast<float>(animSpeed * deltaTime);
    } else {
        backAtRest();
    }
}

} // namespace frosk::scene
