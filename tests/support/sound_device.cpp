#include "support/sound_device.h"

#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace testsupport {

void useSilentSound()
{
    setenv("ALSOFT_DRIVERS", "null", 1);
    unsetenv("ALSOFT_CONF");
}

void useWaveFileSound(const std::string& wavPath)
{
    const std::string conf = wavPath + ".alsoft.conf";
    std::ofstream(conf) << "[wave]\nfile=" << wavPath << "\n";
    setenv("ALSOFT_DRIVERS", "wave", 1);
    setenv("ALSOFT_CONF", conf.c_str(), 1);
}

} // namespace testsupport
