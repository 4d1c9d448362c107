#include "physicsengine/bullet_parts.h"

#include <algorithm>

namespace frosk::physicsengine {

namespace {

// Sweeps stop this far short of the contact so that the next sweep does not
// start touching.
constexpr float backOff = 1e-3f;
constexpr float tiny = 1e-6f;

// The normal of a triangle of a mesh shape, in world space; false for other
// shapes.
bool triangleNormal(const btCollisionObject* object, int part, int triangle, btVector3& normal)
{
    const btCollisionShape* shape = object->getCollisionShape();
    if (shape->getShapeType() != TRIANGLE_MESH_SHAPE_PROXYTYPE || triangle < 0)
        return false;
    const btStridingMeshInterface* mesh = static_cast<const btBvhTriangleMeshShape*>(shape)->getMeshInterface();
    const unsigned char* vertices = nullptr;
    const unsigned char* indices = nullptr;
    int vertexCount = 0, vertexStride = 0, indexStride = 0, faceCount = 0;
    PHY_ScalarType vertexType, indexType;
    mesh->getLockedReadOnlyVertexIndexBase(&vertices, vertexCount, vertexType, vertexStride, &indices, indexStride,
                                           faceCount, indexType, part);
    bool found = false;
    if (vertexType == PHY_FLOAT && indexType == PHY_INTEGER && triangle < faceCount) {
        const int* corner = reinterpret_cast<const int*>(indices + triangle * indexStride);
        btVector3 p[3];
        for (int i = 0; i < 3; ++i) {
            const float* v = reinterpret_cast<const float*>(vertices + corner[i] * vertexStride);
            p[i].setValue(v[0], v[1], v[2]);
        }
        normal = object->getWorldTransform().getBasis() * (p[1] - p[0]).cross(p[2] - p[0]);
        found = normal.length2() > 0.0f;
        if (found)
            normal.normalize();
    }
    mesh->unLockReadOnlyVertexBase(part);
    return found;
}

// Closest hit of a capsule sweep against everything that responds to
// contacts except the capsule itself. Surfaces the capsule moves away from do
// not stop it, so a sweep that starts touching a wall can leave it.
class SweepCallback : public btCollisionWorld::ClosestConvexResultCallback {
public:
    SweepCallback(const btCollisionObject* self, const btVector3& from, const btVector3& to)
        : ClosestConvexResultCallback(from, to), self(self)
    {
        m_collisionFilterGroup = filterBitOf(groupPlayer);
        m_collisionFilterMask = allFilterBits;
    }

    bool needsCollision(btBroadphaseProxy* proxy) const override
    {
        const auto* object = static_cast<const btCollisionObject*>(proxy->m_clientObject);
        if (object == self || !object->hasContactResponse())
            return false;
        return ClosestConvexResultCallback::needsCollision(proxy);
    }

    btScalar addSingleResult(btCollisionWorld::LocalConvexResult& result, bool normalInWorldSpace) override
    {
        const btVector3 normal = normalInWorldSpace
            ? result.m_hitNormalLocal
            : result.m_hitCollisionObject->getWorldTransform().getBasis() * result.m_hitNormalLocal;
        if (normal.dot(m_convexToWorld - m_convexFromWorld) >= 0.0f)
            return m_closestHitFraction;
        hasFace = result.m_localShapeInfo
            && triangleNormal(result.m_hitCollisionObject, result.m_localShapeInfo->m_shapePart,
                              result.m_localShapeInfo->m_triangleIndex, faceNormal);
        // Seen from the capsule's side.
        if (hasFace && faceNormal.dot(normal) < 0.0f)
            faceNormal = -faceNormal;
        return ClosestConvexResultCallback::addSingleResult(result, normalInWorldSpace);
    }

    bool hasFace = false;
    btVector3 faceNormal{0.0f, 1.0f, 0.0f};

private:
    const btCollisionObject* self;
};

// The deepest overlap of the capsule with a body that does not move by
// itself (static scenery, targets): the push that separates them.
class PenetrationCallback : public btCollisionWorld::ContactResultCallback {
public:
    explicit PenetrationCallback(const btCollisionObject* self) : self(self)
    {
        m_collisionFilterGroup = filterBitOf(groupPlayer);
        m_collisionFilterMask = allFilterBits;
    }

