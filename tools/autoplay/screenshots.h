#pragma once

#include <string>

namespace autoplay {

// PNG pictures of what the window shows, read back from the frame just drawn
// (before it is presented).
class Screenshots {
public:
    Screenshots(std::string folder, int width, int height);

    // Writes <folder>/<name>.png; false when it cannot be written.
    bool take(const std::string& name) const;
    bool enabled() const { return !folder.empty(); }

private:
    std::string folder;
    int width;
    int height;
};

} // namespace autoplay
