#include "physicsengine/bullet_parts.h"

#include "common/globals.h"

#include <glm/gtc/type_ptr.hpp>

namespace frosk::physicsengine {

namespace {

const btCollisionObject* objectOf(const btBroadphaseProxy* proxy)
{
    return static_cast<const btCollisionObject*>(proxy->m_clientObject);
}

bool isCakeAndTarget(std::uint32_t a, std::uint32_t b)
{
    return (a == groupCake && b == groupTarget) || (a == groupTarget && b == groupCake);
}

// The step whose contact starts are being logged; the library's hook is a
// plain function.
std::vector<std::pair<Body*, Body*>>* loggedPairs = nullptr;

void contactStarted(btPersistentManifold* const& manifold)
{
    Body* a = bodyOf(manifold->getBody0());
    Body* b = bodyOf(manifold->getBody1());
    if (loggedPairs && a && b && isCakeAndTarget(a->group, b->group))
        loggedPairs->emplace_back(a, b);
}

btScalar averageFriction(const btCollisionObject* a, const btCollisionObject* b)
{
    return 0.5f * (a->getFriction() + b->getFriction());
}

btScalar averageRestitution(const btCollisionObject* a, const btCollisionObject* b)
{
    return 0.5f * (a->getRestitution() + b->getRestitution());
}

} // namespace

bool CollisionFilter::needBroadphaseCollision(btBroadphaseProxy* proxy0, btBroadphaseProxy* proxy1) const
{
    const btCollisionObject* a = objectOf(proxy0);
    const btCollisionObject* b = objectOf(proxy1);
    if (groupOf(a) == groupPlayer || groupOf(b) == groupPlayer)
        return false;
    if (a->isStaticOrKinematicObject() && b->isStaticOrKinematicObject())
        return false;
    return (proxy0->m_collisionFilterGroup & proxy1->m_collisionFilterMask) != 0
        && (proxy1->m_collisionFilterGroup & proxy0->m_collisionFilterMask) != 0;
}

btBroadphasePair* PairCreationRecorder::addOverlappingPair(btBroadphaseProxy* proxy0, btBroadphaseProxy* proxy1)
{
    const btCollisionObject* a = objectOf(proxy0);
    const btCollisionObject* b = objectOf(proxy1);
    if (groupOf(a) == groupCake && groupOf(b) == groupTarget)
        touchedCakeIds.push_back(static_cast<std::uint32_t>(a->getUserIndex2()));
    else if (groupOf(a) == groupTarget && groupOf(b) == groupCake)
        touchedCakeIds.push_back(static_cast<std::uint32_t>(b->getUserIndex2()));
    return nullptr;
}

ContactStartLog::ContactStartLog(std::vector<std::pair<Body*, Body*>>& pairs)
{
    loggedPairs = &pairs;
    gContactStartedCallback = contactStarted;
}

ContactStartLog::~ContactStartLog()
{
    gContactStartedCallback = nullptr;
    loggedPairs = nullptr;
}

void installMaterialRules()
{
    gCalculateCombinedFrictionCallback = averageFriction;
    gCalculateCombinedRestitutionCallback = averageRestitution;
}

int filterBitOf(std::uint32_t group)
{
    switch (group) {
    case groupCake: return 1 << 1;
    case groupTarget: return 1 << 2;
    case groupStatic: return 1 << 3;
    case groupPlayer: return 1 << 4;
    default: return 1 << 0;
    }
}

btTransform transformOf(const glm::mat4& matrix)
{
    btMatrix3x3 basis;
    for (int column = 0; column < 3; ++column) {
        glm::vec3 axis(matrix[column]);
        const float length = glm::length(axis);
        axis = length > 0.0f ? axis / length : glm::vec3(0.0f);
        for (int row = 0; row < 3; ++row)
            basis[row][column] = axis[row];
    }
    btQuaternion rotation;
    basis.getRotation(rotation);
    if (!(rotation.length2() > 0.0f))
        rotation = btQuaternion::getIdentity();
    return btTransform(rotation.normalized(), btVector3(matrix[3][0], matrix[3][1], matrix[3][2]));
}

glm::mat4 matrixOf(const btTransform& transform)
{
    glm::mat4 matrix;
    transform.getOpenGLMatrix(glm::value_ptr(matrix));
    return matrix;
}

} // namespace frosk::physicsengine
