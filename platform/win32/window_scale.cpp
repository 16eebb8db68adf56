// Where the 640 x 480 picture goes in a window of any size, and our own enlargement of it for the
// window surface (no library): whole multiples by repeating pixels, then a smooth fit of the rest.
#include "window_internal.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr int WEIGHT_ONE = 256;

inline uint32_t Rgb565To888(uint16_t v)
{
    uint32_t r = (v >> 11) & 31, g = (v >> 5) & 63, b = v & 31;
    return ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
}

// weight is B's share, 0..256.
inline uint32_t Blend(uint32_t a, uint32_t b, uint32_t weight)
{
    uint32_t keep = WEIGHT_ONE - weight;
    uint32_t redBlue = (((a & 0xFF00FF) * keep + (b & 0xFF00FF) * weight) >> 8) & 0xFF00FF;
    uint32_t green = (((a & 0x00FF00) * keep + (b & 0x00FF00) * weight) >> 8) & 0x00FF00;
    return redBlue | green;
}

// For each target pixel, the two source pixels it lies between and B's weight. Sharp and Whole
// first enlarge by the whole factor (pixels repeated), then sample that smoothly.
void BuildAxis(int source, int target, int factor, std::vector<int32_t>* a, std::vector<int32_t>* b,
               std::vector<uint16_t>* weight)
{
    a->resize(static_cast<size_t>(target));
    b->resize(static_cast<size_t>(target));
    weight->resize(static_cast<size_t>(target));
    const int64_t enlarged = static_cast<int64_t>(source) * factor;
    for (int i = 0; i < target; i++) {
        // Centre of target pixel i in enlarged pixels, 16.16 fixed point, minus half a pixel.
        int64_t position = ((2 * i + 1) * enlarged * 65536) / (2 * static_cast<int64_t>(target)) - 32768;
        int64_t whole = position >> 16;
        int64_t first = std::clamp<int64_t>(whole, 0, enlarged - 1);
        int64_t second = std::clamp<int64_t>(whole + 1, 0, enlarged - 1);
        int32_t sourceA = static_cast<int32_t>(first / factor);
        int32_t sourceB = static_cast<int32_t>(second / factor);
        (*a)[static_cast<size_t>(i)] = sourceA;
        (*b)[static_cast<size_t>(i)] = sourceB;
        (*weight)[static_cast<size_t>(i)] =
            sourceA == sourceB || position < 0 ? 0 : static_cast<uint16_t>((position & 0xFFFF) >> 8);
    }
}

void EnlargeRow(const SoftwareScaler& scaler, const uint16_t* row, uint32_t* out)
{
    for (int x = 0; x < scaler.targetWidth; x++) {
        size_t i = static_cast<size_t>(x);
        uint32_t a = Rgb565To888(row[scaler.columnA[i]]);
        uint16_t weight = scaler.columnWeight[i];
        out[x] = weight ? Blend(a, Rgb565To888(row[scaler.columnB[i]]), weight) : a;
    }
}
} // namespace

int WholeFactorFor(int areaWidth, int areaHeight)
{
    return std::max(1, std::min(areaWidth / POINTER_WIDTH, areaHeight / POINTER_HEIGHT));
}

ScaledPlacement PlacePicture(int windowWidth, int windowHeight, int pictureWidth, int pictureHeight, ScaleMode mode)
{
    ScaledPlacement placement;
    if (windowWidth <= 0 || windowHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0)
        return placement;
    int factor = std::min(windowWidth / pictureWidth, windowHeight / pictureHeight);
    placement.wholeFactor = std::max(1, factor);
    if (mode == ScaleMode::Whole && factor >= 1) {
        placement.width = pictureWidth * factor;
        placement.height = pictureHeight * factor;
    } else if (static_cast<int64_t>(windowWidth) * pictureHeight > static_cast<int64_t>(windowHeight) * pictureWidth) {
        placement.height = windowHeight; // wider than the picture: bars left and right
        placement.width = static_cast<int>(static_cast<int64_t>(windowHeight) * pictureWidth / pictureHeight);
    } else {
        placement.width = windowWidth;
        placement.height = static_cast<int>(static_cast<int64_t>(windowWidth) * pictureHeight / pictureWidth);
    }
    placement.x = (windowWidth - placement.width) / 2;
    placement.y = (windowHeight - placement.height) / 2;
    return placement;
}

