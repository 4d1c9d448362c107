#include "modelLoader/image_check.h"

#include <cstdint>
#include <cstring>
#include <fstream>

namespace frosk::modelLoader {

bool imageFileIsWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return true; // DevIL reports the missing file.
    in.seekg(0, std::ios::end);
    const std::uint64_t size = static_cast<std::uint64_t>(in.tellg());
    in.seekg(0);
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    unsigned char head[8];
    if (!in.read(reinterpret_cast<char*>(head), sizeof head) || std::memcmp(head, signature, sizeof head) != 0)
        return true;
    std::uint64_t offset = sizeof head;
    unsigned char chunk[8];
    while (in.seekg(static_cast<std::streamoff>(offset)) && in.read(reinterpret_cast<char*>(chunk), sizeof chunk)) {
        const std::uint64_t length = (std::uint64_t{chunk[0]} << 24) | (chunk[1] << 16) | (chunk[2] << 8) | chunk[3];
        // Length and type, the data, and the checksum after it.
        if (length + 12 > size - offset)
            return false;
        if (std::memcmp(chunk + 4, "IEND", 4) == 0)
            return true;
        offset += length + 12;
    }
    return false;
}

} // namespace frosk::modelLoader
