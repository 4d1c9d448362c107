#pragma once

// Collision geometry from a model file: the triangles of its meshes, with the
// node transforms baked into the points, as shapes or static bodies of the
// physics world.

#include "physicsengine/handles.h"

#include <glm/glm.hpp>

#include <memory>
#include <string>
#include <vector>

namespace frosk::modelLoader {

class PhysicModel {
public:
    // Static bodies made by loadStaticActors, in creation order. The owner
    // takes them out of the world (Physics::removeBodies(actors)).
    std::vector<physicsengine::Body*> actors;
    // The shape made last.
    std::shared_ptr<physicsengine::Shape> shape;
    // The world pose given to the last load; never applied to the points.
    glm::mat4 worldTransform{1.0f};

    // One triangle-mesh shape from the first mesh met from the root through
    // first children; null (with a message) if there is none or it cannot be
    // used.
    std::shared_ptr<physicsengine::Shape> loadShape(physicsengine::Physics& physics,
                                                    const std::string& path,
                                                    const glm::mat4& worldTransform);
    // One static body in group 30 per usable mesh of every node, all at the
    // pose of worldTransform, appended to `actors`.
    void loadStaticActors(physicsengine::Physics& physics, const std::string& path,
                          const glm::mat4& worldTransform);
};

} // namespace frosk::modelLoader
