#include "sound/sound.h"
#include "support/sound_device.h"

#include <AL/alut.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Each case runs in a folder of its own with the sound files it needs, since
// the bank reads "Sounds/..." relative to the working directory.
class SoundBank : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous = fs::current_path();
        folder = fs::temp_directory_path() / ("crumbrise-sound-" + std::to_string(getpid()));
        fs::create_directories(folder / "Sounds");
        fs::current_path(folder);
    }
    void TearDown() override
    {
        alutExit();
        fs::current_path(previous);
        fs::remove_all(folder);
    }

    // A mono 16-bit tone of the given length.
    static void writeTone(const std::string& path, double seconds, double hertz = 440.0)
    {
        SF_INFO info{};
        info.samplerate = 22050;
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
        ASSERT_NE(file, nullptr);
        std::vector<short> samples(static_cast<size_t>(seconds * info.samplerate));
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<short>(12000.0 * std::sin(2.0 * M_PI * hertz * static_cast<double>(i) / info.samplerate));
        sf_write_short(file, samples.data(), static_cast<sf_count_t>(samples.size()));
        sf_close(file);
    }

    template <typename F>
    static std::string output(F&& action)
    {
        std::ostringstream captured;
        std::streambuf* old = std::cout.rdbuf(captured.rdbuf());
        action();
        std::cout.rdbuf(old);
        return captured.str();
    }

    fs::path previous;
    fs::path folder;
};

TEST_F(SoundBank, LoadsItsSlotsQuietlyAndLoopsOnlyTheMusic)
{
    for (int slot = 0; slot < frosk::Sound::slotCount; ++slot)
        writeTone(frosk::Sound::fileName(slot), 0.2);

    frosk::Sound sound;
    const std::string printed = output([&] {
        for (int slot = 0; slot < frosk::Sound::slotCount; ++slot)
            sound.load(slot);
    });
    EXPECT_EQ(printed, "");
    for (int slot = 0; slot < frosk::Sound::slotCount; ++slot) {
        ALint looping = -1, buffer = 0, size = 0, frequency = 0;
        alGetSourcei(sound.sources[slot], AL_LOOPING, &looping);
        alGetSourcei(sound.sources[slot], AL_BUFFER, &buffer);
        alGetBufferi(sound.buffers[slot], AL_SIZE, &size);
        alGetBufferi(sound.buffers[slot], AL_FREQUENCY, &frequency);
        EXPECT_EQ(looping, slot == 0 ? AL_TRUE : AL_FALSE) << "slot " << slot;
        EXPECT_EQ(static_cast<ALuint>(buffer), sound.buffers[slot]);
        EXPECT_EQ(size, static_cast<ALint>(0.2 * 22050) * 2) << "16-bit mono samples";
        EXPECT_EQ(frequency, 22050);
    }
}

TEST_F(SoundBank, MissingFileSaysSoAndStaysSilent)
{
    frosk::Sound sound;
    const std::string printed = output([&] { sound.load(1); });
    EXPECT_EQ(printed.rfind("alutLoadWAVFile: ", 0), 0u) << printed;
    sound.play(1);
    ALint state = 0;
    alGetSourcei(sound.sources[1], AL_SOURCE_STATE, &state);
    EXPECT_NE(state, AL_PLAYING);
}

TEST_F(SoundBank, BrokenFileIsReportedNotPlayed)
{
    { std::ofstream("Sounds/throw3.wav") << "RIFF\x10\0\0\0WAVEfmt garbage"; }
    frosk::Sound sound;
    const std::string printed = output([&] { sound.load(1); });
    EXPECT_EQ(printed.rfind("alutLoadWAVFile: ", 0), 0u) << printed;
}

TEST_F(SoundBank, SlotOutsideTheBankIsRefused)
{
    frosk::Sound sound;
    for (int slot : {-1, 5, 1 << 30}) {
        const std::string printed = output([&] { sound.load(slot); });
        EXPECT_EQ(printed, "Sound: no slot " + std::to_string(slot) + " (slots are 0 to 4)\n");
    }
    sound.play(7);
}

