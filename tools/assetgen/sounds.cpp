#include "assetgen.h"
#include "noise.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>

namespace assetgen {

namespace {

constexpr float pi = 3.14159265358979f;
constexpr int rate = 22050;

// Chamberlin state-variable filter: one sample in, low and band pass out.
struct Filter {
    float low = 0.0f, bandPass = 0.0f;
    void step(float in, float cutoff, float damping)
    {
        const float f = 2.0f * std::sin(pi * std::min(cutoff, rate * 0.2f) / rate);
        low += f * bandPass;
        const float high = in - low - damping * bandPass;
        bandPass += f * high;
    }
};

float noise(Rng& rng) { return rng.uniform() * 2.0f - 1.0f; }

// Scales to a peak of `peak`, with short fades at both ends so that no
// effect starts or stops with a click.
Sound finish(std::vector<float> signal, float peak, bool fadeEnds)
{
    float maxAbs = 1e-6f;
    for (float s : signal)
        maxAbs = std::max(maxAbs, std::abs(s));
    const size_t fade = rate / 200;
    Sound sound;
    sound.sampleRate = rate;
    sound.samples.resize(signal.size());
    for (size_t i = 0; i < signal.size(); ++i) {
        float g = peak / maxAbs;
        if (fadeEnds) {
            g *= std::min(1.0f, static_cast<float>(i) / fade);
            g *= std::min(1.0f, static_cast<float>(signal.size() - 1 - i) / fade);
        }
        sound.samples[i] = static_cast<short>(std::lround(std::clamp(signal[i] * g, -1.0f, 1.0f) * 32767.0f));
    }
    return sound;
}

Sound whoosh()
{
    const int n = static_cast<int>(0.45f * rate);
    std::vector<float> s(n);
    Rng rng(201);
    Filter f;
    for (int i = 0; i < n; ++i) {
        const float t = static_cast<float>(i) / n;
        const float sweep = 350.0f + 2400.0f * std::sin(pi * std::pow(t, 0.7f));
        f.step(noise(rng), sweep, 0.35f);
        const float env = std::pow(std::sin(pi * std::pow(t, 0.6f)), 2.0f);
        s[i] = f.bandPass * env;
    }
    return finish(s, 0.7f, true);
}

Sound splat()
{
    const int n = static_cast<int>(0.4f * rate);
    std::vector<float> s(n);
    Rng rng(211);
    Filter f;
    float phase = 0.0f;
    for (int i = 0; i < n; ++i) {
        const float t = static_cast<float>(i) / rate;
        f.step(noise(rng), 1400.0f * std::exp(-t * 12.0f) + 200.0f, 0.9f);
        const float squish = f.low * std::exp(-t * 14.0f) * (1.0f + 0.6f * std::exp(-std::pow((t - 0.05f) / 0.015f, 2.0f)));
        phase += 2.0f * pi * (110.0f * std::exp(-t * 8.0f) + 45.0f) / rate;
        const float thump = std::sin(phase) * std::exp(-t * 18.0f);
        s[i] = squish * 1.6f + thump * 0.8f;
    }
    return finish(s, 0.75f, true);
}

Sound explosion()
{
    const int n = static_cast<int>(1.6f * rate);
    std::vector<float> s(n);
    Rng rng(221);
    Filter f, g;
    float phase = 0.0f;
    for (int i = 0; i < n; ++i) {
        const float t = static_cast<float>(i) / rate;
        const float attack = std::min(1.0f, t / 0.004f);
        f.step(noise(rng), 3500.0f * std::exp(-t * 4.0f) + 120.0f, 0.7f);
        g.step(f.low, 900.0f, 1.0f);
        phase += 2.0f * pi * (60.0f * std::exp(-t * 2.0f) + 32.0f) / rate;
        const float rumble = std::sin(phase) * std::exp(-t * 2.5f);
        const float crackle = (rng.uniform() < 0.004f * std::exp(-t * 3.0f)) ? noise(rng) * 2.0f : 0.0f;
        const float body = (f.low * 0.8f + g.low * 0.6f) * std::exp(-t * 2.2f);
        s[i] = std::tanh(attack * (body * 2.5f + rumble * 0.9f + crackle));
    }
    return finish(s, 0.9f, true);
}

float noteFrequency(int midi) { return 440.0f * std::pow(2.0f, (midi - 69) / 12.0f); }

// A plucked or bell-like note added into `out` from sample `start` on; the
// buffer wraps round when `loop` is set so that a tail crossing the end
// continues at the beginning.
void addNote(std::vector<float>& out, size_t start, int midi, float seconds, float gain, float brightness,
             float decay, bool loop)
{
    const float freq = noteFrequency(midi);
    const size_t n = static_cast<size_t>(seconds * rate);
    for (size_t i = 0; i < n; ++i) {
        const float t = static_cast<float>(i) / rate;
        const float env = std::min(1.0f, t / 0.005f) * std::exp(-t * decay) * std::min(1.0f, (seconds - t) / 0.02f);
        float v = 0.0f;
        for (int h = 1; h <= 4; ++h)
            v += std::sin(2.0f * pi * freq * h * t) * std::pow(brightness, static_cast<float>(h - 1)) / h;
        const size_t at = start + i;
        if (at >= out.size() && !loop)
            break;
        out[at % out.size()] += v * env * gain;
    }
}

void addDrum(std::vector<float>& out, size_t start, int kind, Rng& rng)
{
    const size_t n = static_cast<size_t>(0.25f * rate);
    Filter f;
    float phase = 0.0f;
    for (size_t i = 0; i < n; ++i) {
        const float t = static_cast<float>(i) / rate;
        float v = 0.0f;
        if (kind == 0) { // kick
            phase += 2.0f * pi * (50.0f + 90.0f * std::exp(-t * 30.0f)) / rate;
            v = std::sin(phase) * std::exp(-t * 14.0f) * 0.9f;
        } else if (kind == 1) { // snare
            f.step(noise(rng), 3000.0f, 0.6f);
            v = (f.bandPass * 0.9f + std::sin(2.0f * pi * 190.0f * t) * 0.3f) * std::exp(-t * 22.0f) * 0.6f;
        } else { // hat
            const float x = noise(rng);
            f.step(x, 6000.0f, 0.5f);
            v = (x - f.low) * std::exp(-t * 70.0f) * 0.18f;
        }
        out[(start + i) % out.size()] += v;
    }
}

// 24 seconds at 120 beats a minute: three rounds of C, G, A minor, F with
// bass, off-beat chords, a bouncy lead and drums.
Sound music()
{
    const int beatsPerBar = 4, bars = 12;
    const float beat = 0.5f;
    const size_t beatSamples = static_cast<size_t>(beat * rate);
    std::vector<float> s(beatSamples * beatsPerBar * bars, 0.0f);
    Rng rng(231);
    const int roots[4] = {48, 43, 45, 41};                   // C3 G2 A2 F2
    const int chords[4][3] = {{60, 64, 67}, {59, 62, 67}, {60, 64, 69}, {60, 65, 69}};
    // Lead notes per eighth, -1 for a rest; one phrase per bar of the progression.
    const int melody[4][8] = {{72, -1, 76, 79, 76, -1, 74, 72},
                              {74, -1, 71, 74, 79, -1, 77, 74},
                              {76, -1, 72, 76, 81, 79, 76, -1},
                              {77, 76, 74, -1, 72, 74, 76, 79}};
    for (int bar = 0; bar < bars; ++bar) {
        const int c = bar % 4;
        const size_t barStart = bar * beatsPerBar * beatSamples;
        for (int b = 0; b < beatsPerBar; ++b) {
            const size_t at = barStart + b * beatSamples;
            addNote(s, at, roots[c] + (b % 2 ? 12 : 0), 0.45f, 0.55f, 0.35f, 4.0f, true);
            for (int k = 0; k < 3; ++k)
                addNote(s, at + beatSamples / 2, chords[c][k], 0.22f, 0.16f, 0.5f, 10.0f, true);
            addDrum(s, at, b % 2 == 0 ? 0 : 1, rng);
            addDrum(s, at, 2, rng);
            addDrum(s, at + beatSamples / 2, 2, rng);
        }
        // The third round plays the lead an octave lower for variety.
        const int shift = (bar / 4 == 1) ? -12 : 0;
        for (int e = 0; e < 8; ++e)
            if (melody[c][e] >= 0)
                addNote(s, barStart + e * beatSamples / 2, melody[c][e] + shift, 0.3f, 0.28f, 0.6f, 6.0f, true);
    }
    return finish(s, 0.8f, false);
}

Sound jingle()
{
    const int n = static_cast<int>(1.8f * rate);
    std::vector<float> s(n, 0.0f);
    const int notes[6] = {72, 76, 79, 84, 83, 84};
    const float times[6] = {0.0f, 0.12f, 0.24f, 0.36f, 0.6f, 0.75f};
    for (int i = 0; i < 6; ++i)
        addNote(s, static_cast<size_t>(times[i] * rate), notes[i], i == 5 ? 1.0f : 0.35f, 0.5f, 0.3f,
                i == 5 ? 3.0f : 7.0f, false);
    for (int k : {60, 64, 67})
        addNote(s, static_cast<size_t>(0.75f * rate), k, 1.0f, 0.25f, 0.4f, 3.0f, false);
    return finish(s, 0.75f, true);
}

} // namespace

std::map<std::string, Sound> buildSounds()
{
    std::map<std::string, Sound> sounds;
    sounds.emplace("Sounds/GoGoNaruto.wav", music());
    sounds.emplace("Sounds/throw3.wav", whoosh());
    sounds.emplace("Sounds/smash1_lower.wav", splat());
    sounds.emplace("Sounds/grenadeExplosion.wav", explosion());
    sounds.emplace("Sounds/Fake.wav", jingle());
    return sounds;
}

std::string saveWav(const Sound& sound, const std::string& path)
{
    SF_INFO info{};
    info.samplerate = sound.sampleRate;
    info.channels = sound.channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file)
        return "libsndfile cannot write " + path + ": " + sf_strerror(nullptr);
    const sf_count_t frames = static_cast<sf_count_t>(sound.samples.size() / sound.channels);
    const sf_count_t written = sf_writef_short(file, sound.samples.data(), frames);
    sf_close(file);
    return written == frames ? "" : "short write to " + path;
}

} // namespace assetgen
