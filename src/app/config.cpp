#include "app/config.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

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

// A whole number from `lowest` to `highest`, nothing else in the value.
bool parseWholeNumber(const std::string& value, int lowest, int highest, int& out)
{
    int parsed = 0;
    const bool whole = value.find_first_not_of("0123456789") == std::string::npos && parseSize(value, parsed);
    if (!whole || parsed < lowest || parsed > highest)
        return false;
    out = parsed;
    return true;
}

void applySensitivity(const std::string& value, int& field)
{
    if (parseWholeNumber(value, Config::lowestMouseSensitivity, Config::highestMouseSensitivity, field))
        return;
    std::cout << "Configfile: value \"" << value << "\" of mousesensitivity is not a whole number from "
              << Config::lowestMouseSensitivity << " to " << Config::highestMouseSensitivity << "; keeping "
              << field << std::endl;
}

void applyFrameLimit(const std::string& value, int& field)
{
    if (value == "0") {
        field = 0;
        return;
    }
    if (parseWholeNumber(value, Config::lowestFrameLimit, Config::highestFrameLimit, field))
        return;
    std::cout << "Configfile: value \"" << value << "\" of maxfps is neither 0 nor a whole number from "
              << Config::lowestFrameLimit << " to " << Config::highestFrameLimit << "; keeping " << field
              << std::endl;
}

void applySwitch(const std::string& key, const std::string& value, bool& field)
{
    if (value == "true" || value == "false") {
        field = value == "true";
        return;
    }
    std::cout << "Configfile: value \"" << value << "\" of " << key << " is neither true nor false; keeping "
              << (field ? "true" : "false") << std::endl;
}

bool isKeyCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// The leftmost match of ([A-Za-z0-9]+)[ ]*=[ ]*([A-Za-z0-9]+) in the line,
// found in one pass: std::regex recurses once per character it matches and
// overflows the stack on a line of some hundred thousand letters. Only a
// whole run of letters and digits can be the key (a shorter tail of it would
// be followed by a letter, not a blank or "="), and the value is the whole
// run after the "=".
bool findPair(const std::string& line, std::string& key, std::string& value)
{
    const std::size_t n = line.size();
    std::size_t i = 0;
    while (i < n) {
        if (!isKeyCharacter(line[i])) {
            ++i;
            continue;
        }
        const std::size_t keyBegin = i;
        while (i < n && isKeyCharacter(line[i]))
            ++i;
        const std::size_t keyEnd = i;
        std::size_t j = keyEnd;
        while (j < n && line[j] == ' ')
            ++j;
        if (j == n || line[j] != '=')
            continue;
        ++j;
        while (j < n && line[j] == ' ')
            ++j;
        const std::size_t valueBegin = j;
        while (j < n && isKeyCharacter(line[j]))
            ++j;
        if (j == valueBegin)
            continue;
        key.assign(line, keyBegin, keyEnd - keyBegin);
        value.assign(line, valueBegin, j - valueBegin);
        return true;
    }
    return false;
}

} // namespace

Config::Config(const std::string& fileName)
{
    std::ifstream file(fileName);
    if (!file) {
        std::cout << "Configfile: \"" << fileName << "\" not found" << std::endl;
        return;
    }
    std::cout << "Configfile: \"" << fileName << "\"" << std::endl;

    // The leftmost key = value pair anywhere in the line counts, so comment
    // marks before it and comments after it are ignored.
    std::string line;
    std::string key;
    std::string value;
    while (std::getline(file, line)) {
        if (!findPair(line, key, value))
            continue;
        if (key == "resolutionx")
            applySize(key, "Resolutionx: ", value, width);
        else if (key == "resolutiony")
            applySize(key, "Resolutiony: ", value, height);
        else if (key == "fullscreen")
            fullscreen = (value == "true");
        else if (key == "mousesensitivity")
            applySensitivity(value, mouseSensitivity);
        else if (key == "invertmouse")
            applySwitch(key, value, invertMouse);
        else if (key == "maxfps")
            applyFrameLimit(value, maxFramesPerSecond);
    }
}

std::string configFileName()
{
    namespace fs = std::filesystem;
    const std::string defaultFile = "config.conf";
    fs::path configHome;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && fs::path(xdg).is_absolute()) {
        configHome = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || *home == '\0')
            return defaultFile;
        configHome = fs::path(home) / ".config";
    }
    const fs::path own = configHome / "crumbrise" / "config.conf";
    std::error_code unreadable;
    return fs::is_regular_file(own, unreadable) ? own.string() : defaultFile;
}

} // namespace frosk