void WindowToPicture(const ScaledPlacement& placement, int x, int y, int* pictureX, int* pictureY)
{
    if (placement.width <= 0 || placement.height <= 0) { // a window too small to show anything
        *pictureX = std::clamp(x, 0, POINTER_WIDTH - 1);
        *pictureY = std::clamp(y, 0, POINTER_HEIGHT - 1);
        return;
    }
    // The picture pixel under the centre of the window pixel; floor division, also left of 0.
    auto map = [](int64_t offset, int64_t size, int64_t picture) {
        int64_t numerator = (2 * offset + 1) * picture;
        int64_t denominator = 2 * size;
        return numerator >= 0 ? numerator / denominator : -((-numerator + denominator - 1) / denominator);
    };
    int64_t px = map(x - placement.x, placement.width, POINTER_WIDTH);
    int64_t py = map(y - placement.y, placement.height, POINTER_HEIGHT);
    *pictureX = static_cast<int>(std::clamp<int64_t>(px, 0, POINTER_WIDTH - 1));
    *pictureY = static_cast<int>(std::clamp<int64_t>(py, 0, POINTER_HEIGHT - 1));
}

void ScalePicture(SoftwareScaler* scaler, const uint16_t* pixels, int width, int height, int pitchPixels,
                  ScaleMode mode, uint32_t* target, int targetWidth, int targetHeight, int targetPitchPixels)
{
    if (!pixels || !target || width <= 0 || height <= 0 || targetWidth <= 0 || targetHeight <= 0)
        return;
    if (scaler->sourceWidth != width || scaler->sourceHeight != height || scaler->targetWidth != targetWidth ||
        scaler->targetHeight != targetHeight || scaler->mode != mode) {
        scaler->sourceWidth = width, scaler->sourceHeight = height;
        scaler->targetWidth = targetWidth, scaler->targetHeight = targetHeight;
        scaler->mode = mode;
        int factor = mode == ScaleMode::Smooth ? 1 : std::max(1, std::min(targetWidth / width, targetHeight / height));
        BuildAxis(width, targetWidth, factor, &scaler->columnA, &scaler->columnB, &scaler->columnWeight);
        BuildAxis(height, targetHeight, factor, &scaler->rowA, &scaler->rowB, &scaler->rowWeight);
        scaler->rowBuffer.assign(static_cast<size_t>(targetWidth) * 2, 0);
    }
    // Two enlarged source rows are kept, so that rows repeated by the whole factor cost a copy.
    uint32_t* enlarged[2] = {scaler->rowBuffer.data(), scaler->rowBuffer.data() + targetWidth};
    int held[2] = {-1, -1};
    // The row kept is never the one replaced.
    auto rowOf = [&](int sourceRow, const uint32_t* keep) -> const uint32_t* {
        for (int i = 0; i < 2; i++)
            if (held[i] == sourceRow)
                return enlarged[i];
        int slot = enlarged[0] == keep ? 1 : 0;
        EnlargeRow(*scaler, pixels + static_cast<ptrdiff_t>(sourceRow) * pitchPixels, enlarged[slot]);
        held[slot] = sourceRow;
        return enlarged[slot];
    };
    for (int y = 0; y < targetHeight; y++) {
        size_t i = static_cast<size_t>(y);
        uint32_t* out = target + static_cast<ptrdiff_t>(y) * targetPitchPixels;
        const uint32_t* first = rowOf(scaler->rowA[i], nullptr);
        uint16_t weight = scaler->rowWeight[i];
        if (!weight) {
            std::memcpy(out, first, static_cast<size_t>(targetWidth) * sizeof(uint32_t));
            continue;
        }
        const uint32_t* second = rowOf(scaler->rowB[i], first);
        for (int x = 0; x < targetWidth; x++)
            out[x] = Blend(first[x], second[x], weight);
    }
}
