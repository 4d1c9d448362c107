#pragma once

#include "mesh.h"

#include <string>

namespace assetgen {

// Writes the model as COLLADA through Assimp's exporter. The exporter stamps
// the current time into the header; the stamp is replaced by a fixed one so
// that the same model always gives the same bytes. Returns "" or the error.
std::string writeCollada(const Model& model, const std::string& path);

} // namespace assetgen
