#pragma once

#include <string>

namespace frosk {

// Start-up settings from "config.conf": window size and full-screen mode.
class Config {
public:
    explicit Config(const std::string& fileName);
    virtual ~Config() = default;

    int width = 800;
    int height = 600;
    bool fullscreen = false;
};

} // namespace frosk
