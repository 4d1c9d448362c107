#include "modelLoader/image_texture.h"

#include "modelLoader/image_check.h"

#include <IL/il.h>

#include <iostream>

namespace frosk::modelLoader {

GLuint loadImageTexture(const std::string& path, FirstRow firstRow)
{
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
        glGenTextures(1, &texture);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, ilGetInteger(IL_IMAGE_WIDTH), ilGetInteger(IL_IMAGE_HEIGHT), 0,
                     GL_RGBA, GL_UNSIGNED_BYTE, ilGetData());
        glGenerateMipmap(GL_TEXTURE_2D);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    }
    ilDeleteImages(1, &image);
    return texture;
}

} // namespace frosk::modelLoader
