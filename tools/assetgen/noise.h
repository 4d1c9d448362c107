#pragma once

// Deterministic randomness: the same seed gives the same numbers on every
// run, so the data set comes out byte for byte the same.

#include <cstdint>

namespace assetgen {

inline uint32_t hash32(uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

inline uint32_t hash3(int32_t a, int32_t b, uint32_t seed)
{
    return hash32(static_cast<uint32_t>(a) * 0x9e3779b1U ^ hash32(static_cast<uint32_t>(b) + seed * 0x85ebca6bU));
}

// A small generator with a fixed sequence (xorshift on a hashed seed).
class Rng {
public:
    explicit Rng(uint32_t seed) : state(hash32(seed) | 1U) {}
    uint32_t next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    // Uniform in [0, 1).
    float uniform() { return static_cast<float>(next() >> 8) * (1.0f / 16777216.0f); }
    float range(float low, float high) { return low + (high - low) * uniform(); }

private:
    uint32_t state;
};

// Value noise in [0, 1] on a lattice that repeats every `period` cells
// (period 0: no repetition), smoothly interpolated.
float valueNoise(float x, float y, int period, uint32_t seed);
// Sum of `octaves` layers of value noise, each of twice the frequency and
// half the weight; normalised to [0, 1].
float fbm(float x, float y, int octaves, int period, uint32_t seed);

} // namespace assetgen
