#pragma once

// What every fuzz target of the game's loaders shares: a private working
// directory for the files the loaders read by fixed names, a hidden GL
// context, and fatal load errors turned into exceptions so that a refused
// file ends only the current input, not the fuzzer.

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// Thrown where the game prints its message and ends the process.
struct FatalExit {
    int status;
};

// Makes a fresh directory under /tmp the working directory (once per
// process) and returns its path; the runtime's "Shader" and "Textures"
// directories are linked into it.
const std::string& workDirectory();

// Writes the input to `relativePath` under the working directory and returns
// the path relative to it.
std::string writeInput(const std::string& relativePath, const std::uint8_t* data, std::size_t size);

// A hidden 800x600 window with a current GL 3.3 core context; ends the
// process with a message when there is none (no X server).
void openGlContext();

// The loaders report on standard output for every bad file; the fuzzer's own
// report goes to standard error. CRUMBRISE_FUZZ_VERBOSE=1 keeps the messages.
void quietStandardOutput();

} // namespace fuzz
