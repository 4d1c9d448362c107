#pragma once

// The parts of the generator: each builds its share of the data set in
// memory; main.cpp writes and checks them.

#include "image.h"
#include "mesh.h"

#include "levels/layouts.h"

#include <map>
#include <string>
#include <vector>

namespace assetgen {

// Model textures by file name (as the models name them, under Textures/).
using TextureSet = std::map<std::string, Image>;
TextureSet buildTextures();
// HUD and particle images by path relative to the runtime root.
std::map<std::string, Image> buildHudImages();
// The game's icon for the desktop's menus, `size` pixels square, drawn from
// the HUD's cake and target.
Image buildAppIcon(int size);

// Mean colours of the textures, which the textured meshes carry as vertex
// colours (the COLLADA round trip loses the material colour of textured
// materials).
using Palette = std::map<std::string, glm::vec3>;
Palette paletteOf(const TextureSet& textures);
// A material that uses `texture`, with its mean colour as diffuse colour.
Material texturedMaterial(const std::string& name, const std::string& texture, const Palette& palette);

// A target as the levels place it: base position, angle about y in degrees,
// direction of motion in its own frame, speed, sweep length.
using TargetPlacement = frosk::levels::TargetPlacement;
// The targets of the game's layout for `level` (none for other numbers).
const std::vector<TargetPlacement>& levelTargets(int level);
// The target's model matrix after it has travelled `travelled` along its path.
glm::mat4 targetMatrix(const TargetPlacement& target, float travelled);
// World (x, z) of the level-2 snowmen, which stand on the ground at y -2.
const std::vector<glm::vec2>& snowmanSpots();

// Size of the target model in its own frame: it stands on y 0, faces +x,
// its easel reaches back to x -0.47.
constexpr float targetBack = -0.47f;
constexpr float targetHalfDepth = 0.12f;
constexpr float targetHalfWidth = 0.78f;
constexpr float targetHeight = 1.62f;
constexpr float targetBoardCentre = 0.85f;

struct Level {
    Model drawn;
    Model collision;
    // Placement rules the level could not meet (empty when all is well).
    std::vector<std::string> problems;
};
// Terrain models are placed 2 units down by the game.
constexpr float terrainOffset = -2.0f;

// Landscapes: level 1 (summer), 2 (winter); 3 is the plain landscape used
// for any other level number (drawn only).
Level buildLevel(int number, const Palette& palette);

Model buildSky(const Palette& palette);
Model buildCake(int kind, const Palette& palette);
Model buildHeldCake(const Palette& palette);
Model buildHand(const Palette& palette);
Model buildSnowman();
Model buildSnowmanCollision(float scale);
Model buildTarget();
Model buildTargetCollision();

struct Sound {
    int sampleRate = 22050;
    int channels = 1;
    std::vector<short> samples; // interleaved
};
std::map<std::string, Sound> buildSounds();
std::string saveWav(const Sound& sound, const std::string& path);

} // namespace assetgen
