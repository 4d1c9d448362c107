// The held cake's animation, templates and the thrown copies that follow their bodies.
#include "held_objects.h"

#include "datastructures/tree_node.h"
#include "physicsengine/physics.h"
#include "scene/cake.h"

using frosk::scene::Cake;

class CakeRoles : public HeldObjects {
protected:
    std::unique_ptr<Cake> make(int kind)
    {
        return std::make_unique<Cake>(toon.get(), cover.get(), kind, shadowMapping.get(), toonShading.get(),
                                      glm::mat4(1.0f));
    }
};

TEST_F(CakeRoles, HeldCakeSinksHidesAndReloads)
{
    auto held = make(5);
    EXPECT_TRUE(held->ready);
    EXPECT_TRUE(held->visible);
    const double dt = 1.0 / 60.0;
    held->startWindUp(2.0f, 3.5f);
    held->update(dt);
    held->update(dt);
    // Released during the wind-up: it keeps sinking, then reloads.
    held->release();
    EXPECT_FALSE(held->ready) << "not ready from the release on";
    int frames = 2;
    while (!held->lowered) {
        held->update(dt);
        EXPECT_LE(held->offset.y, 0.0f);
        ++frames;
    }
    EXPECT_EQ(frames, 36);
    EXPECT_FALSE(held->visible);

    int reloading = 0;
    while (!held->ready && reloading < 200) {
        held->update(dt);
        ++reloading;
    }
    EXPECT_NEAR(reloading / 60.0, 2.0 / (3.5 * 0.4), 0.05);
    EXPECT_TRUE(held->visible);
    EXPECT_EQ(held->offset, glm::vec3(0.0f));
}

TEST_F(CakeRoles, LongFramesFreezeTheWindUpButNotTheReload)
{
    auto held = make(5);
    held->startWindUp(2.0f, 3.5f);
    held->update(0.15);
    EXPECT_EQ(held->offset, glm::vec3(0.0f));
    EXPECT_FLOAT_EQ(held->progress, 0.0f);
    while (!held->lowered)
        held->update(0.1);
    held->release();
    held->update(0.5);
    EXPECT_FLOAT_EQ(held->progress, 3.5f * 0.5f * 0.4f);
}

TEST_F(CakeRoles, ThrownCopiesShareTheTemplateModelAndFollowTheirBodies)
{
    frosk::physicsengine::Physics world;
    auto cakeTemplate = make(2);
    EXPECT_TRUE(cakeTemplate->ownsModel);
    EXPECT_EQ(std::string(Cake::modelFile(2)), "Models/cakeTex_2.dae");

    frosk::physicsengine::Body* body = world.throwCake({0, 5, 0}, {3, 0, 0}, 41);
    auto thrown = std::make_unique<Cake>(cakeTemplate.get(), &world, body, glm::vec3(1, 0, 0), 3.0f);
    EXPECT_EQ(thrown->id, 41) << "the id of its own body";
    EXPECT_EQ(thrown->model, cakeTemplate->model);
    EXPECT_FALSE(thrown->ownsModel);
    EXPECT_EQ(thrown->kind, 2);
    EXPECT_EQ(thrown->modelMatrix, glm::mat4(1.0f)) << "the identity until its first update";

    for (int i = 0; i < 30; ++i) {
        world.step(1.0 / 60.0);
        thrown->update(1.0 / 60.0);
    }
    EXPECT_EQ(thrown->modelMatrix, world.pose(body));
    EXPECT_GT(thrown->position().x, 1.0f);
    EXPECT_LT(thrown->position().y, 5.0f);
    EXPECT_EQ(cakeTemplate->modelMatrix, glm::mat4(1.0f)) << "templates are never moved";

    // The copy goes first and leaves the model to its template, which can still draw it.
    frosk::datastructures::TreeNode* model = cakeTemplate->model.get();
    thrown.reset();
    EXPECT_EQ(cakeTemplate->model.get(), model);
    cakeTemplate->drawToon();
    EXPECT_EQ(testsupport::glErrors(), "");
}
