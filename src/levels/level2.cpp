#include "levels/level2.h"

#include "datastructures/tree_node.h"
#include "levels/target_placement.h"
#include "effects/shadow_mapping.h"
#include "physicsengine/physics.h"
#include "scene/heaven.h"
#include "scene/snowman.h"
#include "scene/target.h"
#include "scene/terrain.h"
#include "shader/shader.h"
#include "sound/sound.h"

#include <glm/gtc/matrix_transform.hpp>

namespace frosk::levels {

namespace {

const std::vector<TargetPlacement> placements = {
    {{11.0f, 3.0f, -6.0f}, -150.0f, {0, 0, 0}, 0.0f, 0.0f},
    {{9.0f, 3.5f, 16.0f}, 115.0f, {0, 0, 0}, 0.0f, 0.0f},
    {{21.0f, 5.4f, 32.5f}, 125.0f, {0, 0, 0}, 0.0f, 0.0f},
    {{-10.5f, 2.5f, 9.0f}, 35.0f, {0, 0, 1}, 2.0f, 2.0f},
    {{-7.0f, 3.9f, -13.0f}, -45.0f, {0, 0, 1}, 2.0f, 6.0f},
    {{36.5f, 6.0f, 13.0f}, 160.0f, {0, 1, 0}, 4.0f, 5.0f},
    {{15.0f, 7.0f, -14.0f}, -120.0f, {0, 0, 1}, 3.0f, 7.0f},
    {{8.0f, 8.2f, -27.0f}, -110.0f, {0, 0, 0}, 0.0f, 0.0f},
    {{-26.0f, 3.3f, 4.0f}, 20.0f, {0, 1, 0}, 3.0f, 5.0f},
    {{18.0f, 1.4f, 8.0f}, 155.0f, {1, 0, 0}, 3.0f, 4.0f},
};

constexpr int jingleSlot = 4;
constexpr int womanKind = 1;
constexpr int childKind = 2;

} // namespace

Level2::Level2(const LevelResources& resources) : Level(resources)
{
    physicsengine::Physics* physics = resources.physics;
    terrain = std::make_unique<scene::Terrain>(physics, toonTextureShader, bloomCoverShader, shadowMapping,
                                               toonShading, 2,
                                               glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, -2.0f, 0.0f)));
    targetTemplate = std::make_unique<scene::Target>(shadowMaterialShader, bloomShader, shadowMapping, toonShading,
                                                     glm::mat4(1.0f));
    targets = placeTargets(*physics, *targetTemplate, placements);
    man = std::make_unique<scene::Snowman>(physics, toonMaterialShader, bloomCoverShader, shadowMapping, toonShading,
                                           placementMatrix({-1.3f, -1.95f, 9.0f}, 125.0f));
    child = std::make_unique<scene::Snowman>(physics, man.get(), glm::vec3(0.5f), childKind,
                                                   placementMatrix({0.6f, -1.95f, 8.0f}, 140.0f));
    woman = std::make_unique<scene::Snowman>(physics, man.get(), glm::vec3(0.9f), womanKind,
                                                   placementMatrix({-3.5f, -1.95f, 8.2f}, 100.0f));
    sky = std::make_unique<scene::Heaven>(skyShader, glm::mat4(1.0f));
    sound = std::make_unique<Sound>();
    sound->load(jingleSlot);
    sound->play(jingleSlot);
}

Level2::~Level2()
{
    terrain.reset();
    targetTemplate.reset();
    deleteTargets(targets);
    man.reset();
    child.reset();
    woman.reset();
    sky.reset();
    sound.reset();
}

std::array<scene::Snowman*, 3> Level2::snowmen() const
{
    return {man.get(), child.get(), woman.get()};
}

void Level2::update(double deltaTime)
{
    terrain->update(deltaTime);
    for (scene::Target* target : targets)
        target->update(deltaTime);
    man->update(deltaTime);
    child->updateSway(deltaTime);
    woman->updateSway(deltaTime);
    sky->update(deltaTime);
}

void Level2::draw()
{
    glUseProgram(skyShader->programHandle);
    sky->draw();
    glUseProgram(textureShader->programHandle);
    terrain->draw();
    glUseProgram(basicShader->programHandle);
    for (scene::Target* target : targets)
        target->draw();
    for (scene::Snowman* snowman : snowmen())
        snowman->draw();
}

void Level2::drawSecondary()
{
    for (scene::Target* target : targets)
        target->drawSecondary();
    for (scene::Snowman* snowman : snowmen())
        snowman->drawSecondary();
    terrain->drawSecondary();
}

void Level2::drawDepth()
{
    terrain->drawDepth();
    for (scene::Target* target : targets)
        target->drawDepth();
    for (scene::Snowman* snowman : snowmen())
        snowman->drawDepth();
}

void Level2::drawStaticDepth()
{
    terrain->drawDepth();
    for (scene::Target* target : targets)
        if (target->standsStill())
            target->drawDepth();
}

// The snowmen sway, so they are drawn anew each frame.
void Level2::drawMovingDepth()
{
    for (scene::Target* target : targets)
        if (!target->standsStill())
            shadowMapping->drawMovingCaster(*target);
    for (scene::Snowman* snowman : snowmen())
        shadowMapping->drawMovingCaster(*snowman);
}

void Level2::drawShadowed()
{
    terrain->drawShadowed();
    for (scene::Target* target : targets)
        target->drawShadowed();
    for (scene::Snowman* snowman : snowmen())
        snowman->drawShadowed();
    glUseProgram(skyShader->programHandle);
    sky->draw();
}

void Level2::drawToon()
{
    terrain->drawSilhouette();
    terrain->drawToon();
    for (scene::Target* target : targets)
        target->drawSilhouette();
    for (scene::Target* target : targets)
        target->drawShadowed();
    for (scene::Snowman* snowman : snowmen()) {
        snowman->drawSilhouette();
        snowman->drawToon();
    }
    glUseProgram(skyShader->programHandle);
    sky->draw();
}

void Level2::setTextureFilter(GLint minFilter)
{
    terrain->model->setTextureFilter(minFilter);
    sky->model->setTextureFilter(minFilter);
}

} // namespace frosk::levels
