// Hash-based value noise: cheap, deterministic, tileable on integer periods.
#include "noise.h"

#include "bmp_writer.h"

#include <cmath>

uint32_t Rng::Next()
{
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<uint32_t>((z ^ (z >> 31)) >> 32);
}

float Rng::Uniform()
{
    return static_cast<float>(Next() >> 8) / 16777216.0f;
}

float Rng::Range(float lo, float hi)
{
    return lo + (hi - lo) * Uniform();
}

static uint32_t Hash(int x, int y, int z, uint32_t seed)
{
    uint32_t h = seed * 0x27D4EB2Du;
    h ^= static_cast<uint32_t>(x) * 0x85EBCA6Bu;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<uint32_t>(y) * 0xC2B2AE35u;
    h = (h << 11) | (h >> 21);
    h ^= static_cast<uint32_t>(z) * 0x165667B1u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

static float Lattice(int x, int y, int z, uint32_t seed)
{
    return static_cast<float>(Hash(x, y, z, seed) >> 8) / 16777216.0f;
}

static float Fade(float t)
{
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

static float Lerp(float a, float b, float t)
{
    return a + (b - a) * t;
}

static int Wrap(int v, int period)
{
    if (period <= 0)
        return v;
    const int m = v % period;
    return m < 0 ? m + period : m;
}

float TileNoise(float x, float y, int periodX, int periodY, uint32_t seed)
{
    const int xi = FloorInt(x), yi = FloorInt(y);
    const float fx = Fade(x - static_cast<float>(xi)), fy = Fade(y - static_cast<float>(yi));
    const int x0 = Wrap(xi, periodX), x1 = Wrap(xi + 1, periodX);
    const int y0 = Wrap(yi, periodY), y1 = Wrap(yi + 1, periodY);
    const float a = Lerp(Lattice(x0, y0, 0, seed), Lattice(x1, y0, 0, seed), fx);
    const float b = Lerp(Lattice(x0, y1, 0, seed), Lattice(x1, y1, 0, seed), fx);
    return Lerp(a, b, fy);
}

float TileFbm(float x, float y, int periodX, int periodY, int octaves, uint32_t seed)
{
    float sum = 0.0f, weight = 1.0f, total = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += weight * TileNoise(x, y, periodX, periodY, seed + static_cast<uint32_t>(o) * 101u);
        total += weight;
        x *= 2.0f;
        y *= 2.0f;
        periodX *= 2;
        periodY *= 2;
        weight *= 0.5f;
    }
    return sum / total;
}

float Noise3(float x, float y, float z, uint32_t seed)
{
    const int xi = FloorInt(x), yi = FloorInt(y), zi = FloorInt(z);
    const float fx = Fade(x - static_cast<float>(xi));
    const float fy = Fade(y - static_cast<float>(yi));
    const float fz = Fade(z - static_cast<float>(zi));
    float plane[2];
    for (int k = 0; k < 2; ++k) {
        const float a = Lerp(Lattice(xi, yi, zi + k, seed), Lattice(xi + 1, yi, zi + k, seed), fx);
        const float b = Lerp(Lattice(xi, yi + 1, zi + k, seed), Lattice(xi + 1, yi + 1, zi + k, seed), fx);
        plane[k] = Lerp(a, b, fy);
    }
    return Lerp(plane[0], plane[1], fz);
}

float Fbm3(float x, float y, float z, int octaves, uint32_t seed)
{
    float sum = 0.0f, weight = 1.0f, total = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += weight * Noise3(x, y, z, seed + static_cast<uint32_t>(o) * 101u);
        total += weight;
        // Turn the lattice between octaves so its axes do not line up into visible seams.
        const float nx = 1.60f * x + 1.20f * y, ny = -1.20f * x + 1.28f * y + 0.72f * z;
        const float nz = -0.96f * y + 1.60f * z;
        x = nx + 17.1f;
        y = ny + 3.7f;
        z = nz + 9.3f;
        weight *= 0.5f;
    }
    return sum / total;
}
