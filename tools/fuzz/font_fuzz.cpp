// The font: any bytes as "Fonts/CantoraOne-Regular.ttf", rasterised into the
// glyph textures and drawn, on a real GL context.
#include "fuzz_support.h"

#include "app/text_renderer.h"
#include "shader/shader.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>
#include <string>

namespace {

std::unique_ptr<frosk::Shader> program;
const std::string fontPath = "Fonts/CantoraOne-Regular.ttf";

// The renderer ends the game when FreeType cannot open the face or size it
// to 40 pixels; that path is a message and exit, and would leave FreeType's
// library behind here. Such inputs are passed over.
bool fontOpens()
{
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        return false;
    FT_Face face = nullptr;
    bool opens = FT_New_Face(library, fontPath.c_str(), 0, &face) == 0;
    if (opens) {
        opens = FT_Set_Pixel_Sizes(face, 0, frosk::TextRenderer::fontSize) == 0;
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return opens;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::quietStandardOutput();
    fuzz::workDirectory();
    fuzz::openGlContext();
    program = std::make_unique<frosk::Shader>("Shader/text_render.vert", "Shader/text_render.frag");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::writeInput(fontPath, data, size);
    if (!fontOpens())
        return 0;
    frosk::TextRenderer text(program.get());
    std::string every;
    for (int c = 1; c < 256; ++c)
        every += static_cast<char>(c);
    text.renderText(every, 10, 10, 40, glm::vec3(0.0f));
    if (text.measureText("LEVEL 1", 40) < -1000000)
        __builtin_trap();
    return 0;
}
