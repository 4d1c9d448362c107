#include "app/text_renderer.h"

#include "common/console.h"
#include "shader/names.h"
#include "shader/shader.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdlib>
#include <iostream>
#include <vector>

namespace frosk {

namespace {

[[noreturn]] void fail(const char* message)
{
    std::cout << message << std::endl;
    fatalExit(-1);
}

int powerOfTwoAtLeast(int n)
{
    int p = 1;
    while (p < n)
        p *= 2;
    return p;
}

} // namespace

TextRenderer::TextRenderer(Shader* program) : program(program)
{
    if (FT_Init_FreeType(&library) != 0)
        fail("Freetype Error");
    if (FT_New_Face(library, "Fonts/CantoraOne-Regular.ttf", 0, &face) != 0)
        fail("Freetype Error - Can not load font");
    if (FT_Set_Pixel_Sizes(face, 0, fontSize) != 0)
        fail("Freetype Error - Can not set pixel sizes");

    glGenTextures(glyphCount, glyphTextures.data());
    // Glyph rows are tightly packed bytes of any width.
    GLint previousAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (int code = 0; code < glyphCount; ++code)
        loadGlyph(code);
    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);
    glBindTexture(GL_TEXTURE_2D, 0);

    glUseProgram(program->programHandle);
    const GLfloat texcoords[8] = {0, 0, 0, 1, 1, 0, 1, 1};
    glGenBuffers(1, &texcoordBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, texcoordBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof texcoords, texcoords, GL_STATIC_DRAW);
    glGenBuffers(1, &positionBuffer);
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    const GLint texcoord = glGetAttribLocation(program->programHandle, attribute::texcoord);
    if (texcoord >= 0) {
        glEnableVertexAttribArray(static_cast<GLuint>(texcoord));
        glVertexAttribPointer(static_cast<GLuint>(texcoord), 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    }
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

TextRenderer::~TextRenderer()
{
    glDeleteVertexArrays(1, &vertexArray);
    glDeleteBuffers(1, &positionBuffer);
    glDeleteBuffers(1, &texcoordBuffer);
    glDeleteTextures(glyphCount, glyphTextures.data());
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

void TextRenderer::loadGlyph(int code)
{
    const FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(code));
    present[code] = index != 0 &&
                    FT_Load_Glyph(face, index, FT_LOAD_DEFAULT) == 0 &&
                    FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) == 0;
    if (!present[code]) {
        textureWidth[code] = textureHeight[code] = 1;
        return;
    }

    const FT_GlyphSlot glyph = face->glyph;
    const FT_Bitmap& bitmap = glyph->bitmap;
    const int w = static_cast<int>(bitmap.width);
    const int r = static_cast<int>(bitmap.rows);
    const int W = powerOfTwoAtLeast(w);
    const int H = powerOfTwoAtLeast(r);

    // Texture row 0 holds the glyph's bottom row; FreeType's pitch may differ
    // from the width and is negative for bottom-up bitmaps.
    std::vector<unsigned char> texels(static_cast<size_t>(W) * static_cast<size_t>(H), 0);
    for (int y = 0; y < r; ++y) {
        const int sourceRow = r - 1 - y;
        const unsigned char* row = bitmap.pitch >= 0
            ? bitmap.buffer + static_cast<ptrdiff_t>(sourceRow) * bitmap.pitch
            : bitmap.buffer + static_cast<ptrdiff_t>(r - 1 - sourceRow) * -bitmap.pitch;
        for (int x = 0; x < w; ++x)
            texels[static_cast<size_t>(y) * W + x] = row[x];
    }

    glBindTexture(GL_TEXTURE_2D, glyphTextures[code]);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, W, H, 0, GL_DEPTH_COMPONENT, GL_UNSIGNED_BYTE, texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);

    advance[code] = static_cast<int>(glyph->advance.x >> 6);
    bearingX[code] = static_cast<int>(glyph->metrics.horiBearingX >> 6);
    textureWidth[code] = W;
    textureHeight[code] = H;
}

int TextRenderer::penAdvance(unsigned char code, int size) const
{
    if (code >= glyphCount || !present[code])
        return 0;
    return (bearingX[code] * size) / fontSize + ((advance[code] - bearingX[code]) * size) / fontSize;
}

int TextRenderer::measureText(const std::string& text, int size) const
{
    int width = 0;
    for (char c : text)
        width += penAdvance(static_cast<unsigned char>(c), size);
    return width;
}

void TextRenderer::renderText(std::string text, int x, int y, int size, const glm::vec3& colour)
{
    const GLuint handle = program->programHandle;
    glUseProgram(handle);
    glUniform3f(glGetUniformLocation(handle, uniform::textColor), colour.r, colour.g, colour.b);

    for (char character : text) {
        const unsigned char code = static_cast<unsigned char>(character);
        if (code >= glyphCount || !present[code])
            continue;
        const float x0 = static_cast<float>(x);
        const float x1 = static_cast<float>(x + textureWidth[code]);
        const float y0 = static_cast<float>(y);
        const float y1 = static_cast<float>(y + textureHeight[code]);
        x += penAdvance(code, size);

        // The glyph's bottom row (texture row 0) lies on the lower edge y1.
        const GLfloat positions[8] = {x0, y1, x0, y0, x1, y1, x1, y0};
        glDisable(GL_DEPTH_TEST);
        glBindVertexArray(vertexArray);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, glyphTextures[code]);
        glUniform1i(glGetUniformLocation(handle, uniform::textTexture), 0);
        glBindBuffer(GL_ARRAY_BUFFER, positionBuffer);
        glBufferData(GL_ARRAY_BUFFER, sizeof positions, positions, GL_STATIC_DRAW);
        const GLint position = glGetAttribLocation(handle, attribute::position);
        if (position >= 0) {
            glEnableVertexAttribArray(static_cast<GLuint>(position));
            glVertexAttribPointer(static_cast<GLuint>(position), 2, GL_FLOAT, GL_FALSE, 0, nullptr);
        }
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        glBindVertexArray(0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glEnable(GL_DEPTH_TEST);
    }
}

} // namespace frosk
