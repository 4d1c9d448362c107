#include "levels/target_placement.h"

#include "scene/target.h"

#include <glm/gtc/matrix_transform.hpp>

namespace frosk::levels {

glm::mat4 placementMatrix(const glm::vec3& position, float angleDegrees)
{
    const glm::mat4 t = glm::translate(glm::mat4(1.0f), position);
    return glm::rotate(t, angleDegrees * 0.017453292f, glm::vec3(0.0f, 1.0f, 0.0f));
}

std::vector<scene::Target*> placeTargets(physicsengine::Physics& physics, const scene::Target& targetTemplate,
                                         const std::vector<TargetPlacement>& table)
{
    std::vector<scene::Target*> targets;
    for (const TargetPlacement& p : table)
        targets.push_back(new scene::Target(&physics, &targetTemplate, p.direction, p.speed, p.distance,
                                            placementMatrix(p.position, p.angle)));
    return targets;
}

void deleteTargets(std::vector<scene::Target*>& targets)
{
    for (scene::Target* target : targets)
        delete target;
    targets.clear();
}

} // namespace frosk::levels
