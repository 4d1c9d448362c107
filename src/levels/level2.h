#pragma once

#include "levels/level.h"

#include <array>
#include <memory>

namespace frosk {
class Sound;
namespace scene {
class Heaven;
class Snowman;
class Terrain;
} // namespace scene
} // namespace frosk

namespace frosk::levels {

// The winter wood of the even levels: ten targets, a family of three swaying
// snowmen in the way, and a jingle once the level stands.
class Level2 : public Level {
public:
    explicit Level2(const LevelResources& resources);
    ~Level2() override;

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
    std::unique_ptr<scene::Snowman> man;
    std::unique_ptr<scene::Snowman> child;
    std::unique_ptr<scene::Snowman> woman;
    std::unique_ptr<scene::Heaven> sky;
    std::unique_ptr<Sound> sound;

private:
    // Man, child, woman: the order every pass takes them in.
    std::array<scene::Snowman*, 3> snowmen() const;
};

} // namespace frosk::levels
