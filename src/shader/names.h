#pragma once

// Every name by which the game's code meets its GLSL: uniforms, vertex
// attributes, the fragment output and the particle update's feedback outputs.
// The shader files under Shader/ declare the same spellings; a name that
// differs on one side reads location -1 and GL silently ignores it, so each is
// written here once and the program interface test checks the files against
// these constants.

namespace frosk {

namespace uniform {

// Transforms.
inline constexpr const char modelMatrix[] = "modelMatrix";
inline constexpr const char viewMatrix[] = "viewMatrix";
inline constexpr const char projectionMatrix[] = "projectionMatrix";
// Camera projection x view, for the shadowed and toon programs.
inline constexpr const char VP[] = "VP";
// Light projection x light view, for the shadow depth pass.
inline constexpr const char depthVP[] = "depthVP";
// World to shadow-map texture coordinates and depth in [0, 1].
inline constexpr const char depthTranslScalVP[] = "depthTranslScalVP";
// Pixel coordinates to clip space, for the HUD and the text.
inline constexpr const char orthogonalMatrix[] = "orthogonalMatrix";
inline constexpr const char cameraPosition[] = "cameraPosition";

// Samplers.
inline constexpr const char shadowMap[] = "shadowMap";
inline constexpr const char colorTexture[] = "colorTexture";
inline constexpr const char fboTexture[] = "fboTexture";
inline constexpr const char scene[] = "scene";
inline constexpr const char textTexture[] = "textTexture";

// Toon shading and its outline.
inline constexpr const char numShades[] = "numShades";
inline constexpr const char color1[] = "color1";
inline constexpr const char offset1[] = "offset1";

inline constexpr const char blurSize[] = "blurSize";
inline constexpr const char textColor[] = "textColor";
// Seconds the particle update advances.
inline constexpr const char deltaT[] = "deltaT";

} // namespace uniform

namespace attribute {

inline constexpr const char position[] = "position";
inline constexpr const char normal[] = "normal";
inline constexpr const char color[] = "color";
inline constexpr const char uv[] = "uv";
// The full-screen quads' and the glyphs' texture coordinates.
inline constexpr const char texcoord[] = "texcoord";

// The particle record besides "position", in record order:
// type, position, age, velocity, lifetime, flydirection.
inline constexpr const char type[] = "type";
inline constexpr const char age[] = "age";
inline constexpr const char velocity[] = "velocity";
inline constexpr const char lifetime[] = "lifetime";
inline constexpr const char flydirection[] = "flydirection";

} // namespace attribute

namespace output {

// Colour output 0 of every program with a fragment stage.
inline constexpr const char fragColor[] = "fragColor";

// What the particle update's geometry stage writes, interleaved in this order:
// the particle record, field for field.
inline constexpr const char* const particleRecord[] = {"type1",     "position1", "age1",
                                                       "velocity1", "lifetime1", "flydirection1"};

} // namespace output

} // namespace frosk
