#pragma once

// Checks of the written data set, reading every file back the way the game
// does. Each returns the problems it found, as messages for the build log.

#include <cstddef>
#include <string>
#include <vector>

namespace assetgen {

using Problems = std::vector<std::string>;

struct ModelRules {
    bool drawn = true;         // read with the drawn-model flags, else the collision flags
    size_t triangleBudget = 0; // most triangles allowed
};

// Reads a model back with the game's import flags: it must load completely,
// keep an identity root, stay within its budget, carry normals (and, when
// drawn, UVs and vertex colours) and name only textures that exist.
Problems checkModel(const std::string& root, const std::string& file, const ModelRules& rules);
// The snowman's arms: the root's first child has at least two children.
Problems checkSnowmanShape(const std::string& root);
// A cake fills its physics box of half extents (1, 0.5, 1) and stays inside it.
Problems checkCakeBounds(const std::string& root, const std::string& file);
// The hand and the held cake lie low and to the right of the view, and
// beyond the near plane in every pose of the throw.
Problems checkHeldInView(const std::string& root, const std::string& file);
// Level play: every target is carried, moves through open air and can be
// seen from somewhere in the field; the player and the snowmen land on ground.
Problems checkLevelPlay(const std::string& root, const std::string& collisionFile, int level);
// Images and sounds read back as written.
Problems checkImage(const std::string& path, const std::vector<unsigned char>& rgba, int width, int height);
Problems checkSound(const std::string& path, const std::vector<short>& samples, int sampleRate);
Problems checkFont(const std::string& path);

} // namespace assetgen
