#pragma once

// The physics world's opaque handles, for headers that only pass them on.

namespace frosk::physicsengine {

// The one rigid-body world.
class Physics;
// A rigid body in the world. Valid from its creation until it is removed.
class Body;
// A collision shape; bodies that use it keep it alive.
class Shape;
// Triangle data prepared for collision; shapes made of it keep it alive.
class TriangleMesh;

} // namespace frosk::physicsengine
