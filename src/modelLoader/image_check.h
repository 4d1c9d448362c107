#pragma once

#include <string>

namespace frosk::modelLoader {

// False for a PNG file whose chunks do not fit in it (a chunk claiming more
// bytes than follow it, or no IEND chunk at the end of the file). DevIL
// hands such a file to libpng with a reader that never reports the end of
// the file, and libpng then checksums the missing gigabytes for minutes.
// Files that are not PNGs are left to DevIL.
bool imageFileIsWhole(const std::string& path);

} // namespace frosk::modelLoader
