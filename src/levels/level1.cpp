#include "levels/level1.h"

#include "datastructures/tree_node.h"
#include "levels/target_placement.h"
#include "effects/shadow_mapping.h"
#include "physicsengine/physics.h"
#include "scene/heaven.h"
#include "scene/target.h"
#include "scene/terrain.h"
#include "shader/shader.h"
#include "sound/sound.h"

#include <glm/gtc/matrix_transform.hpp>

namespace frosk::levels {

namespace {

const std::vector<TargetPlacement> placements = {
    {{-9.0f, -0.05f, -36.0f}, -60.0f, {0, 0, 0}, 0.0f, 0.0f},
    {{3.0f, -1.0f, 12.0f}, 90.0f, {0, 0, 0}, 0.0f, 0.0f},
    {{-20.0f, 4.35f, 22.0f}, 50.0f, {0, 0, 0}, 0.0f, 0.0f},
    {{25.0f, 8.3f, 19.0f}, 135.0f, {0, 0, 0}, 0.0f, 0.0f},
    {{18.0f, -1.0f, 0.0f}, -180.0f, {1, 0, 0}, 3.0f, 8.0f},
    {{-22.0f, 1.5f, 4.0f}, 20.0f, {0, 1, 0}, 2.0f, 4.0f},
    {{26.0f, 1.0f, -5.0f}, -180.0f, {0, 1, 0}, 4.0f, 6.0f},
    {{-10.0f, 4.7f, -14.0f}, -45.0f, {0, 0, 1}, 2.0f, 7.0f},
    {{19.0f, 1.5f, -18.0f}, -135.0f, {0, 0, 1}, 2.5f, 7.0f},
    {{-12.0f, -1.0f, 7.0f}, 35.0f, {0, 0, 1}, 2.0f, 2.0f},
};

constexpr int musicSlot = 0;

} // namespace

Level1::Level1(const LevelResources& resources) : Level(resources)
{
    terrain = std::make_unique<scene::Terrain>(resources.physics, toonTextureShader, bloomCoverShader, shadowMapping,
                                               toonShading, 1,
                                               glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, -2.0f, 0.0f)));
    targetTemplate = std::make_unique<scene::Target>(shadowMaterialShader, bloomShader, shadowMapping, toonShading,
                                                     glm::mat4(1.0f));
    targets = placeTargets(*resources.physics, *targetTemplate, placements);
    sky = std::make_unique<scene::Heaven>(skyShader, glm::mat4(1.0f));
    sound = std::make_unique<Sound>();
    sound->load(musicSlot);
    sound->play(musicSlot);
}

Level1::~Level1()
{
    terrain.reset();
    targetTemplate.reset();
    deleteTargets(targets);
    sky.reset();
    sound.reset();
}

void Level1::update(double deltaTime)
{
    terrain->update(deltaTime);
    for (scene::Target* target : targets)
        target->update(deltaTime);
    sky->update(deltaTime);
}

void Level1::draw()
{
    glUseProgram(skyShader->programHandle);
    sky->draw();
    glUseProgram(textureShader->programHandle);
    terrain->draw();
    glUseProgram(basicShader->programHandle);
    for (scene::Target* target : targets)
        target->draw();
}

void Level1::drawSecondary()
{
    for (scene::Target* target : targets)
        target->drawSecondary();
    terrain->drawSecondary();
}

void Level1::drawDepth()
{
    terrain->drawDepth();
    for (scene::Target* target : targets)
        target->drawDepth();
}

void Level1::drawStaticDepth()
{
    terrain->drawDepth();
    for (scene::Target* target : targets)
        if (target->standsStill())
            target->drawDepth();
}

void Level1::drawMovingDepth()
{
    for (scene::Target* target : targets)
        if (!target->standsStill())
            shadowMapping->drawMovingCaster(*target);
}

void Level1::drawShadowed()
{
    terrain->drawShadowed();
    for (scene::Target* target : targets)
        target->drawShadowed();
    glUseProgram(skyShader->programHandle);
    sky->draw();
}

void Level1::drawToon()
{
    terrain->drawSilhouette();
    terrain->drawToon();
    // Targets are outlined like everything else but keep their shadowed shading.
    for (scene::Target* target : targets)
        target->drawSilhouette();
    for (scene::Target* target : targets)
        target->drawShadowed();
    glUseProgram(skyShader->programHandle);
    sky->draw();
}

void Level1::setTextureFilter(GLint minFilter)
{
    terrain->model->setTextureFilter(minFilter);
    sky->model->setTextureFilter(minFilter);
}

} // namespace frosk::levels
