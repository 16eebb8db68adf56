// The sprite bitmaps the game reads: sizes, and ink where the game takes its cells from.
#include "data_bitmaps.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct SheetSize {
    const char* file;
    int width;
    int height;
};

const SheetSize SHEETS[] = {
    {"number_char.bmp", 240, 20},     {"score_char.bmp", 96, 20},
    {"hiscore_char.bmp", 140, 20},    {"limit_char.bmp", 250, 20},
    {"meteo_char.bmp", 100, 20},      {"ufo_char.bmp", 100, 20},
    {"missle_char.bmp", 100, 20},     {"bonus_char.bmp", 100, 20},
    {"hakairitu_char.bmp", 100, 20},  {"yourscore_char.bmp", 176, 20},
    {"totalbonus_char.bmp", 176, 20}, {"TITLE.bmp", 640, 80},
    {"GAMEOVER.bmp", 640, 80},        {"line.bmp", 500, 2},
    {"hibana.bmp", 30, 30},           {"hyoujun.bmp", 624, 48},
    {"baku0.bmp", 624, 48},           {"baku1.bmp", 576, 96},
    {"baku2.bmp", 576, 144},          {"baku3.bmp", 576, 192},
    {"earthexplosion.bmp", 576, 96},
};

Bitmap Load(const char* file)
{
    Bitmap b;
    EXPECT_TRUE(LoadBitmap(file, b)) << file;
    return b;
}

} // namespace

TEST(DataSprites, EverySheetIsA24BitBitmapOfItsSize)
{
    for (const SheetSize& s : SHEETS) {
        Bitmap b;
        ASSERT_TRUE(LoadBitmap(s.file, b)) << s.file;
        EXPECT_EQ(b.width, s.width) << s.file;
        EXPECT_EQ(b.height, s.height) << s.file;
        EXPECT_EQ(b.bitsPerPixel, 24) << s.file;
    }
}

TEST(DataSprites, DigitAndSymbolCellsAreInkedAndDistinct)
{
    const Bitmap digits = Load("number_char.bmp");
    ASSERT_EQ(digits.width, 240);
    std::vector<std::vector<bool>> shapes;
    for (int cell = 0; cell < 15; ++cell) {
        EXPECT_GT(digits.CountVisible(cell * 16, 0, cell * 16 + 16, 20), 20) << "cell " << cell;
        std::vector<bool> shape;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 16; ++x)
                shape.push_back(digits.Visible(cell * 16 + x, y));
        for (size_t other = 0; other < shapes.size(); ++other)
            EXPECT_NE(shape, shapes[other]) << "cells " << other << " and " << cell;
        shapes.push_back(shape);
    }
}

TEST(DataSprites, LabelsShowTextOnlyWhereTheGameLeavesRoom)
{
    for (const char* file : {"score_char.bmp", "meteo_char.bmp", "ufo_char.bmp", "missle_char.bmp", "bonus_char.bmp",
                             "hakairitu_char.bmp", "yourscore_char.bmp", "totalbonus_char.bmp"}) {
        const Bitmap b = Load(file);
        EXPECT_GT(b.CountVisible(0, 0, b.width, b.height), 60) << file;
    }

    // The tally shows only the left 128 columns of the best-score label.
    const Bitmap best = Load("hiscore_char.bmp");
    EXPECT_GT(best.CountVisible(0, 0, 128, 20), 60);
    EXPECT_EQ(best.CountVisible(128, 0, 140, 20), 0);

    // The time label is drawn over the three time digits: its columns 170-217 stay clear.
    const Bitmap time = Load("limit_char.bmp");
    EXPECT_GT(time.CountVisible(0, 0, 170, 20), 60);
    EXPECT_EQ(time.CountVisible(170, 0, 218, 20), 0);
}

TEST(DataSprites, BannersAndLineAreDrawn)
{
    for (const char* file : {"TITLE.bmp", "GAMEOVER.bmp"}) {
        const Bitmap b = Load(file);
        // Letters across the middle of the banner, not a blank or a thin frame.
        EXPECT_GT(b.CountVisible(0, 20, 640, 60), 640 * 40 / 4) << file;
    }
    const Bitmap line = Load("line.bmp");
    EXPECT_EQ(line.CountVisible(0, 0, 500, 2), 1000);
    const Bitmap spark = Load("hibana.bmp");
    EXPECT_TRUE(spark.Visible(15, 15));
}

TEST(DataSprites, CrosshairLockCellsShrinkAsTheEnemyGoesFarther)
{
    const Bitmap sheet = Load("hyoujun.bmp");
    ASSERT_EQ(sheet.width, 624);
    EXPECT_GT(sheet.CountVisible(0, 0, 16, 16), 10);  // the free pointer
    EXPECT_EQ(sheet.CountVisible(16, 0, 624, 24), 0); // nothing else in the top row
    EXPECT_TRUE(sheet.Visible(1, 1));                 // it points at its top-left corner

    int previousExtent = 25;
    for (int n = 0; n < 26; ++n) {
        int extent = 0;
        for (int y = 24; y < 48; ++y)
            for (int x = 0; x < 24; ++x)
                if (sheet.Visible(24 * n + x, y))
                    extent = std::max({extent, x + 1, y - 24 + 1});
        EXPECT_GT(extent, 0) << "cell " << n;
        EXPECT_LE(extent, previousExtent) << "cell " << n;
        previousExtent = extent;
    }
    EXPECT_LE(previousExtent, 12); // the farthest lock is well inside its cell
}

TEST(DataSprites, ExplosionsFlareThenDieAwayInTheirLastCell)
{
    const struct {
        const char* file;
        int cell;
    } sheets[] = {
        {"baku0.bmp", 48}, {"baku1.bmp", 96}, {"baku2.bmp", 144}, {"baku3.bmp", 192}, {"earthexplosion.bmp", 96}};
    for (const auto& s : sheets) {
        const Bitmap b = Load(s.file);
        const int cells = 640 / s.cell;
        ASSERT_EQ(b.width, cells * s.cell) << s.file;
        std::vector<int> ink;
        for (int i = 0; i < cells; ++i)
            ink.push_back(b.CountVisible(i * s.cell, 0, i * s.cell + s.cell, s.cell));
        const int peak = *std::max_element(ink.begin(), ink.end());
        EXPECT_GT(ink.front(), 0) << s.file << ": no flash";
        EXPECT_GT(peak, s.cell * s.cell / 6) << s.file << ": no fireball";
        EXPECT_LT(ink.back(), peak / 20 + 1) << s.file << ": does not die away";
        // Each cell keeps to itself: nothing touches the cell borders.
        for (int i = 0; i < cells; ++i) {
            const int x0 = i * s.cell, x1 = x0 + s.cell - 1;
            EXPECT_EQ(b.CountVisible(x0, 0, x0 + 1, s.cell) + b.CountVisible(x1, 0, x1 + 1, s.cell), 0)
                << s.file << " cell " << i;
        }
    }
}
