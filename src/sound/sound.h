#pragma once

#include <AL/al.h>

#include <array>
#include <string>

namespace frosk {

// A bank of five OpenAL sources and buffers with fixed slots. Each owner
// loads the slots it plays and plays them with alSourcePlay(sources[slot]);
// destroying the bank stops and releases all five.
//
// | slot | file                           | loops |
// |  0   | "Sounds/GoGoNaruto.wav"        | yes   |  level 1 music
// |  1   | "Sounds/throw3.wav"            | no    |  throw
// |  2   | "Sounds/smash1_lower.wav"      | no    |  hit
// |  3   | "Sounds/grenadeExplosion.wav"  | no    |  cake at rest
// |  4   | "Sounds/Fake.wav"              | no    |  level 2 jingle
//
// No sound error is fatal: each failing step prints one line and the game
// plays on, silently where the sound could not be had.
// Every sound of the game stops where it is (pauseAllSound) and goes on from
// there (resumeAllSound): the sound device stops mixing in between. Without a
// device, or with one that cannot pause, they do nothing.
void pauseAllSound();
void resumeAllSound();

class Sound {
public:
    static constexpr int slotCount = 5;

    Sound();
    virtual ~Sound();
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    // Loads the slot's file into its buffer and sets up its source. A slot
    // outside 0..4 is refused with a message.
    void load(int slot);
    // Starts the slot's sound from the beginning (restarting it if it plays).
    void play(int slot) const;

    static const char* fileName(int slot);

    bool looping = false;
    ALenum lastError = AL_NO_ERROR;
    std::array<ALuint, slotCount> buffers{};
    std::array<ALuint, slotCount> sources{};

private:
    // Reads alGetError(); on an error prints the message with its number,
    // drops the buffers and waits for a key if someone is at the console.
    bool failed(const std::string& message);
    void report(const std::string& message, int number);

    std::array<ALfloat, 3> sourcePosition{0.0f, 0.0f, 0.0f};
    std::array<ALfloat, 3> sourceVelocity{0.0f, 0.0f, 0.0f};
    std::array<ALfloat, 6> sourceDirection{0.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f};
    std::array<ALfloat, 3> listenerPosition{0.0f, 0.0f, 0.0f};
    std::array<ALfloat, 3> listenerVelocity{0.0f, 0.0f, 0.0f};
    std::array<ALfloat, 6> listenerOrientation{0.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f};
};

} // namespace frosk