    bool needsCollision(btBroadphaseProxy* proxy) const override
    {
        const auto* object = static_cast<const btCollisionObject*>(proxy->m_clientObject);
        if (object == self || !object->hasContactResponse() || !object->isStaticOrKinematicObject())
            return false;
        return ContactResultCallback::needsCollision(proxy);
    }

    btScalar addSingleResult(btManifoldPoint& point, const btCollisionObjectWrapper* wrapper0, int, int,
                             const btCollisionObjectWrapper*, int, int) override
    {
        const float depth = -point.getDistance();
        if (depth <= deepest)
            return 0.0f;
        deepest = depth;
        // The normal points from the second object towards the first.
        direction = wrapper0->getCollisionObject() == self ? point.m_normalWorldOnB : -point.m_normalWorldOnB;
        return 0.0f;
    }

    float deepest = 0.0f;
    btVector3 direction{0.0f, 0.0f, 0.0f};

private:
    const btCollisionObject* self;
};

} // namespace

struct PlayerCapsule::Hit {
    float fraction = 1.0f;
    btVector3 normal{0.0f, 1.0f, 0.0f}; // of the contact
    const btCollisionObject* object = nullptr;
    // Whether the capsule can stand there: on a walkable slope, or on the edge
    // or corner of a mesh (the top of a step), but not on the face of a slope
    // that is too steep.
    bool walkable = false;
};

PlayerCapsule::PlayerCapsule(btCollisionWorld& world)
    : world(world),
      shape(radius, height),
      sweepShape(radius + contactOffset, height),
      position(0.0f, 3.0f, 0.0f)
{
    object.setCollisionShape(&shape);
    object.setCollisionFlags(object.getCollisionFlags() | btCollisionObject::CF_KINEMATIC_OBJECT);
    object.setActivationState(DISABLE_DEACTIVATION);
    object.setUserIndex(static_cast<int>(groupPlayer));
    object.setWorldTransform(btTransform(btQuaternion::getIdentity(), position));
    world.addCollisionObject(&object, filterBitOf(groupPlayer), allFilterBits);
}

PlayerCapsule::~PlayerCapsule()
{
    world.removeCollisionObject(&object);
}

void PlayerCapsule::place(const btVector3& centre)
{
    position = centre;
    object.setWorldTransform(btTransform(btQuaternion::getIdentity(), position));
    world.updateSingleAabb(&object);
}

void PlayerCapsule::setCentre(const btVector3& centre)
{
    ground = nullptr;
    place(centre);
}

void PlayerCapsule::forget(const btCollisionObject* leaving)
{
    if (ground == leaving)
        ground = nullptr;
}

bool PlayerCapsule::sweep(const btVector3& from, const btVector3& to, Hit& hit) const
{
    if ((to - from).length2() < tiny * tiny)
        return false;
    SweepCallback callback(&object, from, to);
    world.convexSweepTest(&sweepShape, btTransform(btQuaternion::getIdentity(), from),
                          btTransform(btQuaternion::getIdentity(), to), callback, 0.0f);
    if (!callback.hasHit())
        return false;
    hit.fraction = callback.m_closestHitFraction;
    hit.normal = callback.m_hitNormalWorld.safeNormalize();
    hit.object = callback.m_hitCollisionObject;
    const bool onEdge = callback.hasFace && callback.faceNormal.dot(hit.normal) < 0.999f;
    hit.walkable = hit.normal.y() >= slopeLimit
        || (callback.hasFace && (callback.faceNormal.y() >= slopeLimit || onEdge));
    return true;
}

bool PlayerCapsule::advance(btVector3& at, const btVector3& motion, float minDistance, Hit& hit) const
{
    const float length = motion.length();
    if (length < std::max(minDistance, tiny))
        return false;
    if (!sweep(at, at + motion, hit)) {
        at += motion;
        return false;
    }
    at += motion * (std::max(0.0f, length * hit.fraction - backOff) / length);
    return true;
}

// Collide and slide: move as far as possible, then go on along the surface
// that was hit, up to a few times. With steepIsWall, surfaces too steep to
// walk on count as vertical walls, so sliding along them never gains height.
btVector3 PlayerCapsule::slide(btVector3 from, btVector3 motion, float minDistance, bool steepIsWall,
                               bool& touched, Hit& last) const
{
    const btVector3 intended = motion;
    btVector3 planes[3];
    int planeCount = 0;
    for (int iteration = 0; iteration < 4; ++iteration) {
        Hit hit;
        if (!advance(from, motion, minDistance, hit))
            break;
        touched = true;
        last = hit;

        btVector3 normal = hit.normal;
        if (steepIsWall && normal.y() < slopeLimit) {
            normal.setY(0.0f);
            if (normal.length2() < tiny)
                break;
            normal.normalize();
        }
        btVector3 rest = motion * (1.0f - hit.fraction);
        rest -= normal * rest.dot(normal);
        // In a crease of two surfaces, follow the edge between them.
        for (int i = 0; i < std::min(planeCount, 3); ++i) {
            if (rest.dot(planes[i]) >= 0.0f)
                continue;
            btVector3 edge = planes[i].cross(normal);
            if (edge.length2() < tiny) {
                rest.setZero();
                break;
            }
            edge.normalize();
            rest = edge * edge.dot(rest);
        }
        if (rest.dot(intended) <= 0.0f)
            break;
        planes[planeCount++ % 3] = normal;
        motion = rest;
    }
    return from;
}

// Standing on a body that moves (a target): move along with it.
void PlayerCapsule::rideGround()
{
    if (!ground)
        return;
    const btTransform now = ground->getWorldTransform();
    if (ground->isKinematicObject()) {
        const btVector3 carried = now * (groundPose.inverse() * position);
        if ((carried - position).length2() > 0.0f)
            place(carried);
    }
    groundPose = now;
}

// Scenery or a target that has moved into the capsule pushes it out.
void PlayerCapsule::recoverFromPenetration()
{
    for (int iteration = 0; iteration < 4; ++iteration) {
        PenetrationCallback callback(&object);
        world.contactTest(const_cast<btCollisionObject*>(&object), callback);
        if (callback.deepest <= 0.0f)
            break;
        place(position + callback.direction * (callback.deepest + 0.5f * contactOffset));
    }
}

unsigned PlayerCapsule::move(const btVector3& displacement, float minDistance)
{
    rideGround();
    recoverFromPenetration();

    const btVector3 start = position;
    const btVector3 side(displacement.x(), 0.0f, displacement.z());
    const float up = std::max(displacement.y(), 0.0f);
    const float down = std::max(-displacement.y(), 0.0f);
    const bool walking = side.length2() > minDistance * minDistance && side.length2() > tiny * tiny;

    unsigned flags = 0;
    bool landedOnGround = false;
    Hit landing;
    auto attempt = [&](float stepUp) {
        flags = 0;
        btVector3 at = start;

        // Up: the upward part of the move plus the step offset.
        float climbed = up + stepUp;
        Hit hit;
        if (climbed > 0.0f && sweep(at, at + btVector3(0.0f, climbed, 0.0f), hit)) {
            const float free = std::max(0.0f, climbed * hit.fraction - backOff);
            if (free < up)
                flags |= collisionUp;
            climbed = free;
        }
        at.setY(at.y() + climbed);

        // Sideways.
        bool touched = false;
        Hit wall;
        at = slide(at, side, minDistance, true, touched, wall);
        if (touched)
            flags |= collisionSides;

        // Down: the downward part of the move plus what the step lifted. The
        // fall ends on whatever it meets: a face too steep to stand on is no
        // ground to walk or ride on, but gravity does not drag the capsule
        // down it either; only walking away from it does.
        const float fall = down + std::max(0.0f, climbed - up);
        landing = Hit();
        const bool landed = advance(at, btVector3(0.0f, -fall, 0.0f), minDistance, landing);
        landedOnGround = landed && landing.walkable;
        if (landed)
            flags |= collisionDown;
        return std::make_pair(at, fall > 0.0f);
    };

    auto [end, wentDown] = attempt(walking ? stepOffset : 0.0f);
    // A step may lift the capsule only onto something it can stand on.
    if (walking && end.y() > start.y() + backOff && (flags & collisionDown) && !landedOnGround)
        std::tie(end, wentDown) = attempt(0.0f);

    place(end);
    if (wentDown) {
        ground = landedOnGround ? landing.object : nullptr;
        if (ground)
            groundPose = ground->getWorldTransform();
    }
    return flags;
}

} // namespace frosk::physicsengine
