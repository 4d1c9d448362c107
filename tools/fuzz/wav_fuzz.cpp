// Sounds: any bytes as the throw sound, loaded into its slot through ALUT on
// OpenAL's silent device.
#include "fuzz_support.h"

#include "sound/sound.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::quietStandardOutput();
    fuzz::workDirectory();
    setenv("ALSOFT_DRIVERS", "null", 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::writeInput(frosk::Sound::fileName(1), data, size);
    frosk::Sound sound;
    sound.load(1);
    sound.play(1);
    return 0;
}
