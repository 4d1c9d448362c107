#pragma once

#include <GL/glew.h>

#include <string>

namespace frosk::modelLoader {

// Which row of the image becomes the texture's first row. GL counts rows from
// the bottom; the model import flips its texture coordinates and so wants the
// top row first.
enum class FirstRow { bottom, top };

// The image file at `path` as a new RGBA texture with mipmaps and linear
// filtering, left bound to GL_TEXTURE_2D on unit 0 for whatever else the
// caller sets on it. 0 when the file cannot be read, after printing
// "Could not load Image: " and the path (no line break). `cutOut`, when
// given, tells whether any texel is less than half opaque: the alpha-tested
// programs cut those out.
GLuint loadImageTexture(const std::string& path, FirstRow firstRow, bool* cutOut = nullptr);

} // namespace frosk::modelLoader
