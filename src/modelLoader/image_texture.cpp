#include "modelLoader/image_texture.h"

#include "modelLoader/image_check.h"

#include <IL/il.h>

#include <cstddef>
#include <iostream>

namespace frosk::modelLoader {

GLuint loadImageTexture(const std::string& path, FirstRow firstRow, bool* cutOut)
{
    if (cutOut)
        *cutOut = false;
    ilInit();
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    ilEnable(IL_ORIGIN_SET);
    ilOriginFunc(firstRow == FirstRow::bottom ? IL_ORIGIN_LOWER_LEFT : IL_ORIGIN_UPPER_LEFT);
    GLuint texture = 0;
    if (path.empty() || !imageFileIsWhole(path) || !ilLoadImage(path.c_str())
        || !ilConvertImage(IL_RGBA, IL_UNSIGNED_BYTE)) {
        std::cout << "Could not load Image: " << path << std::flush;
    } else {
        const ILubyte* texels = ilGetData();
        if (cutOut) {
            const std::size_t size = 4u * static_cast<std::size_t>(ilGetInteger(IL_IMAGE_WIDTH))
                                     * static_cast<std::size_t>(ilGetInteger(IL_IMAGE_HEIGHT));
            // Alpha 127 of 255 is the first below the programs' one half.
            for (std::size_t i = 3; i < size && !*cutOut; i += 4)
                *cutOut = texels[i] < 128;
        }
        glGenTextures(1, &texture);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, ilGetInteger(IL_IMAGE_WIDTH), ilGetInteger(IL_IMAGE_HEIGHT), 0,
                     GL_RGBA, GL_UNSIGNED_BYTE, texels);
        glGenerateMipmap(GL_TEXTURE_2D);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    }
    ilDeleteImages(1, &image);
    return texture;
}

} // namespace frosk::modelLoader
