#include "sound/sound.h"

#include "common/console.h"

#include <AL/alc.h>
#include <AL/alext.h>
#include <AL/alut.h>

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <cstring>
#include <fstream>
#include <iostream>

namespace frosk {

namespace {

const char* const files[Sound::slotCount] = {
    "Sounds/GoGoNaruto.wav", "Sounds/throw3.wav", "Sounds/smash1_lower.wav",
    "Sounds/grenadeExplosion.wav", "Sounds/Fake.wav"};

std::uint32_t littleEndian32(const unsigned char* bytes)
{
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

// ALUT trusts the lengths in a WAV file's chunk headers and allocates what
// the data chunk claims, up to 4 GB, before it finds the file is shorter. A
// file passes here when it is a RIFF WAVE whose chunks up to and including
// "data" lie inside the file and which has a "fmt " chunk before the data.
bool chunksFitFile(const char* file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return true; // ALUT reports the missing file itself.
    in.seekg(0, std::ios::end);
    const std::uint64_t fileSize = static_cast<std::uint64_t>(in.tellg());
    in.seekg(0);
    unsigned char header[12];
    if (!in.read(reinterpret_cast<char*>(header), sizeof header) || std::memcmp(header, "RIFF", 4) != 0
        || std::memcmp(header + 8, "WAVE", 4) != 0)
        return false;
    bool format = false;
    std::uint64_t offset = sizeof header;
    unsigned char chunk[8];
    while (in.seekg(static_cast<std::streamoff>(offset)) && in.read(reinterpret_cast<char*>(chunk), sizeof chunk)) {
        const std::uint64_t length = littleEndian32(chunk + 4);
        offset += sizeof chunk;
        if (length > fileSize - offset)
            return false;
        if (std::memcmp(chunk, "fmt ", 4) == 0)
            format = length >= 16;
        else if (std::memcmp(chunk, "data", 4) == 0)
            return format;
        offset += length + (length & 1);
    }
    return false;
}

// The device's own pause: every source, music and effects alike, stops and
// later goes on exactly where it stood, with nothing to remember per source.
void callPauseFunction(const char* name)
{
    ALCcontext* context = alcGetCurrentContext();
    ALCdevice* device = context != nullptr ? alcGetContextsDevice(context) : nullptr;
    if (device == nullptr || alcIsExtensionPresent(device, "ALC_SOFT_pause_device") != ALC_TRUE)
        return;
    if (auto function = reinterpret_cast<LPALCDEVICEPAUSESOFT>(alcGetProcAddress(device, name)))
        function(device);
}

} // namespace

void pauseAllSound()
{
    callPauseFunction("alcDevicePauseSOFT");
}

void resumeAllSound()
{
    callPauseFunction("alcDeviceResumeSOFT");
}

const char* Sound::fileName(int slot)
{
    return slot >= 0 && slot < slotCount ? files[slot] : nullptr;
}

Sound::Sound()
{
    // Every bank asks ALUT for the device and context; only the first call
    // opens them, the later ones fail harmlessly.
    alutInit(nullptr, nullptr);
    alGetError();

    alGenBuffers(slotCount, buffers.data());
    lastError = alGetError();
    if (lastError != AL_NO_ERROR) {
        std::cout << "alGenBuffers: " << lastError << std::endl;
        waitForKeyIfInteractive();
    }
    alGenSources(slotCount, sources.data());
    failed("alGenSources: ");
}

Sound::~Sound()
{
    alDeleteSources(slotCount, sources.data());
    alDeleteBuffers(slotCount, buffers.data());
}

void Sound::report(const std::string& message, int number)
{
    std::cout << message << number << std::endl;
    alDeleteBuffers(slotCount, buffers.data());
    waitForKeyIfInteractive();
}

bool Sound::failed(const std::string& message)
{
    lastError = alGetError();
    if (lastError == AL_NO_ERROR)
        return false;
    report(message, lastError);
    return true;
}

void Sound::load(int slot)
{
    const char* file = fileName(slot);
    if (file == nullptr) {
        std::cout << "Sound: no slot " << slot << " (slots are 0 to " << slotCount - 1 << ")" << std::endl;
        return;
    }
    looping = (slot == 0);

    // ALUT's loader yields the WAV's format, samples, size and rate; on a file
    // it cannot read it says why through its own error number.
    ALenum format = 0;
    ALsizei size = 0;
    ALfloat frequency = 0.0f;
    void* data = nullptr;
    if (!chunksFitFile(file))
        report("alutLoadWAVFile: ", ALUT_ERROR_CORRUPT_OR_TRUNCATED_DATA);
    else if ((data = alutLoadMemoryFromFile(file, &format, &size, &frequency)) == nullptr)
        report("alutLoadWAVFile: ", alutGetError());
    else if (!(frequency >= 1.0f && frequency <= static_cast<float>(std::numeric_limits<ALsizei>::max() / 2))) {
        // A header's sample rate is any 32-bit number; one that no buffer can
        // take marks the file as broken as a truncated one.
        std::free(data);
        data = nullptr;
        size = 0;
        frequency = 0.0f;
        report("alutLoadWAVFile: ", ALUT_ERROR_CORRUPT_OR_TRUNCATED_DATA);
    } else
        failed("alutLoadWAVFile: ");

    alBufferData(buffers[slot], format, data, size, static_cast<ALsizei>(frequency));
    failed("alBufferData buffer " + std::to_string(slot) + ": ");
    std::free(data);

    alSourcei(sources[slot], AL_BUFFER, static_cast<ALint>(buffers[slot]));
    failed("alSourcei: ");

    alSourcefv(sources[slot], AL_POSITION, sourcePosition.data());
    alSourcefv(sources[slot], AL_VELOCITY, sourceVelocity.data());
    alSourcefv(sources[slot], AL_DIRECTION, sourceDirection.data());
    failed("alSourcefv 3: ");

    if (looping)
        alSourcei(sources[slot], AL_LOOPING, AL_TRUE);

    alListenerfv(AL_POSITION, listenerPosition.data());
    alListenerfv(AL_VELOCITY, listenerVelocity.data());
    alListenerfv(AL_ORIENTATION, listenerOrientation.data());
    failed("alListenerfv: ");
}

void Sound::play(int slot) const
{
    if (slot >= 0 && slot < slotCount)
        alSourcePlay(sources[slot]);
}

} // namespace frosk
