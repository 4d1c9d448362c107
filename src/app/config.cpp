#include "app/config.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <regex>

namespace frosk {

namespace {

// The value of a size key: the leading decimal digits, so "1024px" is 1024.
// A value without leading digits, one too large for an int, or zero is no
// usable window size; the caller keeps its default then.
bool parseSize(const std::string& value, int& out)
{
    if (value.empty() || value[0] < '0' || value[0] > '9')
        return false;
    errno = 0;
    const long parsed = std::strtol(value.c_str(), nullptr, 10);
    if (errno == ERANGE || parsed > INT_MAX || parsed <= 0)
        return false;
    out = static_cast<int>(parsed);
    return true;
}

void applySize(const std::string& key, const std::string& label, const std::string& value, int& field)
{
    std::cout << label << value << std::endl;
    if (!parseSize(value, field))
        std::cout << "Configfile: value \"" << value << "\" of " << key
                  << " is not a positive whole number; keeping " << field << std::endl;
}

} // namespace

Config::Config(const std::string& fileName)
{
    std::ifstream file(fileName);
    if (!file) {
        std::cout << "Configfile: \"" << fileName << "\" not found" << std::endl;
        return;
    }

    // The leftmost key = value pair anywhere in the line counts, so comment
    // marks before it and comments after it are ignored.
    static const std::regex pair("([A-Za-z0-9]+)[ ]*=[ ]*([A-Za-z0-9]+)");
    std::string line;
    while (std::getline(file, line)) {
        std::smatch match;
        if (!std::regex_search(line, match, pair))
            continue;
        const std::string key = match[1];
        const std::string value = match[2];
        if (key == "resolutionx")
            applySize(key, "Resolutionx: ", value, width);
        else if (key == "resolutiony")
            applySize(key, "Resolutiony: ", value, height);
        else if (key == "fullscreen")
            fullscreen = (value == "true");
    }
}

} // namespace frosk
