#pragma once

#include "levels/level.h"
#include "scene/hand.h"

namespace bench {

// A level with nothing in it: every pass still runs, with its clears, its
// full-screen work and the swap, but no geometry is drawn.
class EmptyLevel : public frosk::levels::Level {
public:
    explicit EmptyLevel(const frosk::levels::LevelResources& resources) : Level(resources) {}

    void update(double) override {}
    void draw() override {}
    void drawSecondary() override {}
    void drawDepth() override {}
    void drawShadowed() override {}
    void drawToon() override {}
    void setTextureFilter(GLint) override {}
    void drawStaticDepth() override {}
    void drawMovingDepth() override {}
};

// The hand, moving as usual but drawn in no pass.
class HiddenHand : public frosk::scene::Hand {
public:
    using Hand::Hand;

    void draw() override {}
    void drawSecondary() override {}
    void drawSilhouette() override {}
    void drawToon() override {}
};

} // namespace bench
