#include "physicsengine/physics.h"

#include "common/console.h"
#include "physicsengine/bullet_parts.h"

#include <algorithm>
#include <iostream>
#include <new>
#include <unordered_map>
#include <unordered_set>

namespace frosk::physicsengine {

namespace {

constexpr float friction = 0.5f;
constexpr float restitution = 0.5f;

// Cakes fall asleep once they have moved slower than 0.1 units/s and turned
// slower than 0.1 rad/s for half a second, which reports a cake at rest on
// the ground within a second of its stop.
constexpr float cakeLinearSleepSpeed = 0.1f;
constexpr float cakeAngularSleepSpeed = 0.1f;
constexpr float secondsBeforeSleep = 0.5f;

// A cake is a box of 2 x 1 x 2 units and density 1.
const btVector3 cakeHalfExtents(1.0f, 0.5f, 1.0f);
constexpr float cakeMass = 4.0f;
// A cake that moves more than this in one step is swept against what lies in
// its way, with a sphere inside its box, so a fast throw cannot pass through
// a thin trunk or a target board.
constexpr float cakeCcdMotionThreshold = 0.25f;
constexpr float cakeCcdSweptSphereRadius = 0.4f;

// The library meets a body that moves further than its motion threshold in a
// step in two ways: a contact predicted before the solver runs, which it gives
// no restitution, so a fast cake landing steeply stops dead; and a clamp after
// the solver that halts the body where its swept sphere first touches
// something. The clamp alone keeps a cake from passing through a thin board or
// trunk, and it keeps the cake's speed for the contact of the next step, which
// bounces it with the restitution of the two materials like a slow landing.
class ClampedContinuousWorld : public btDiscreteDynamicsWorld {
public:
    using btDiscreteDynamicsWorld::btDiscreteDynamicsWorld;

protected:
    void createPredictiveContacts(btScalar /*timeStep*/) override { releasePredictiveContacts(); }
};

[[noreturn]] void failStartup(const char* message)
{
    std::cout << message << std::endl;
    fatalExit(1);
}

} // namespace

Body::Body(std::shared_ptr<Shape> shape, std::uint32_t group, std::uint32_t cakeId)
    : shape(std::move(shape)), group(group), cakeId(cakeId)
{
}

// The library's objects, in the order they are built and the reverse order
// they are destroyed.
class Physics::World {
public:
    btDefaultCollisionConfiguration configuration;
    btCollisionDispatcher dispatcher{&configuration};
    btDbvtBroadphase broadphase;
    btSequentialImpulseConstraintSolver solver;
    CollisionFilter filter;
    PairCreationRecorder recorder;
    std::unique_ptr<btDiscreteDynamicsWorld> dynamics;
    std::unique_ptr<PlayerCapsule> player;
    std::shared_ptr<Shape> cakeBox;
    DebugLineCollector debugDrawer;

    std::unordered_map<Body*, std::unique_ptr<Body>> bodies;
    std::vector<Body*> sleepWatched; // bodies with sleep reports, in creation order
    std::vector<std::pair<Body*, Body*>> startedContacts;
    SimulationEventCallback* events = nullptr;

    ~World();

