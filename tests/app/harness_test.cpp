#include "support/gl_context.h"
#include "support/offscreen.h"

#include <IL/il.h>

// The test harness itself: pixels read back are the pixels drawn, and a
// screenshot is saved upright.
class Harness : public testsupport::GlTest {};

TEST_F(Harness, ContextIsCoreThreeThreeOrLater)
{
    GLint major = 0, minor = 0, profile = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
    EXPECT_GE(major * 10 + minor, 33);
    EXPECT_TRUE(profile & GL_CONTEXT_CORE_PROFILE_BIT);
}

TEST_F(Harness, ScissoredClearsReadBackExactlyAndSaveUpright)
{
    testsupport::OffscreenTarget target(64, 32);
    target.clear(glm::vec4(0, 0, 1, 1));
    // Top half red: rows 16..31 in GL's bottom-up order.
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 16, 64, 16);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);

    EXPECT_EQ(target.pixel(10, 5), glm::u8vec4(0, 0, 255, 255));
    EXPECT_EQ(target.pixel(10, 20), glm::u8vec4(255, 0, 0, 255));

    const std::string path = target.savePng("harness_red_top_blue_bottom");
    target.unbind();

    // Read the file back the way image viewers do: first row at the top.
    ilInit();
    ILuint image = ilGenImage();
    ilBindImage(image);
    ilEnable(IL_ORIGIN_SET);
    ilOriginFunc(IL_ORIGIN_UPPER_LEFT);
    ASSERT_TRUE(ilLoadImage(path.c_str()));
    ASSERT_TRUE(ilConvertImage(IL_RGBA, IL_UNSIGNED_BYTE));
    EXPECT_EQ(ilGetInteger(IL_IMAGE_WIDTH), 64);
    const ILubyte* data = ilGetData();
    EXPECT_EQ(data[0], 255) << "the first row of the file must be the top (red)";
    EXPECT_EQ(data[2], 0);
    ilDeleteImage(image);
    ilDisable(IL_ORIGIN_SET);
}
