// Which texels of a decal texture are drawn at all, counted over rectangles and marked one by one,
// so that a span whose texels are all transparent (most of a starry sky) can be passed over
// without being drawn, and the few drawn texels near a face found.
#include "raster_internal.h"

#include <cstring>

size_t RasterOpaqueSumsSize(const RasterTexture& texture)
{
    const size_t height = size_t(1) << texture.heightShift;
    return OpaqueBitsAt(texture) + height * OpaqueWordsPerRow(texture) * 4;
}

size_t RasterCountOpaque(const RasterTexture& texture, uint16_t* sums)
{
    size_t drawn = 0;
    const size_t width = size_t(1) << texture.widthShift, height = size_t(1) << texture.heightShift;
    const size_t stride = width + 1, words = OpaqueWordsPerRow(texture);
    const uint32_t key = texture.key & RGB565_BITS;
    for (size_t x = 0; x <= width; x++)
        sums[x] = 0;
    uint16_t* const marks = sums + OpaqueBitsAt(texture);
    for (size_t y = 0; y < height; y++) {
        uint16_t row = 0;
        uint64_t bits = 0; // the current word's
        sums[(y + 1) * stride] = 0;
        for (size_t x = 0; x < width; x++) {
            const bool opaque = (texture.texels[y * width + x] & RGB565_BITS) != key;
            drawn += opaque;
            row = static_cast<uint16_t>(row + opaque);
            sums[(y + 1) * stride + x + 1] = static_cast<uint16_t>(sums[y * stride + x + 1] + row);
            bits |= static_cast<uint64_t>(opaque) << (x % 64);
            if (x % 64 == 63 || x + 1 == width) {
                std::memcpy(marks + (y * words + x / 64) * 4, &bits, sizeof bits);
                bits = 0;
            }
        }
    }
    return drawn;
}

namespace {

// Texel columns (or rows) first..last, unwrapped, as at most two ranges within a side of `size`.
int WrappedRanges(int64_t first, int64_t last, int64_t size, int64_t ranges[2][2])
{
    if (last - first + 1 >= size) {
        ranges[0][0] = 0;
        ranges[0][1] = size - 1;
        return 1;
    }
    const int64_t from = first & (size - 1), to = last & (size - 1);
    ranges[0][0] = from;
    if (from <= to) {
        ranges[0][1] = to;
        return 1;
    }
    ranges[0][1] = size - 1;
    ranges[1][0] = 0;
    ranges[1][1] = to;
    return 2;
}

} // namespace

uint32_t OpaqueTexelCountWrapping(const RasterTexture& texture, int64_t firstU, int64_t lastU, int64_t firstV,
                                  int64_t lastV)
{
    const int64_t width = int64_t(1) << texture.widthShift, height = int64_t(1) << texture.heightShift;
    const int64_t stride = width + 1;
    int64_t columns[2][2], rows[2][2];
    const int columnRanges = WrappedRanges(firstU, lastU, width, columns);
    const int rowRanges = WrappedRanges(firstV, lastV, height, rows);
    const uint16_t* sums = texture.opaqueSums;
    uint32_t count = 0;
    for (int c = 0; c < columnRanges; c++) {
        for (int r = 0; r < rowRanges; r++) {
            const int64_t x0 = columns[c][0], x1 = columns[c][1] + 1, y0 = rows[r][0], y1 = rows[r][1] + 1;
            // The sums are kept modulo 2^16, which counts exactly in any rectangle of fewer texels.
            if ((x1 - x0) * (y1 - y0) > 0xFFFF)
                return MANY_TEXELS;
            count += static_cast<uint16_t>(sums[y1 * stride + x1] - sums[y0 * stride + x1] - sums[y1 * stride + x0] +
                                           sums[y0 * stride + x0]);
        }
    }
    return count;
}
