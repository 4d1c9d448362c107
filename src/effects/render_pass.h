#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

namespace frosk::effects {

// Reports an incomplete framebuffer bound to GL_FRAMEBUFFER on standard
// output and carries on: the game still runs, only without that picture.
void checkBoundFramebuffer();

// Texels (or pixels) [x0, x1) x [y0, y1) of a target.
struct TexelRect {
    int x0, y0, x1, y1;
    bool empty() const { return x0 >= x1 || y0 >= y1; }
};

// The texels of a width x height target that anything drawn within [low,
// high] of normalised device coordinates (x and y) can reach, widened by
// `margin` texels on each side and clamped to the target. Empty when low lies
// above high.
TexelRect texelsCovering(const glm::vec2& low, const glm::vec2& high, int width, int height, int margin);

// An off-screen target: a colour texture and a depth renderbuffer of its own
// behind one framebuffer, made with the object and deleted with it.
class RenderTarget {
public:
    // `format` is the colour texture's format and internal format (GL_RGB,
    // GL_RGBA); it is sampled linearly, clamped to its edges if asked.
    RenderTarget(int width, int height, GLenum format, bool clampToEdge);
    ~RenderTarget();
    RenderTarget(const RenderTarget&) = delete;
    RenderTarget& operator=(const RenderTarget&) = delete;

    GLuint framebuffer = 0;
    GLuint colorTexture = 0;
    GLuint depthBuffer = 0;
    int width = 0;
    int height = 0;
};

// The GL state of one pass of the frame, from its start to the end of the
// scope. Between passes the frame rests in one state: the window's
// framebuffer and viewport, no face culling, filled polygons, depth test on.
// Whatever a pass switched away from that goes back when its scope ends; what
// it never touched is left alone. Clear colours are not restored: the last
// one set stays for the loop's own clear of the window.
class PassScope {
public:
    PassScope(int windowWidth, int windowHeight);
    ~PassScope();
    PassScope(const PassScope&) = delete;
    PassScope& operator=(const PassScope&) = delete;

    // Draws into the target's colour (attachment 0) and depth over all of it;
    // nothing is read from it.
    PassScope& into(const RenderTarget& target);
    // Draws into a framebuffer whose owner set up its attachments, over
    // width x height.
    PassScope& into(GLuint framebuffer, int width, int height);
    // Colour and depth cleared, the colour to `colour`.
    PassScope& clear(const glm::vec4& colour);
    PassScope& clearDepth();
    // Depth test on, back faces culled.
    PassScope& cullBackFaces();
    PassScope& withoutDepthTest();
    // Every fragment drawn from here on is opaque (alpha 1), so blending could
    // change nothing: it is turned off, which spares a software rasteriser
    // reading back every pixel it writes.
    PassScope& opaque();
    // Blending as the frame's resting state has it again (the player's F9
    // choice), for what is drawn translucent after opaque().
    PassScope& blendingAsSet();
    PassScope& polygonMode(GLenum mode);
    // Draws only within `rect` of the current framebuffer (scissor test).
    PassScope& onlyWithin(const TexelRect& rect);

private:
    int windowWidth;
    int windowHeight;
    bool framebufferChanged = false;
    bool viewportChanged = false;
    bool cullingChanged = false;
    bool polygonModeChanged = false;
    bool depthTestChanged = false;
    bool scissorChanged = false;
    // Whether blending was on when opaque() turned it off.
    bool blendingWasOn = false;
};

} // namespace frosk::effects
