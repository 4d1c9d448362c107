#pragma once

#include <string>
#include <vector>

namespace autoplay {

// What the player sets out to do with one level: clear it, or throw every
// cake away and lose it.
enum class Aim { win, lose };

struct Options {
    // One entry per level played; the run ends when all are played.
    std::vector<Aim> plan{Aim::win, Aim::win};
    int maxFrames = 30000;
    double frameSeconds = 1.0 / 60.0;
    // The window's size; 0 x 0 takes config.conf's.
    int width = 0;
    int height = 0;
    bool visible = false;
    bool checkLeaks = false;
    bool quiet = false;   // no event lines, only the summary
    bool sound = false;   // the real sound device instead of a silent one
    std::string screenshotDir;
    int screenshotEvery = 0;
    unsigned seed = 1;
    // An unsteady hand: every throw leaves up to this many degrees off in
    // yaw and pitch, so that misses happen and are learnt from.
    float wobbleDegrees = 0.0f;
};

// Parses the command line into `options`; false (with `error` set) for an
// unknown flag or a bad value. `help` is set for --help.
bool parseOptions(int argc, char** argv, Options& options, std::string& error, bool& help);
const char* usage();

} // namespace autoplay
