// What a level plays, as OpenAL Soft's wave writer records the mix.
#include "support/game_world.h"
#include "support/sound_device.h"

#include "app/game.h"
#include "common/globals.h"
#include "levels/level1.h"
#include "levels/level2.h"
#include "sound/sound.h"

#include <AL/al.h>
#include <sndfile.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <thread>
#include <unistd.h>

namespace {

void wait(double seconds)
{
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

// Peak of each 0.1 s window of a recorded mix.
std::vector<float> windowPeaks(const std::string& path)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr)
        return {};
    std::vector<float> samples(static_cast<size_t>(info.frames * info.channels));
    sf_read_float(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);
    const size_t window = static_cast<size_t>(info.samplerate / 10 * info.channels);
    std::vector<float> peaks;
    for (size_t start = 0; start + window <= samples.size(); start += window) {
        float peak = 0.0f;
        for (size_t i = start; i < start + window; ++i)
            peak = std::max(peak, std::fabs(samples[i]));
        peaks.push_back(peak);
    }
    return peaks;
}

} // namespace

class LevelSound : public GameWorld {
protected:
    void SetUp() override
    {
        wav = (std::filesystem::temp_directory_path() / ("crumbrise-mix-" + std::to_string(getpid()) + ".wav")).string();
        testsupport::useWaveFileSound(wav);
        GameWorld::SetUp();
    }
    // Closes the device, which completes the recording.
    std::vector<float> recording()
    {
        GameWorld::TearDown();
        return windowPeaks(wav);
    }
    void TearDown() override
    {
        if (frosk::config != nullptr)
            GameWorld::TearDown();
        std::filesystem::remove(wav);
        std::filesystem::remove(wav + ".alsoft.conf");
    }

    std::string wav;
};

TEST_F(LevelSound, LevelOneMusicPlaysUntilTheLevelIsDestroyed)
{
    auto* level = dynamic_cast<frosk::levels::Level1*>(frosk::level);
    ASSERT_NE(level, nullptr);
    ALint looping = 0;
    alGetSourcei(level->sound->sources[0], AL_LOOPING, &looping);
    EXPECT_EQ(looping, AL_TRUE);
    wait(0.8);
    delete frosk::level;
    frosk::level = nullptr;
    wait(0.8);
    const std::vector<float> peaks = recording();
    ASSERT_GE(peaks.size(), 12u) << "the wave writer recorded " << peaks.size() << " windows";
    float musicPeak = 0.0f;
    for (size_t i = 0; i + 8 < peaks.size(); ++i)
        musicPeak = std::max(musicPeak, peaks[i]);
    EXPECT_GT(musicPeak, 0.05f) << "music while the level stands";
    for (size_t i = peaks.size() - 4; i < peaks.size(); ++i)
        EXPECT_LT(peaks[i], 0.001f) << "silence after the level is gone, window " << i;
}

TEST_F(LevelSound, LevelTwoPlaysItsJingleOnce)
{
    delete frosk::level;
    frosk::level = new frosk::levels::Level2(frosk::levelResources());
    auto* level = dynamic_cast<frosk::levels::Level2*>(frosk::level);
    const ALuint jingle = level->sound->sources[4];
    ALint looping = 1;
    alGetSourcei(jingle, AL_LOOPING, &looping);
    EXPECT_EQ(looping, AL_FALSE);
    ALint state = 0;
    alGetSourcei(jingle, AL_SOURCE_STATE, &state);
    EXPECT_EQ(state, AL_PLAYING);
    for (int i = 0; i < 100 && state == AL_PLAYING; ++i) {
        wait(0.1);
        alGetSourcei(jingle, AL_SOURCE_STATE, &state);
    }
    EXPECT_EQ(state, AL_STOPPED) << "the jingle ends by itself";
    wait(0.5);
    const std::vector<float> peaks = recording();
    ASSERT_GE(peaks.size(), 6u);
    EXPECT_GT(*std::max_element(peaks.begin(), peaks.end()), 0.05f);
    EXPECT_LT(peaks.back(), 0.001f) << "and does not come back";
}
