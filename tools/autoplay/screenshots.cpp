#include "screenshots.h"

#include <GL/glew.h>
#include <IL/il.h>

#include <filesystem>
#include <vector>

namespace autoplay {

Screenshots::Screenshots(std::string folder, int width, int height)
    : folder(std::move(folder)), width(width), height(height)
{
    if (!this->folder.empty())
        std::filesystem::create_directories(this->folder);
}

bool Screenshots::take(const std::string& name) const
{
    if (folder.empty())
        return false;
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    GLint framebuffer = 0, alignment = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &framebuffer);
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(framebuffer));
    // The window's own alpha is whatever blending left there; a picture of
    // the window is opaque.
    for (std::size_t i = 3; i < pixels.size(); i += 4)
        pixels[i] = 255;

    // GL hands the rows over bottom-up, which is how DevIL takes them.
    const ILuint image = ilGenImage();
    ilBindImage(image);
    bool ok = ilTexImage(static_cast<ILuint>(width), static_cast<ILuint>(height), 1, 4, IL_RGBA, IL_UNSIGNED_BYTE,
                         pixels.data()) == IL_TRUE;
    ilEnable(IL_FILE_OVERWRITE);
    const std::string path = (std::filesystem::path(folder) / (name + ".png")).string();
    ok = ok && ilSave(IL_PNG, path.c_str()) == IL_TRUE;
    ilDeleteImage(image);
    return ok;
}

} // namespace autoplay
