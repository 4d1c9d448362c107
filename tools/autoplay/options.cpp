#include "options.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace autoplay {

namespace {

bool toInt(const char* text, int low, int& value)
{
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || parsed < low || parsed > 100000000L)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

bool toPlan(const std::string& text, std::vector<Aim>& plan)
{
    plan.clear();
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = text.find(',', start);
        const std::string word = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (word == "win")
            plan.push_back(Aim::win);
        else if (word == "lose")
            plan.push_back(Aim::lose);
        else
            return false;
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return !plan.empty();
}

} // namespace

const char* usage()
{
    return "usage: crumbrise_autoplay [options]   (run from the game's runtime folder)\n"
           "  --levels N          win levels until level N is reached (default 3)\n"
           "  --lose              throw every cake into the sky and lose level 1\n"
           "  --plan LIST         comma-separated win/lose, one per level played\n"
           "  --frames N          give up after N frames (default 30000)\n"
           "  --dt SECONDS        fixed frame time (default 1/60)\n"
           "  --screenshots DIR   write PNGs of the window into DIR\n"
           "  --every N           ... every N frames (and at each win and loss)\n"
           "  --check-leaks       after each level change, check that the physics bodies\n"
           "                      and GL objects are back to what that level started with\n"
           "  --size WxH          window size instead of config.conf's (smaller plays faster)\n"
           "  --visible           show the window\n"
           "  --sound             play through the real sound device\n"
           "  --seed N            seed of the cake kinds and the wobble (default 1)\n"
           "  --wobble DEGREES    throw up to this far off the aim, at random\n"
           "  --quiet             print only the summary line\n";
}

bool parseOptions(int argc, char** argv, Options& options, std::string& error, bool& help)
{
    help = false;
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        const auto value = [&]() -> const char* {
            if (i + 1 >= argc) {
                error = flag + " needs a value";
                return nullptr;
            }
            return argv[++i];
        };
        int number = 0;
        if (flag == "--help" || flag == "-h") {
            help = true;
        } else if (flag == "--levels") {
            const char* v = value();
            if (v == nullptr || !toInt(v, 2, number)) {
                error = error.empty() ? "--levels takes a level number of 2 or more" : error;
                return false;
            }
            options.plan.assign(static_cast<std::size_t>(number - 1), Aim::win);
        } else if (flag == "--lose") {
            options.plan = {Aim::lose};
        } else if (flag == "--plan") {
            const char* v = value();
            if (v == nullptr || !toPlan(v, options.plan)) {
                error = error.empty() ? "--plan takes a list like win,lose,win" : error;
                return false;
            }
        } else if (flag == "--frames") {
            const char* v = value();
            if (v == nullptr || !toInt(v, 1, options.maxFrames)) {
                error = error.empty() ? "--frames takes a positive count" : error;
                return false;
            }
        } else if (flag == "--dt") {
            const char* v = value();
            char* end = nullptr;
            const double seconds = v ? std::strtod(v, &end) : 0.0;
            if (v == nullptr || end == v || *end != '\0' || !(seconds > 0.0 && seconds <= 0.1)) {
                error = error.empty() ? "--dt takes a frame time above 0 and at most 0.1 s" : error;
                return false;
            }
            options.frameSeconds = seconds;
        } else if (flag == "--size") {
            const char* v = value();
            char tail = 0;
            if (v == nullptr || std::sscanf(v, "%dx%d%c", &options.width, &options.height, &tail) != 2
                || options.width < 64 || options.height < 64 || options.width > 8192 || options.height > 8192) {
                error = error.empty() ? "--size takes a window size like 400x300, 64 to 8192 each way" : error;
                return false;
            }
        } else if (flag == "--screenshots") {
            const char* v = value();
            if (v == nullptr || *v == '\0') {
                error = error.empty() ? "--screenshots takes a folder" : error;
                return false;
            }
            options.screenshotDir = v;
        } else if (flag == "--every") {
            const char* v = value();
            if (v == nullptr || !toInt(v, 1, options.screenshotEvery)) {
                error = error.empty() ? "--every takes a positive frame count" : error;
                return false;
            }
        } else if (flag == "--seed") {
            const char* v = value();
            if (v == nullptr || !toInt(v, 0, number)) {
                error = error.empty() ? "--seed takes a number" : error;
                return false;
            }
            options.seed = static_cast<unsigned>(number);
        } else if (flag == "--wobble") {
            const char* v = value();
            char* end = nullptr;
            const double degrees = v ? std::strtod(v, &end) : -1.0;
            if (v == nullptr || end == v || *end != '\0' || !(degrees >= 0.0 && degrees <= 45.0)) {
                error = error.empty() ? "--wobble takes 0 to 45 degrees" : error;
                return false;
            }
            options.wobbleDegrees = static_cast<float>(degrees);
        } else if (flag == "--check-leaks") {
            options.checkLeaks = true;
        } else if (flag == "--visible") {
            options.visible = true;
        } else if (flag == "--sound") {
            options.sound = true;
        } else if (flag == "--quiet") {
            options.quiet = true;
        } else {
            error = "unknown option " + flag;
            return false;
        }
    }
    return true;
}

} // namespace autoplay
