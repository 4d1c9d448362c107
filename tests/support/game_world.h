#pragma once

#include "controls/input.h"
#include "support/gl_context.h"

#include <glm/glm.hpp>

#include <cstdint>
#include <vector>

namespace frosk::physicsengine {
class Body;
}

// The whole game started as the program starts it, on the test window, with
// the player's input scripted frame by frame.
class GameWorld : public testsupport::GlTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // One frame: update, and the frame drawn when `draw` is set.
    void frame(double dt = 1.0 / 60.0, bool draw = false);
    void frames(int count, double dt = 1.0 / 60.0);
    // A flat square of ground at height `y`, 80 units across.
    frosk::physicsengine::Body* addGround(float y);
    // The capsule's centre comes to rest on what lies below it.
    void settle();

    frosk::controls::ScriptedInput input;
};

// The game's scene pass picture of an 800x600 window, bottom-up RGBA rows.
std::vector<unsigned char> scenePicture();
