#pragma once

#include "levels/level.h"

#include <memory>

namespace frosk {
class Sound;
namespace scene {
class Heaven;
class Terrain;
} // namespace scene
} // namespace frosk

namespace frosk::levels {

// The summer forest of the odd levels: ten targets, looping music.
class Level1 : public Level {
public:
    explicit Level1(const LevelResources& resources);
    ~Level1() override;

    void update(double deltaTime) override;
    void draw() override;
    void drawSecondary() override;
    void drawDepth() override;
    void drawShadowed() override;
    void drawToon() override;
    void setTextureFilter(GLint minFilter) override;
    void drawStaticDepth() override;
    void drawMovingDepth() override;

    std::unique_ptr<scene::Terrain> terrain;
    std::unique_ptr<scene::Target> targetTemplate;
    std::unique_ptr<scene::Heaven> sky;
    std::unique_ptr<Sound> sound;
};

} // namespace frosk::levels