    Body* live(const Body* body) const
    {
        auto found = bodies.find(const_cast<Body*>(body));
        return found == bodies.end() ? nullptr : found->first;
    }
    Body* add(std::unique_ptr<Body> body, btRigidBody::btRigidBodyConstructionInfo info);
    void deliverReports();
};

Physics::World::~World()
{
    player.reset();
    if (dynamics)
        for (auto& [handle, body] : bodies)
            dynamics->removeRigidBody(body->rigidBody.get());
    bodies.clear();
}

Body* Physics::World::add(std::unique_ptr<Body> body, btRigidBody::btRigidBodyConstructionInfo info)
{
    info.m_friction = friction;
    info.m_restitution = restitution;
    info.m_collisionShape = body->shape->get();
    body->rigidBody = std::make_unique<btRigidBody>(info);
    btRigidBody& rigid = *body->rigidBody;
    rigid.setUserPointer(body.get());
    rigid.setUserIndex(static_cast<int>(body->group));
    rigid.setUserIndex2(static_cast<int>(body->cakeId));
    return bodies.emplace(body.get(), std::move(body)).first->first;
}

Physics::Physics(Stage failAt)
{
    try {
        if (failAt == Stage::sdk)
            throw std::bad_alloc();
        world = std::make_unique<World>();
    } catch (const std::bad_alloc&) {
        failStartup("Error creating Bullet SDK object!");
    }

    try {
        if (failAt == Stage::scene)
            throw std::bad_alloc();
        World& w = *world;
        w.dynamics = std::make_unique<ClampedContinuousWorld>(&w.dispatcher, &w.broadphase, &w.solver,
                                                              &w.configuration);
        w.dynamics->setGravity(btVector3(0.0f, -9.8f, 0.0f));
        w.broadphase.getOverlappingPairCache()->setOverlapFilterCallback(&w.filter);
        w.broadphase.getOverlappingPairCache()->setInternalGhostPairCallback(&w.recorder);
        w.dynamics->setDebugDrawer(&w.debugDrawer);
        installMaterialRules();
        gDeactivationTime = secondsBeforeSleep;
    } catch (const std::bad_alloc&) {
        failStartup("Error creating Bullet Scene!");
    }

    // Preparing triangle meshes needs no library of its own here; prove that
    // it works on one triangle before the game relies on it.
    try {
        std::shared_ptr<Shape> probe;
        if (failAt != Stage::cooking)
            probe = createMeshShape(cookTriangleMesh({{0, 0, 0}, {1, 0, 0}, {0, 0, 1}}, {0, 1, 2}));
        if (!probe)
            failStartup("Cooking Library is not initialized");
    } catch (const std::bad_alloc&) {
        failStartup("Cooking Library is not initialized");
    }

    world->cakeBox = std::make_shared<Shape>(std::make_unique<btBoxShape>(cakeHalfExtents), nullptr);
    world->player = std::make_unique<PlayerCapsule>(*world->dynamics);
}

Physics::~Physics() = default;

void Physics::setSimulationEventCallback(SimulationEventCallback* callback)
{
    world->events = callback;
}

float Physics::elapsedTime(double dt)
{
    if (!(dt >= 0.0)) // a clock that went backwards, or no number at all
        return 0.0f;
    return dt > 0.1 ? 1.0f / 60.0f : static_cast<float>(dt);
}

void Physics::step(double dt)
{
    world->startedContacts.clear();
    {
        ContactStartLog log(world->startedContacts);
        // One step of exactly the elapsed time: no fixed substeps, so every
        // report belongs to the frame that caused it.
        world->dynamics->stepSimulation(elapsedTime(dt), 0);
    }
    world->deliverReports();
}

void Physics::World::deliverReports()
{
    // Contacts: each pair once, and only while both bodies are still here
    // (a receiver may take bodies out as it goes).
    std::vector<std::pair<Body*, Body*>> pairs;
    for (auto [a, b] : startedContacts) {
        const auto same = [a = a, b = b](const std::pair<Body*, Body*>& p) {
            return (p.first == a && p.second == b) || (p.first == b && p.second == a);
        };
        if (std::none_of(pairs.begin(), pairs.end(), same))
            pairs.emplace_back(a, b);
    }
    startedContacts.clear();
    for (auto [a, b] : pairs)
        if (events && live(a) && live(b))
            events->onContact(a, b);

    std::vector<Body*> woke;
    std::vector<Body*> slept;
    for (Body* body : sleepWatched) {
        const bool asleep = body->rigidBody->getActivationState() == ISLAND_SLEEPING;
        if (asleep != body->reportedAsleep)
            (asleep ? slept : woke).push_back(body);
        body->reportedAsleep = asleep;
    }
    if (events && !woke.empty())
        events->onWake(woke.data(), woke.size());
    slept.erase(std::remove_if(slept.begin(), slept.end(), [this](Body* b) { return !live(b); }), slept.end());
    if (events && !slept.empty())
        events->onSleep(slept.data(), slept.size());
}

Body* Physics::addStaticBody(std::shared_ptr<Shape> shape, const glm::mat4& pose, std::uint32_t group)
{
    if (!shape)
        return nullptr;
    auto body = std::make_unique<Body>(std::move(shape), group, 0);
    btRigidBody::btRigidBodyConstructionInfo info(0.0f, nullptr, nullptr);
    info.m_startWorldTransform = transformOf(pose);
    Body* handle = world->add(std::move(body), info);
    world->dynamics->addRigidBody(handle->rigidBody.get(), filterBitOf(group), allFilterBits);
    return handle;
}

Body* Physics::addTargetBody(std::shared_ptr<Shape> shape, const glm::mat4& pose, scene::Target* target)
{
    if (!shape)
        return nullptr;
    auto body = std::make_unique<Body>(std::move(shape), groupTarget, 0);
    body->target = target;
    btRigidBody::btRigidBodyConstructionInfo info(0.0f, nullptr, nullptr);
    info.m_startWorldTransform = transformOf(pose);
    Body* handle = world->add(std::move(body), info);
    btRigidBody& rigid = *handle->rigidBody;
    // Without the kinematic flag a body of no mass would be static and never
    // read its pose again.
    rigid.setCollisionFlags((rigid.getCollisionFlags() & ~btCollisionObject::CF_STATIC_OBJECT)
                            | btCollisionObject::CF_KINEMATIC_OBJECT);
    world->dynamics->addRigidBody(&rigid, filterBitOf(groupTarget), allFilterBits);
    return handle;
}

void Physics::setKinematicPose(Body* body, const glm::mat4& pose)
{
    if (!world->live(body) || !body->rigidBody->isKinematicObject())
        return;
    // The body stands at its new pose at once, bounds included, so that the
    // player's capsule, moved later in the same frame, meets it there. The
    // next step takes the body's velocity from the way it went since the step
    // before, and with it pushes and carries the cakes.
    btRigidBody& rigid = *body->rigidBody;
    rigid.setWorldTransform(transformOf(pose));
    world->dynamics->updateSingleAabb(&rigid);
    // A moved body wakes, and keeps awake whatever rests on it.
    rigid.activate(true);
}

Body* Physics::throwCake(const glm::vec3& position, const glm::vec3& velocity, std::uint32_t cakeId,
                         scene::Cake* cake)
{
    auto body = std::make_unique<Body>(world->cakeBox, groupCake, cakeId);
    body->cake = cake;
    body->reportsSleep = true;
    btVector3 inertia;
    world->cakeBox->get()->calculateLocalInertia(cakeMass, inertia);
    btRigidBody::btRigidBodyConstructionInfo info(cakeMass, nullptr, nullptr, inertia);
    info.m_startWorldTransform = btTransform(btQuaternion::getIdentity(),
                                             btVector3(position.x, position.y, position.z));
    info.m_linearSleepingThreshold = cakeLinearSleepSpeed;
    info.m_angularSleepingThreshold = cakeAngularSleepSpeed;
    Body* handle = world->add(std::move(body), info);
    btRigidBody& rigid = *handle->rigidBody;
    rigid.setCcdMotionThreshold(cakeCcdMotionThreshold);
    rigid.setCcdSweptSphereRadius(cakeCcdSweptSphereRadius);
    rigid.setLinearVelocity(btVector3(velocity.x, velocity.y, velocity.z));
    world->dynamics->addRigidBody(&rigid, filterBitOf(groupCake), allFilterBits);
    rigid.activate(true);
    world->sleepWatched.push_back(handle);
    return handle;
}

void Physics::setCake(Body* body, scene::Cake* cake)
{
    if (Body* b = world->live(body))
        b->cake = cake;
}

scene::Cake* Physics::cakeOf(const Body* body) const
{
    const Body* b = world->live(body);
    return b ? b->cake : nullptr;
}

scene::Target* Physics::targetOf(const Body* body) const
{
    const Body* b = world->live(body);
    return b ? b->target : nullptr;
}

void Physics::removeBodies(std::vector<Body*>& list)
{
    std::unordered_set<Body*> leaving;
    for (Body* body : list)
        if (world->live(body))
            leaving.insert(body);
    list.clear();
    if (leaving.empty())
        return;

    // Wake whatever shares a pair with a leaving body, so that nothing stays
    // asleep in the air where the body was.
    btBroadphasePairArray& pairs = world->broadphase.getOverlappingPairCache()->getOverlappingPairArray();
    for (int i = 0; i < pairs.size(); ++i) {
        auto* a = static_cast<btCollisionObject*>(pairs[i].m_pProxy0->m_clientObject);
        auto* b = static_cast<btCollisionObject*>(pairs[i].m_pProxy1->m_clientObject);
        const bool aLeaves = bodyOf(a) && leaving.count(bodyOf(a));
        const bool bLeaves = bodyOf(b) && leaving.count(bodyOf(b));
        if (aLeaves && !bLeaves)
            b->activate(true);
        else if (bLeaves && !aLeaves)
            a->activate(true);
    }

    for (Body* body : leaving) {
        world->dynamics->removeRigidBody(body->rigidBody.get());
        world->player->forget(body->rigidBody.get());
    }
    auto& watched = world->sleepWatched;
    watched.erase(std::remove_if(watched.begin(), watched.end(), [&](Body* b) { return leaving.count(b) > 0; }),
                  watched.end());
    for (Body* body : leaving)
        world->bodies.erase(body);
}

void Physics::removeBody(Body* body)
{
    std::vector<Body*> one{body};
    removeBodies(one);
}

std::size_t Physics::bodyCount() const
{
    return world->bodies.size();
}

std::uint32_t Physics::groupOf(const Body* body) const
{
    const Body* b = world->live(body);
    return b ? b->group : groupNone;
}

std::uint32_t Physics::cakeIdOf(const Body* body) const
{
    const Body* b = world->live(body);
    return b ? b->cakeId : 0;
}

glm::mat4 Physics::pose(const Body* body) const
{
    const Body* b = world->live(body);
    if (b == nullptr)
        return glm::mat4(1.0f);
    return matrixOf(b->rigidBody->getWorldTransform());
}

glm::vec3 Physics::position(const Body* body) const
{
    return glm::vec3(pose(body)[3]);
}

glm::vec3 Physics::linearVelocity(const Body* body) const
{
    const Body* b = world->live(body);
    if (!b)
        return glm::vec3(0.0f);
    const btVector3& v = b->rigidBody->getLinearVelocity();
    return {v.x(), v.y(), v.z()};
}

bool Physics::isSleeping(const Body* body) const
{
    const Body* b = world->live(body);
    return b && b->rigidBody->getActivationState() == ISLAND_SLEEPING;
}

unsigned Physics::movePlayer(const glm::vec3& displacement, float minDistance, float /*elapsed*/)
{
    return world->player->move(btVector3(displacement.x, displacement.y, displacement.z), minDistance);
}

glm::dvec3 Physics::playerPosition() const
{
    const btVector3& c = world->player->centre();
    return {c.x(), c.y(), c.z()};
}

void Physics::setPlayerPosition(const glm::dvec3& centre)
{
    world->player->setCentre(btVector3(static_cast<float>(centre.x), static_cast<float>(centre.y),
                                       static_cast<float>(centre.z)));
}

void Physics::debugLines(std::vector<float>& xyzrgb)
{
    world->debugDrawer.out = &xyzrgb;
    world->dynamics->debugDrawWorld();
    world->debugDrawer.out = nullptr;
}

} // namespace frosk::physicsengine
