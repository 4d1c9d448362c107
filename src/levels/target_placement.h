#pragma once

#include <glm/glm.hpp>

#include <vector>

namespace frosk::physicsengine {
class Physics;
}
namespace frosk::scene {
class Target;
}

namespace frosk::levels {

// Where a level puts one of its targets and how it moves.
struct TargetPlacement {
    glm::vec3 position;
    float angle; // degrees about y
    glm::vec3 direction; // in the target's own frame
    float speed;
    float distance;
};

// translation(position) x rotation(angle about y).
glm::mat4 placementMatrix(const glm::vec3& position, float angleDegrees);

// One placed target per row, in row order, sharing the template's model.
std::vector<scene::Target*> placeTargets(physicsengine::Physics& physics, const scene::Target& targetTemplate,
                                         const std::vector<TargetPlacement>& table);

// Deletes what is left of a level's targets; each takes its body out of the world.
void deleteTargets(std::vector<scene::Target*>& targets);

} // namespace frosk::levels
