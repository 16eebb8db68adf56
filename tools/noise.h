// Deterministic random numbers and smooth noise for the generated pictures and shapes.
#pragma once

#include <cstdint>

// SplitMix64: the same seed gives the same sequence on every machine.
struct Rng {
    uint64_t state;
    explicit Rng(uint64_t seed) : state(seed) { }
    uint32_t Next();
    float Uniform();                 // 0 <= v < 1
    float Range(float lo, float hi); // lo <= v < hi
};

// Value noise in 0..1 that repeats every periodX by periodY units.
float TileNoise(float x, float y, int periodX, int periodY, uint32_t seed);
// Octaves of TileNoise, each at twice the frequency and half the weight; still tiles with the
// base period. Result in 0..1.
float TileFbm(float x, float y, int periodX, int periodY, int octaves, uint32_t seed);
// Three-dimensional value noise and its octaves, 0..1.
float Noise3(float x, float y, float z, uint32_t seed);
float Fbm3(float x, float y, float z, int octaves, uint32_t seed);
