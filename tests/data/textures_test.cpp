// The earth and sky textures: sizes, no holes in the earth, a sky that lets the title through.
#include "data_bitmaps.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

bool PowerOfTwo(int v)
{
    return v > 0 && (v & (v - 1)) == 0;
}

int ColourDistance(uint32_t a, uint32_t b)
{
    return std::abs(static_cast<int>(a >> 16 & 0xFF) - static_cast<int>(b >> 16 & 0xFF)) +
        std::abs(static_cast<int>(a >> 8 & 0xFF) - static_cast<int>(b >> 8 & 0xFF)) +
        std::abs(static_cast<int>(a & 0xFF) - static_cast<int>(b & 0xFF));
}

// Mean colour step across a seam: between columns x0 and x1, or rows when byRows is set.
double MeanStep(const Bitmap& b, int a0, int a1, bool byRows)
{
    const int n = byRows ? b.width : b.height;
    double sum = 0;
    for (int i = 0; i < n; ++i)
        sum += byRows ? ColourDistance(b.At(i, a0), b.At(i, a1)) : ColourDistance(b.At(a0, i), b.At(a1, i));
    return sum / n;
}

} // namespace

TEST(DataTextures, EarthHasNoTransparentTexelsAndTilesSeamlessly)
{
    Bitmap earth;
    ASSERT_TRUE(LoadBitmap("earth2_texture.bmp", earth));
    EXPECT_TRUE(PowerOfTwo(earth.width) && PowerOfTwo(earth.height));
    EXPECT_EQ(earth.bitsPerPixel, 24);
    EXPECT_EQ(earth.CountVisible(0, 0, earth.width, earth.height), earth.width * earth.height);

    // The wrap repeats the texture: the step across each edge is like any other step inside.
    const int w = earth.width, h = earth.height;
    const double inside = (MeanStep(earth, w / 2 - 1, w / 2, false) + MeanStep(earth, h / 2 - 1, h / 2, true)) / 2;
    EXPECT_LT(MeanStep(earth, w - 1, 0, false), 3 * inside + 4);
    EXPECT_LT(MeanStep(earth, h - 1, 0, true), 3 * inside + 4);

    // Oceans, land, ice and cloud: blue dominates somewhere, green somewhere, white somewhere.
    int blue = 0, green = 0, white = 0;
    for (uint32_t c : earth.rgb) {
        const int r = c >> 16 & 0xFF, g = c >> 8 & 0xFF, b = c & 0xFF;
        blue += b > r + 40 && b > g;
        green += g > r && g > b;
        white += r > 220 && g > 220 && b > 220;
    }
    const int n = w * h;
    EXPECT_GT(blue, n / 4);
    EXPECT_GT(green, n / 50);
    EXPECT_GT(white, n / 100);
}

TEST(DataTextures, SkyIsMostlyTransparentSpaceWithStars)
{
    Bitmap sky;
    ASSERT_TRUE(LoadBitmap("tenkyu_texture.bmp", sky));
    EXPECT_TRUE(PowerOfTwo(sky.width) && PowerOfTwo(sky.height));
    EXPECT_EQ(sky.bitsPerPixel, 24);
    const int total = sky.width * sky.height;
    const int visible = sky.CountVisible(0, 0, sky.width, sky.height);
    EXPECT_LT(visible, total / 8);
    int bright = 0;
    for (uint32_t c : sky.rgb)
        bright += (c >> 8 & 0xFF) > 150;
    EXPECT_GT(bright, 200); // stars
}
