#pragma once

#include <string>

namespace testsupport {

// OpenAL Soft without a sound card: a silent device (the default for every
// test, set by ctest), or one that writes what it mixes to a WAV file, which
// is complete once the device is closed. Either must be chosen before the
// first device is opened in the process.
void useSilentSound();
void useWaveFileSound(const std::string& wavPath);

} // namespace testsupport
