#pragma once

// Tiny GLSL programs with fixed attribute locations for the mesh tests:
// position 0, normal 1, colour 2, uv 3, as the game's programs have them.

#include "shader/shader.h"

#include <memory>
#include <string>

namespace testprograms {

// Builds a program from GLSL text (written to a scratch folder first, since
// programs are read from files).
std::unique_ptr<frosk::Shader> build(const std::string& vertexSource, const std::string& fragmentSource);

// "modelMatrix" straight to clip space; vertex colour.
std::unique_ptr<frosk::Shader> plainColour();
// The same, times "colorTexture" at "uv".
std::unique_ptr<frosk::Shader> plainTexture();
// Only "position" is used: the other attributes are not active.
std::unique_ptr<frosk::Shader> positionOnly();
// "depthVP" x "modelMatrix"; writes white, so that a colour target shows where it drew.
std::unique_ptr<frosk::Shader> depthPass();
// "VP", "depthTranslScalVP", "modelMatrix": vertex colour dimmed in shadow,
// times how much the normal faces up. Uses all four attributes.
std::unique_ptr<frosk::Shader> shadowed();
// Light from a fixed direction quantised into "numShades" bands, dimmed in shadow.
std::unique_ptr<frosk::Shader> toon();
// Pushes the vertex out along "normal" by "offset1", flat "color1".
std::unique_ptr<frosk::Shader> silhouette();
// Second program: "position" at 0 and "color" at location 5.
std::unique_ptr<frosk::Shader> secondary();

} // namespace testprograms
