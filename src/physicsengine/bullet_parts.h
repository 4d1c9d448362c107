#pragma once

// Inside the physics world: the library objects behind the opaque handles of
// physics.h and the helpers that Physics is built from. Only physicsengine/
// sources include this.

#include "physicsengine/physics.h"

#include <btBulletDynamicsCommon.h>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace frosk::physicsengine {

// Triangle data the library reads in place: it does not copy it, so the
// arrays live exactly as long as the vertex array that points into them.
class TriangleMesh {
public:
    TriangleMesh(std::vector<float> points, std::vector<int> indices);
    TriangleMesh(const TriangleMesh&) = delete;
    TriangleMesh& operator=(const TriangleMesh&) = delete;

    btStridingMeshInterface& interface() { return vertexArray; }
    int triangleCount() const { return static_cast<int>(indices.size() / 3); }

private:
    std::vector<float> points; // x, y, z per vertex
    std::vector<int> indices;  // three per triangle
    btTriangleIndexVertexArray vertexArray;
};

class Shape {
public:
    Shape(std::unique_ptr<btCollisionShape> collisionShape, std::shared_ptr<TriangleMesh> mesh)
        : mesh(std::move(mesh)), collisionShape(std::move(collisionShape)) {}

    btCollisionShape* get() const { return collisionShape.get(); }

private:
    // Declared first so that it outlives the shape that reads it.
    std::shared_ptr<TriangleMesh> mesh;
    std::unique_ptr<btCollisionShape> collisionShape;
};

class Body {
public:
    Body(std::shared_ptr<Shape> shape, std::uint32_t group, std::uint32_t cakeId);

    std::shared_ptr<Shape> shape;
    std::unique_ptr<btRigidBody> rigidBody;
    std::uint32_t group;
    std::uint32_t cakeId;
    scene::Target* target = nullptr;
    scene::Cake* cake = nullptr;
    // Sleep reports: whether the last report said it sleeps.
    bool reportsSleep = false;
    bool reportedAsleep = false;
};

// The game's group number rides in every collision object's user index, the
// cake id in user index 2, the Body (if any) in the user pointer.
inline std::uint32_t groupOf(const btCollisionObject* object)
{
    return static_cast<std::uint32_t>(object->getUserIndex());
}
inline Body* bodyOf(const btCollisionObject* object)
{
    return static_cast<Body*>(object->getUserPointer());
}

// Decides at pair creation which pairs the simulation looks at: none with the
// capsule, none between two bodies that cannot move by themselves, all others.
// The library asks it again and again for existing pairs and for continuous
// collision sweeps, so it has no side effects.
class CollisionFilter : public btOverlapFilterCallback {
public:
    bool needBroadphaseCollision(btBroadphaseProxy* proxy0, btBroadphaseProxy* proxy1) const override;
};

// Called once when the pair cache really inserts a pair: records the id of a
// cake whose bounds began to overlap a target's.
class PairCreationRecorder : public btOverlappingPairCallback {
public:
    btBroadphasePair* addOverlappingPair(btBroadphaseProxy* proxy0, btBroadphaseProxy* proxy1) override;
    void* removeOverlappingPair(btBroadphaseProxy*, btBroadphaseProxy*, btDispatcher*) override { return nullptr; }
    void removeOverlappingPairsContainingProxy(btBroadphaseProxy*, btDispatcher*) override {}
};

// Collects the cake-target pairs whose contact started during one step; the
// library announces a contact start from inside its narrow phase, where no
// game code may run.
class ContactStartLog {
public:
    explicit ContactStartLog(std::vector<std::pair<Body*, Body*>>& pairs);
    ~ContactStartLog();
    ContactStartLog(const ContactStartLog&) = delete;
    ContactStartLog& operator=(const ContactStartLog&) = delete;
};

// Installs the material rules shared by every world: friction and restitution
// of a contact are the averages of the two bodies' values.
void installMaterialRules();

// Collision filter bits of a group (the library's masks are bit sets).
int filterBitOf(std::uint32_t group);
constexpr int allFilterBits = -1;

// Pose of a model matrix: its translation and the rotation of its upper 3x3,
// with any scale taken out.
btTransform transformOf(const glm::mat4& matrix);
glm::mat4 matrixOf(const btTransform& transform);

// The player's capsule: a collision object the simulation never pairs with
// anything, moved by sweeps of its own.
class PlayerCapsule {
public:
    static constexpr float height = 1.85f; // between the sphere centres
    static constexpr float radius = 0.3f;
    static constexpr float contactOffset = 0.01f;
    static constexpr float slopeLimit = 0.707f; // cosine of the steepest walkable slope
    static constexpr float stepOffset = 0.5f;

    explicit PlayerCapsule(btCollisionWorld& world);
    ~PlayerCapsule();
    PlayerCapsule(const PlayerCapsule&) = delete;
    PlayerCapsule& operator=(const PlayerCapsule&) = delete;

    unsigned move(const btVector3& displacement, float minDistance);
    const btVector3& centre() const { return position; }
    void setCentre(const btVector3& centre);
    // The body it stands on is leaving the world.
    void forget(const btCollisionObject* object);

private:
    struct Hit;
    bool sweep(const btVector3& from, const btVector3& to, Hit& hit) const;
    // Moves `at` along `motion` to just short of the first hit and reports it;
    // false when there was nothing to hit (`at` went the whole way) or the
    // motion is too short to sweep (`at` stays).
    bool advance(btVector3& at, const btVector3& motion, float minDistance, Hit& hit) const;
    btVector3 slide(btVector3 from, btVector3 motion, float minDistance, bool steepIsWall,
                    bool& touched, Hit& last) const;
    void rideGround();
    void recoverFromPenetration();
    void place(const btVector3& centre);

    btCollisionWorld& world;
    btCapsuleShape shape;
    btCapsuleShape sweepShape; // grown by the contact offset
    btCollisionObject object;
    btVector3 position;
    const btCollisionObject* ground = nullptr;
    btTransform groundPose;
};

// Gathers the debug drawing of the world as line segments.
class DebugLineCollector : public btIDebugDraw {
public:
    std::vector<float>* out = nullptr;

    void drawLine(const btVector3& from, const btVector3& to, const btVector3& color) override;
    void drawContactPoint(const btVector3&, const btVector3&, btScalar, int, const btVector3&) override {}
    void reportErrorWarning(const char* warning) override;
    void draw3dText(const btVector3&, const char*) override {}
    void setDebugMode(int mode) override { debugMode = mode; }
    int getDebugMode() const override { return debugMode; }

private:
    int debugMode = DBG_DrawWireframe;
};

} // namespace frosk::physicsengine
