#include "leak_check.h"

#include "common/globals.h"
#include "physicsengine/physics.h"

#include <GL/glew.h>

#include <algorithm>

namespace autoplay {

namespace {

// One kind of GL object and the calls that make, free and recognise it.
struct ObjectKind {
    void (*generate)(GLsizei, GLuint*);
    void (*remove)(GLsizei, const GLuint*);
    GLboolean (*is)(GLuint);
};

// The driver hands out a fresh name above every name in use unless it reuses
// freed ones, which keeps the names in use small: probing up to the larger of
// a fresh name and a generous bound finds them all either way.
int countLive(GLuint fresh, GLboolean (*is)(GLuint))
{
    const GLuint bound = std::max<GLuint>(fresh + 1, 20000);
    int count = 0;
    for (GLuint name = 1; name < bound; ++name)
        count += is(name) == GL_TRUE ? 1 : 0;
    return count;
}

GLboolean isProgramOrShader(GLuint name)
{
    return glIsProgram(name) == GL_TRUE || glIsShader(name) == GL_TRUE ? GL_TRUE : GL_FALSE;
}

} // namespace

int LeakCheck::glObjectCount()
{
    const ObjectKind kinds[] = {
        {glGenBuffers, glDeleteBuffers, glIsBuffer},
        {glGenTextures, glDeleteTextures, glIsTexture},
        {glGenVertexArrays, glDeleteVertexArrays, glIsVertexArray},
        {glGenFramebuffers, glDeleteFramebuffers, glIsFramebuffer},
        {glGenRenderbuffers, glDeleteRenderbuffers, glIsRenderbuffer},
        {glGenTransformFeedbacks, glDeleteTransformFeedbacks, glIsTransformFeedback},
    };
    int count = 0;
    for (const ObjectKind& kind : kinds) {
        GLuint fresh = 0;
        kind.generate(1, &fresh);
        kind.remove(1, &fresh);
        count += countLive(fresh, kind.is);
    }
    const GLuint fresh = glCreateProgram();
    glDeleteProgram(fresh);
    return count + countLive(fresh, isProgramOrShader);
}

void LeakCheck::levelBuilt(int newLayout)
{
    if (pending) {
        // The previous level never came to a quiet moment to be checked in.
        ++failures;
        log.always("leak-check layout=%d not checked before the next level change FAILED", layout);
    }
    layout = newLayout;
    pending = true;
}

void LeakCheck::afterFrame(int frame)
{
    if (!pending || !frosk::thrownCakes.empty() || !frosk::particleSystems.empty()
        || !frosk::actorsToRemove.empty())
        return;
    pending = false;
    ++checks;
    const std::size_t bodyCount = frosk::physics->bodyCount();
    const int objects = glObjectCount();
    seen[layout] = true;
    const bool compareGl = glObjects.count(layout) != 0;
    const bool bodiesOk = bodies.count(layout) == 0 || bodies[layout] == bodyCount;
    const bool glOk = !compareGl || glObjects[layout] == objects;
    const char* format = "leak-check frame=%d layout=%d bodies=%zu expected_bodies=%zu gl_objects=%d expected_gl=%d %s";
    const std::size_t expectedBodies = bodies.count(layout) ? bodies[layout] : bodyCount;
    const int expectedObjects = compareGl ? glObjects[layout] : objects;
    if (bodiesOk && glOk)
        log.line(format, frame, layout, bodyCount, expectedBodies, objects, expectedObjects, "ok");
    else
        log.always(format, frame, layout, bodyCount, expectedBodies, objects, expectedObjects, "FAILED");
    if (!(bodiesOk && glOk))
        ++failures;
    bodies[layout] = bodyCount;
    // Once both layouts have stood, every image either needs is loaded.
    bothSeen = seen.size() == 2;
    if (bothSeen && glObjects.count(layout) == 0)
        glObjects[layout] = objects;
}

} // namespace autoplay
