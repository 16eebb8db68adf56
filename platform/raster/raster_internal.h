// What the rasteriser's clipping front end hands to its triangle filler.
#pragma once

#include "../internal/platform_private.h"

#include "raster.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

// Sub-pixel precision of snapped vertex positions: 1/16 pixel.
const int SUBPIXEL_BITS = 4;
const int SUBPIXEL_ONE = 1 << SUBPIXEL_BITS;

// A projected vertex: position in 1/16 pixels, 1/z, texture coordinates (texels) times 1/z, and
// the lit colour 0..255 per channel.
struct ScreenVertex {
    int32_t X, Y;
    float q;
    float uq, vq;
    float r, g, b;
};
// The SSE2 code reads a corner's attributes four at a time, from q or from vq on.
static_assert(offsetof(ScreenVertex, uq) == offsetof(ScreenVertex, q) + 4 &&
                  offsetof(ScreenVertex, vq) == offsetof(ScreenVertex, q) + 8 &&
                  offsetof(ScreenVertex, r) == offsetof(ScreenVertex, q) + 12 &&
                  offsetof(ScreenVertex, g) == offsetof(ScreenVertex, q) + 16 &&
                  offsetof(ScreenVertex, b) == offsetof(ScreenVertex, q) + 20,
              "a corner's attributes follow one another");

// After the opaque sums, the same buffer holds a bit for every texel, set where it is drawn: a
// row's bits in 64-bit words, from its first column, so that the few drawn texels in a rectangle
// are found without looking at the others.
inline size_t OpaqueWordsPerRow(const RasterTexture& texture)
{
    return ((size_t(1) << texture.widthShift) + 63) / 64;
}

inline size_t OpaqueBitsAt(const RasterTexture& texture) // in 16-bit values, kept to whole words
{
    const size_t sums = ((size_t(1) << texture.widthShift) + 1) * ((size_t(1) << texture.heightShift) + 1);
    return (sums + 3) / 4 * 4;
}

inline uint64_t OpaqueBits(const RasterTexture& texture, int64_t row, int64_t word)
{
    uint64_t bits;
    std::memcpy(&bits,
                texture.opaqueSums + OpaqueBitsAt(texture) +
                    (static_cast<size_t>(row) * OpaqueWordsPerRow(texture) + static_cast<size_t>(word)) * 4,
                sizeof bits);
    return bits;
}

// How many texels in columns firstU..lastU and rows firstV..lastV (inclusive, before the texture
// repeats) are drawn, each counted once where the rectangle is larger than the texture, or
// MANY_TEXELS where a part is too large to count; the texture must have its opaque sums.
const uint32_t MANY_TEXELS = 0xFFFFFFFFu;
uint32_t OpaqueTexelCountWrapping(const RasterTexture& texture, int64_t firstU, int64_t lastU, int64_t firstV,
                                  int64_t lastV);

inline uint32_t OpaqueTexelCount(const RasterTexture& texture, int64_t firstU, int64_t lastU, int64_t firstV,
                                 int64_t lastV)
{
    // Most rectangles are a few texels that do not straddle the texture's edge: one look-up.
    const int64_t width = int64_t(1) << texture.widthShift, height = int64_t(1) << texture.heightShift;
    const int64_t x0 = firstU & (width - 1), y0 = firstV & (height - 1);
    const int64_t x1 = x0 + (lastU - firstU) + 1, y1 = y0 + (lastV - firstV) + 1;
    if (x1 > width || y1 > height || (x1 - x0) * (y1 - y0) > 0xFFFF)
        return OpaqueTexelCountWrapping(texture, firstU, lastU, firstV, lastV);
    // The sums are kept modulo 2^16, which counts exactly in any rectangle of fewer texels.
    const uint16_t* sums = texture.opaqueSums;
    const int64_t stride = width + 1;
    return static_cast<uint16_t>(sums[y1 * stride + x1] - sums[y0 * stride + x1] - sums[y1 * stride + x0] +
                                 sums[y0 * stride + x0]);
}

inline bool AnyOpaqueTexel(const RasterTexture& texture, int64_t firstU, int64_t lastU, int64_t firstV, int64_t lastV)
{
    return OpaqueTexelCount(texture, firstU, lastU, firstV, lastV) != 0;
}

// Fills one triangle (clockwise on screen); false when it covers no area.
bool FillTriangle(const RasterTarget& target, const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                  const RasterTexture* texture);

// Defined float-to-integer conversions: NaN gives 0, values out of range saturate. The 64-bit one
// stops at 4e18, so that the difference of two results still fits.
inline int64_t SaturateToInt64(float v)
{
    const float limit = 4.0e18f;
    if (!(v == v))
        return 0;
    if (v >= limit)
        return static_cast<int64_t>(limit);
    if (v <= -limit)
        return -static_cast<int64_t>(limit);
    return static_cast<int64_t>(v);
}

inline int32_t SaturateToInt32(float v)
{
    if (!(v == v))
        return 0;
    if (v >= 2147483520.0f)
        return 2147483520;
    if (v <= -2147483520.0f)
        return -2147483520;
    return static_cast<int32_t>(v);
}

inline int32_t RoundToInt32(float v)
{
    return SaturateToInt32(std::floor(v + 0.5f));
}
