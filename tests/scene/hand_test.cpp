// The hand's throw gesture frame by frame, and how it looks in front of the eye.
#include "held_objects.h"

#include "scene/cake.h"
#include "scene/hand.h"
#include "support/offscreen.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

using frosk::scene::Hand;

class HandGesture : public HeldObjects {
protected:
    std::unique_ptr<Hand> makeHand()
    {
        return std::make_unique<Hand>(toon.get(), cover.get(), shadowMapping.get(), toonShading.get(),
                                      glm::mat4(1.0f));
    }
};

TEST_F(HandGesture, SinksTwoUnitsThenSwingsBackInSeventeenFramesAtSixtyHertz)
{
    auto hand = makeHand();
    const double dt = 1.0 / 60.0;
    hand->update(dt);
    EXPECT_EQ(hand->offset, glm::vec3(0.0f)) << "at rest until the button goes down";

    hand->startWindUp(2.0f, 3.5f);
    // A release at once: the wind-up still runs to its end.
    hand->release();
    float lowest = 0.0f;
    int frames = 0;
    while (!hand->windUpDone && frames < 100) {
        hand->update(dt);
        lowest = std::min(lowest, hand->offset.y);
        ++frames;
    }
    EXPECT_LE(lowest, -2.0f) << "the full 2.0 units";
    EXPECT_EQ(frames, 36) << "35 frames of 3.5/60, then the cocked pose";
    // The swing began in the frame the wind-up ended.
    EXPECT_GT(hand->progress, 0.0f);
    EXPECT_NEAR(hand->offset.x, 0.2f, 1e-6f);
    EXPECT_NEAR(hand->offset.z, -0.5f, 1e-6f);

    int moving = 1;
    while (hand->windUpDone) {
        const float before = hand->offset.y;
        hand->update(dt);
        if (hand->windUpDone) {
            EXPECT_GT(hand->offset.y, before) << "the hand rises";
            ++moving;
        }
    }
    EXPECT_EQ(moving, 17) << "the swing moves on 17 frames and rests on the 18th";
    EXPECT_EQ(hand->offset, glm::vec3(0.0f));
    EXPECT_FALSE(hand->released);
    EXPECT_GT(hand->animSpeed, 3.5f * 5.0f) << "the grown speed stays until the next wind-up";

    const glm::vec3 rest = hand->offset;
    hand->update(dt);
    EXPECT_EQ(hand->offset, rest) << "nothing moves until the next press";
}

TEST_F(HandGesture, LongFramesFreezeTheWindUpButNotTheSwing)
{
    auto hand = makeHand();
    hand->startWindUp(2.0f, 3.5f);
    hand->update(0.15);
    hand->update(0.1000001);
    EXPECT_EQ(hand->offset, glm::vec3(0.0f));
    hand->update(0.1);
    EXPECT_FLOAT_EQ(hand->offset.y, -0.35f) << "0.1 s still counts";

    while (!hand->windUpDone)
        hand->update(0.05);
    hand->release();
    const float cocked = hand->offset.y;
    hand->update(0.5);
    EXPECT_GT(hand->offset.y, cocked) << "the swing runs on long frames";
}

TEST_F(HandGesture, PoseFollowsTheCameraWithTheOffset)
{
    auto hand = makeHand();
    hand->offset = glm::vec3(0.2f, -1.0f, -0.5f);
    const glm::mat4 pose = glm::rotate(glm::translate(glm::mat4(1.0f), glm::vec3(1, 2, 3)), 1.0f, glm::vec3(0, 1, 0));
    hand->setHandPose(pose);
    const glm::vec4 origin = hand->modelMatrix * glm::vec4(0, 0, 0, 1);
    const glm::vec4 expected = pose * glm::vec4(0.2f, -1.0f, -0.5f, 1.0f);
    EXPECT_NEAR(glm::length(glm::vec3(origin - expected)), 0.0f, 1e-5f);
}

// The first-person view: the hand with the cake on it, from the eye, as the
// scene pass draws them.
TEST_F(HandGesture, HandAndHeldCakeInFrontOfTheEye)
{
    auto hand = makeHand();
    frosk::scene::Cake held(toon.get(), cover.get(), 5, shadowMapping.get(), toonShading.get(), glm::mat4(1.0f));

    const glm::vec3 eye(0.0f, 1.5f, 0.0f);
    const glm::mat4 pose = glm::translate(glm::mat4(1.0f), eye);
    hand->setHandPose(pose);
    held.setHandPose(pose);
    const frosk::Camera camera = frosk::Camera::looking(glm::lookAt(eye, eye + glm::vec3(0, 0, 1), glm::vec3(0, 1, 0)),
                                                        eye, config->width, config->height);
    shadowMapping->camera = camera;
    toonShading->camera = camera;
    glUseProgram(toon->programHandle);
    glUniform3fv(glGetUniformLocation(toon->programHandle, "cameraPosition"), 1, glm::value_ptr(eye));

    testsupport::OffscreenTarget target(400, 300);
    target.clear(glm::vec4(0.25f, 0.35f, 0.45f, 1.0f));
    glEnable(GL_DEPTH_TEST);
    hand->drawSilhouette();
    held.drawSilhouette();
    hand->drawToon();
    held.drawToon();
    glDisable(GL_CULL_FACE);
    target.savePng("held_hand_and_cake");

    // Something other than the sky covers the lower right, where the hand is held.
    const std::vector<unsigned char> rgba = target.readRgba();
    int covered = 0;
    for (int y = 0; y < 150; ++y)
        for (int x = 200; x < 400; ++x) {
            const unsigned char* p = &rgba[static_cast<std::size_t>((y * 400 + x) * 4)];
            if (std::abs(p[0] - 64) + std::abs(p[1] - 89) + std::abs(p[2] - 115) > 30)
                ++covered;
        }
    EXPECT_GT(covered, 2000);
    EXPECT_EQ(testsupport::glErrors(), "");
    target.unbind();
}