TEST_F(SoundBank, PlayingAgainRestartsFromTheBeginning)
{
    writeTone("Sounds/throw3.wav", 2.0);
    frosk::Sound sound;
    sound.load(1);
    sound.play(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ALfloat before = 0.0f, after = 0.0f;
    alGetSourcef(sound.sources[1], AL_SEC_OFFSET, &before);
    sound.play(1);
    alGetSourcef(sound.sources[1], AL_SEC_OFFSET, &after);
    EXPECT_GT(before, 0.1f);
    EXPECT_LT(after, 0.05f);
}

TEST_F(SoundBank, TwoBanksPlayAtTheSameTimeAndReleaseTheirSources)
{
    writeTone("Sounds/GoGoNaruto.wav", 1.0, 220.0);
    writeTone("Sounds/throw3.wav", 1.0, 880.0);
    ALuint musicSource = 0;
    {
        frosk::Sound music;
        frosk::Sound effects;
        music.load(0);
        effects.load(1);
        music.play(0);
        effects.play(1);
        ALint a = 0, b = 0;
        alGetSourcei(music.sources[0], AL_SOURCE_STATE, &a);
        alGetSourcei(effects.sources[1], AL_SOURCE_STATE, &b);
        EXPECT_EQ(a, AL_PLAYING);
        EXPECT_EQ(b, AL_PLAYING);
        musicSource = music.sources[0];
    }
    // Destroying a bank stops its sounds: the source is gone.
    EXPECT_FALSE(alIsSource(musicSource));
}

TEST(SoundWithoutDevice, EveryStepSaysWhatFailedAndTheGameGoesOn)
{
    setenv("ALSOFT_DRIVERS", "no-such-backend", 1);
    std::ostringstream captured;
    std::streambuf* old = std::cout.rdbuf(captured.rdbuf());
    {
        frosk::Sound sound;
        sound.load(0);
        sound.play(0);
    }
    std::cout.rdbuf(old);
    alutExit();
    const std::string printed = captured.str();
    EXPECT_NE(printed.find("alGenBuffers: "), std::string::npos) << printed;
    EXPECT_NE(printed.find("alutLoadWAVFile: "), std::string::npos) << printed;
}

// What the game plays reaches the mixer: OpenAL Soft's wave writer records it.
TEST(SoundCapture, APlayedSoundIsMixedIntoTheOutput)
{
    const fs::path folder = fs::temp_directory_path() / ("crumbrise-capture-" + std::to_string(getpid()));
    fs::create_directories(folder / "Sounds");
    const fs::path previous = fs::current_path();
    fs::current_path(folder);
    const std::string wav = (folder / "mixed.wav").string();
    testsupport::useWaveFileSound(wav);
    {
        SF_INFO info{};
        info.samplerate = 44100;
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* file = sf_open("Sounds/smash1_lower.wav", SFM_WRITE, &info);
        std::vector<short> samples(4410);
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<short>(16000.0 * std::sin(2.0 * M_PI * 1000.0 * static_cast<double>(i) / 44100.0));
        sf_write_short(file, samples.data(), static_cast<sf_count_t>(samples.size()));
        sf_close(file);
    }
    {
        frosk::Sound sound;
        sound.load(2);
        sound.play(2);
        ALint state = AL_PLAYING;
        for (int i = 0; i < 100 && state == AL_PLAYING; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            alGetSourcei(sound.sources[2], AL_SOURCE_STATE, &state);
        }
        EXPECT_EQ(state, AL_STOPPED);
    }
    alutExit();

    SF_INFO info{};
    SNDFILE* mixed = sf_open(wav.c_str(), SFM_READ, &info);
    ASSERT_NE(mixed, nullptr) << sf_strerror(nullptr);
    std::vector<float> samples(static_cast<size_t>(info.frames * info.channels));
    sf_read_float(mixed, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(mixed);
    float peak = 0.0f;
    for (float s : samples)
        peak = std::max(peak, std::fabs(s));
    EXPECT_GT(peak, 0.1f) << "the 0.1 s tone should be in the mix";
    fs::current_path(previous);
    fs::remove_all(folder);
}

} // namespace
