// The configuration file: any bytes as "config.conf".
#include "fuzz_support.h"

#include "app/config.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::quietStandardOutput();
    fuzz::workDirectory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const frosk::Config config(fuzz::writeInput("config.conf", data, size));
    // A size the window would be opened with is always a positive int.
    if (config.width <= 0 || config.height <= 0)
        __builtin_trap();
    return 0;
}
