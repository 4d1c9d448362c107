#pragma once

// The game's one rigid-body world. Bodies and shapes are opaque handles: the
// game creates, moves, queries and removes them only through Physics, and
// nothing outside physicsengine/ knows which library simulates them.

#include "physicsengine/handles.h"

#include <glm/glm.hpp>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace frosk::scene {
class Cake;
class Target;
} // namespace frosk::scene

namespace frosk::physicsengine {

// Collision groups carried by every body.
constexpr std::uint32_t groupNone = 0;     // snowmen and other plain scenery
constexpr std::uint32_t groupCake = 10;    // thrown cakes
constexpr std::uint32_t groupTarget = 20;  // targets
constexpr std::uint32_t groupStatic = 30;  // level geometry from collision models
constexpr std::uint32_t groupPlayer = 100; // the player's capsule

// Flags returned by Physics::movePlayer: which sides of the capsule touched
// something during the move.
enum CollisionFlags : unsigned {
    collisionSides = 1 << 0,
    collisionUp = 1 << 1,
    collisionDown = 1 << 2, // standing on something
};

// Receives the world's reports. They are delivered by Physics::step after the
// simulation has finished, on the calling thread, so a receiver may change any
// game state; bodies should still be queued in actorsToRemove rather than
// removed from inside a report.
class SimulationEventCallback {
public:
    virtual ~SimulationEventCallback() = default;
    // Cakes that woke up again after a sleep report.
    virtual void onWake(Body* const* bodies, std::size_t count) = 0;
    // Cakes that came to rest during the step, each reported once per rest.
    virtual void onSleep(Body* const* bodies, std::size_t count) = 0;
    // A cake and a target began to touch: once per pair and contact start.
    // The order of the two bodies is not specified.
    virtual void onContact(Body* first, Body* second) = 0;
};

class Physics {
public:
    // Start-up stages; tests make one of them fail on purpose.
    enum class Stage { none, sdk, scene, cooking };

    // Builds the world: gravity (0, -9.8, 0), the collision filter, the shared
    // material and the player's capsule at (0, 3, 0). A failure prints its
    // message and ends the process with status 1.
    explicit Physics(Stage failAt = Stage::none);
    ~Physics();
    Physics(const Physics&) = delete;
    Physics& operator=(const Physics&) = delete;

    // Not owned; may be null. Reports of later steps go there.
    void setSimulationEventCallback(SimulationEventCallback* callback);

    // Simulation time of a frame of dt seconds: dt, or 1/60 s when dt > 0.1
    // (0 for a negative or not-a-number dt).
    static float elapsedTime(double dt);
    // One simulation step of elapsedTime(dt), then the reports.
    void step(double dt);

    // Collision geometry. A mesh that cannot be used (no triangles, indices out
    // of range or not in threes, non-finite positions, only degenerate
    // triangles) gives null and, if `failure` is given, says why there.
    // Degenerate triangles among good ones are dropped.
    std::shared_ptr<TriangleMesh> cookTriangleMesh(std::vector<glm::vec3> points,
                                                   std::vector<std::uint32_t> indices,
                                                   std::string* failure = nullptr);
    // A triangle-mesh shape with friction 0.5 and restitution 0.5; null for a null mesh.
    std::shared_ptr<Shape> createMeshShape(std::shared_ptr<TriangleMesh> mesh);

    // Bodies. The pose is a model matrix: its translation column and the
    // rotation of its upper 3x3 (scale in it is ignored). A null shape gives
    // no body (null).
    Body* addStaticBody(std::shared_ptr<Shape> shape, const glm::mat4& pose,
                        std::uint32_t group = groupNone);
    // A kinematic body in group 20 that the reports hand back with its target.
    Body* addTargetBody(std::shared_ptr<Shape> shape, const glm::mat4& pose,
                        scene::Target* target);
    // Moves a target body to a new pose at once: the player's capsule meets it
    // there from now on, and in the next step it pushes the cakes it meets on
    // the way and carries those resting on it.
    void setKinematicPose(Body* body, const glm::mat4& pose);
    // A dynamic box of half extents (1, 0.5, 1) and mass 4 in group 10 with
    // the cake's id, continuous collision and sleep reports, flying at
    // `velocity` without spin. The cake may be given later with setCake.
    Body* throwCake(const glm::vec3& position, const glm::vec3& velocity,
                    std::uint32_t cakeId, scene::Cake* cake = nullptr);
    // The game object a body stands for; null when it stands for none (or the
    // owner was cleared with setCake(body, nullptr) when the cake was deleted).
    void setCake(Body* body, scene::Cake* cake);
    scene::Cake* cakeOf(const Body* body) const;
    scene::Target* targetOf(const Body* body) const;

    // Takes each listed body out of the world once (a body may be listed more
    // than once; handles no longer in the world and nulls are skipped), wakes
    // the bodies that touched it, frees it, and empties the list.
    void removeBodies(std::vector<Body*>& bodies);
    void removeBody(Body* body);

    // Queries.
    std::size_t bodyCount() const; // the player's capsule not included
    std::uint32_t groupOf(const Body* body) const;
    std::uint32_t cakeIdOf(const Body* body) const;
    glm::mat4 pose(const Body* body) const; // rotation and translation
    glm::vec3 position(const Body* body) const;
    glm::vec3 linearVelocity(const Body* body) const;
    bool isSleeping(const Body* body) const;

    // The player's capsule: height 1.85 between the sphere centres, radius
    // 0.3, contact offset 0.01, slope limit 0.707 (cosine), step offset 0.5.
    // It slides along what it meets, climbs steps and walkable slopes, stays
    // where its fall meets a slope too steep to walk on (neither climbing it
    // nor sliding down it), rides on moving bodies and is pushed out of
    // targets that move into it. Moves
    // shorter than minDistance are not attempted. `elapsed` is the frame time
    // the move belongs to; the capsule has no velocity of its own, so it is not
    // needed for the sweeps. Returns CollisionFlags.
    unsigned movePlayer(const glm::vec3& displacement, float minDistance, float elapsed);
    glm::dvec3 playerPosition() const; // centre of the capsule
    void setPlayerPosition(const glm::dvec3& centre);

    // Debug view: the outlines of every collision shape as coloured line
    // segments, two vertices of x, y, z, r, g, b each, appended to `xyzrgb`.
    void debugLines(std::vector<float>& xyzrgb);

private:
    class World; // the library's objects
    std::unique_ptr<World> world;
};

} // namespace frosk::physicsengine
