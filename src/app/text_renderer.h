#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <array>
#include <string>

typedef struct FT_LibraryRec_* FT_Library;
typedef struct FT_FaceRec_* FT_Face;

namespace frosk {

class Shader;

// Draws text with the first 128 character codes of "Fonts/CantoraOne-Regular.ttf",
// rasterised once at 40 pixels into one texture per glyph and drawn glyph by
// glyph as screen quads. A font that cannot be loaded is fatal.
class TextRenderer {
public:
    static constexpr int glyphCount = 128;
    static constexpr int fontSize = 40;

    explicit TextRenderer(Shader* program);
    virtual ~TextRenderer();
    TextRenderer(const TextRenderer&) = delete;
    TextRenderer& operator=(const TextRenderer&) = delete;

    // Draws `text` with its first glyph quad's top-left corner at (x, y) in
    // window pixels. Codes without a glyph are skipped.
    void renderText(std::string text, int x, int y, int size, const glm::vec3& colour);
    // How far renderText moves the pen for `text`.
    int measureText(const std::string& text, int size) const;

    FT_Library library = nullptr;
    FT_Face face = nullptr;
    Shader* program = nullptr;
    GLuint texcoordBuffer = 0;
    GLuint positionBuffer = 0;
    GLuint vertexArray = 0;
    std::array<GLuint, glyphCount> glyphTextures{};
    std::array<int, glyphCount> advance{};
    std::array<int, glyphCount> bearingX{};
    std::array<int, glyphCount> textureHeight{};
    std::array<int, glyphCount> textureWidth{};
    // Codes the font has a glyph for; the others are skipped when drawing.
    std::array<bool, glyphCount> present{};

private:
    void loadGlyph(int code);
    int penAdvance(unsigned char code, int size) const;
};

} // namespace frosk
