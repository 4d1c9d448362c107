#include "levels/level.h"

#include "datastructures/tree_node.h"
#include "effects/shadow_mapping.h"
#include "levels/layouts.h"
#include "scene/heaven.h"
#include "scene/snowman.h"
#include "scene/target.h"
#include "scene/terrain.h"
#include "shader/shader.h"
#include "sound/sound.h"

#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>

namespace frosk::levels {

glm::mat4 placementMatrix(const glm::vec3& position, float angleDegrees)
{
    const glm::mat4 t = glm::translate(glm::mat4(1.0f), position);
    return glm::rotate(t, angleDegrees * 0.017453292f, glm::vec3(0.0f, 1.0f, 0.0f));
}

Level::Level(const LevelResources& resources) : resources(resources) {}

Level::Level(const LevelResources& resources, const Layout& layout) : Level(resources)
{
    physicsengine::Physics* physics = resources.physics;
    effects::ShadowMapping* shadowMapping = resources.shadowMapping;
    effects::ToonShading* toonShading = resources.toonShading;
    terrain = std::make_unique<scene::Terrain>(physics, resources.toonTextureShader, resources.bloomCoverShader,
                                               shadowMapping, toonShading, layout.landscape,
                                               glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, -2.0f, 0.0f)));
    targetTemplate = std::make_unique<scene::Target>(resources.shadowMaterialShader, resources.bloomShader,
                                                     shadowMapping, toonShading, glm::mat4(1.0f));
    for (const TargetPlacement& p : layout.targets)
        targets.push_back(new scene::Target(physics, targetTemplate.get(), p.direction, p.speed, p.distance,
                                            placementMatrix(p.position, p.angle)));
    for (const SnowmanPlacement& s : layout.snowmen) {
        const glm::mat4 place = placementMatrix(s.position, s.angle);
        if (snowmen.empty())
            snowmen.push_back(std::make_unique<scene::Snowman>(physics, resources.toonMaterialShader,
                                                               resources.bloomCoverShader, shadowMapping,
                                                               toonShading, place));
        else
            snowmen.push_back(
                std::make_unique<scene::Snowman>(physics, snowmen.front().get(), glm::vec3(s.scale), s.kind, place));
    }
    sky = std::make_unique<scene::Heaven>(resources.skyShader, glm::mat4(1.0f));
    sound = std::make_unique<Sound>();
    sound->load(layout.musicSlot);
    sound->play(layout.musicSlot);
}

// The man goes before the others, though they share his model: the last
// share to go frees it.
Level::~Level()
{
    terrain.reset();
    targetTemplate.reset();
    for (scene::Target* target : targets)
        delete target;
    targets.clear();
    for (std::unique_ptr<scene::Snowman>& snowman : snowmen)
        snowman.reset();
    snowmen.clear();
    sky.reset();
    sound.reset();
}

bool Level::destroyHitTarget(const scene::Target* first, const scene::Target* second)
{
    const auto hit = std::find_if(targets.begin(), targets.end(), [&](const scene::Target* target) {
        return target != nullptr && (target == second || target == first);
    });
    if (hit == targets.end())
        return false;
    scene::Target* target = *hit;
    targets.erase(hit);
    target->releaseBody();
    delete target;
    return true;
}

// Targets are only ever taken out of a level, never added, so their count
// tells whether the standing ones are still those of the last call.
bool Level::staticCastersChanged()
{
    const std::ptrdiff_t standing = std::count_if(targets.begin(), targets.end(), [](const scene::Target* target) {
        return target != nullptr && target->standsStill();
    });
    const bool changed = standing != standingTargetsSeen;
    standingTargetsSeen = standing;
    return changed;
}

void Level::update(double deltaTime)
{
    terrain->update(deltaTime);
    for (scene::Target* target : targets)
        target->update(deltaTime);
    for (std::size_t i = 0; i < snowmen.size(); ++i) {
        if (i == 0)
            snowmen[i]->update(deltaTime);
        else
            snowmen[i]->updateSway(deltaTime);
    }
    sky->update(deltaTime);
}

void Level::draw()
{
    glUseProgram(resources.skyShader->programHandle);
    sky->draw();
    glUseProgram(resources.textureShader->programHandle);
    terrain->draw();
    glUseProgram(resources.basicShader->programHandle);
    drawTargetsAndSnowmen(&scene::ModelObject::draw);
}

void Level::drawTargetsAndSnowmen(void (scene::ModelObject::*pass)())
{
    for (scene::Target* target : targets)
        (target->*pass)();
    for (const std::unique_ptr<scene::Snowman>& snowman : snowmen)
        (snowman.get()->*pass)();
}

void Level::drawSecondary()
{
    drawTargetsAndSnowmen(&scene::ModelObject::drawSecondary);
    terrain->drawSecondary();
}

void Level::drawDepth()
{
    terrain->drawDepth();
    drawTargetsAndSnowmen(&scene::ModelObject::drawDepth);
}

void Level::drawStaticDepth()
{
    terrain->drawDepth();
    for (scene::Target* target : targets)
        if (target->standsStill())
            target->drawDepth();
}

// The snowmen sway, so they are drawn anew each frame.
void Level::drawMovingDepth()
{
    for (scene::Target* target : targets)
        if (!target->standsStill())
            resources.shadowMapping->drawMovingCaster(*target);
    for (const std::unique_ptr<scene::Snowman>& snowman : snowmen)
        resources.shadowMapping->drawMovingCaster(*snowman);
}

void Level::drawShadowed()
{
    terrain->drawShadowed();
    drawTargetsAndSnowmen(&scene::ModelObject::drawShadowed);
    glUseProgram(resources.skyShader->programHandle);
    sky->draw();
}

void Level::drawToon()
{
    terrain->drawSilhouette();
    terrain->drawToon();
    // Targets are outlined like everything else but keep their shadowed shading.
    for (scene::Target* target : targets)
        target->drawSilhouette();
    for (scene::Target* target : targets)
        target->drawShadowed();
    for (const std::unique_ptr<scene::Snowman>& snowman : snowmen) {
        snowman->drawSilhouette();
        snowman->drawToon();
    }
    glUseProgram(resources.skyShader->programHandle);
    sky->draw();
}

void Level::setTextureFilter(GLint minFilter)
{
    terrain->model->setTextureFilter(minFilter);
    sky->model->setTextureFilter(minFilter);
}

} // namespace frosk::levels
