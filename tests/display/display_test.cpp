// The display: clipped sprite blits, digit strings, sheet loading and lost surfaces.
#include <gtest/gtest.h>

#include "platform_internal.h"
#include "testing.h"

#include "display/display.h"
#include "display/draw2d.h"

#include <climits>
#include <cstdio>
#include <deque>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// A 24-bit bitmap file; colour(x, y) gives 0xRRGGBB with y = 0 the top row.
void WriteBitmap(const std::string& path, int width, int height, bool topDown,
                 const std::function<uint32_t(int, int)>& colour)
{
    int rowBytes = (width * 3 + 3) & ~3;
    std::vector<uint8_t> file(54 + rowBytes * height, 0);
    auto put32 = [&](int at, uint32_t v) {
        for (int i = 0; i < 4; i++)
            file[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(topDown ? -height : height));
    file[26] = 1;
    file[28] = 24;
    for (int y = 0; y < height; y++) {
        int fileRow = topDown ? y : height - 1 - y;
        for (int x = 0; x < width; x++) {
            uint32_t c = colour(x, y);
            uint8_t* p = &file[54 + fileRow * rowBytes + x * 3];
            p[0] = c & 0xff;
            p[1] = (c >> 8) & 0xff;
            p[2] = (c >> 16) & 0xff;
        }
    }
    FILE* out = fopen(path.c_str(), "wb");
    ASSERT_TRUE(out);
    fwrite(file.data(), 1, file.size(), out);
    fclose(out);
}

class DisplayTest : public testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "DISPLAYTEST";
        RegisterClassA(&windowClass);
        HWND window = CreateWindowExA(0, "DISPLAYTEST", "DISPLAYTEST", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr,
                                      nullptr, nullptr);
        ASSERT_TRUE(window);
        ASSERT_TRUE(InitDisplay(window));
        ClearBackBuffer();
        char name[] = "/tmp/displaytestXXXXXX";
        ASSERT_TRUE(mkdtemp(name));
        m_dir = name;
    }

    void TearDown() override
    {
        for (SpriteSheet& sheet : m_sheets)
            if (sheet.surface)
                sheet.surface->Release();
    }

    // An empty sheet whose surface is released when the test ends.
    SpriteSheet& NewSheet()
    {
        m_sheets.emplace_back();
        return m_sheets.back();
    }

    // An off-screen sheet whose pixel (x, y) is colour(x, y), black transparent.
    SpriteSheet MakeSheet(int width, int height, const std::function<uint16_t(int, int)>& colour)
    {
        DDSURFACEDESC desc = {};
        desc.dwSize = 108;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
        desc.dwWidth = width;
        desc.dwHeight = height;
        SpriteSheet& sheet = NewSheet();
        EXPECT_EQ(g_directDraw->CreateSurface(&desc, &sheet.surface, nullptr), DD_OK);
        SurfacePixels pixels;
        EXPECT_TRUE(GetSurfacePixels(sheet.surface, &pixels));
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++)
                pixels.pixels[y * pixels.pitchPixels + x] = colour(x, y);
        DDCOLORKEY key = {0, 0};
        sheet.surface->SetColorKey(DDCKEY_SRCBLT, &key);
        return sheet;
    }

    uint16_t BackPixel(int x, int y)
    {
        SurfacePixels pixels;
        EXPECT_TRUE(GetSurfacePixels(g_backBuffer, &pixels));
        return pixels.pixels[y * pixels.pitchPixels + x];
    }

    int CountBackPixels()
    {
        int count = 0;
        for (int y = 0; y < DISPLAY_HEIGHT; y++)
            for (int x = 0; x < DISPLAY_WIDTH; x++)
                count += BackPixel(x, y) != 0;
        return count;
    }

    // The digit drawn in each 16-pixel cell from (x, y), '.' for an empty cell.
    std::string ReadDigits(int x, int y, int cells)
    {
        std::string digits;
        for (int i = 0; i < cells; i++) {
            uint16_t p = BackPixel(x + 16 * i + 8, y + 10);
            digits += p == 0 ? '.' : static_cast<char>('0' + (p - 0x100));
        }
        return digits;
    }

    std::string m_dir;
    std::deque<SpriteSheet> m_sheets;
};

} // namespace

TEST_F(DisplayTest, SpritesAreClippedToTheScreen)
{
    SpriteSheet cell = MakeSheet(48, 48, [](int x, int) { return static_cast<uint16_t>(0x800 + x); });

    DrawSprite(-10, 100, cell, 0, 0, 48, 48);
    EXPECT_EQ(BackPixel(0, 100), 0x800 + 10);
    EXPECT_EQ(BackPixel(37, 147), 0x800 + 47);
    EXPECT_EQ(BackPixel(38, 100), 0);
    EXPECT_EQ(CountBackPixels(), 38 * 48);

    ClearBackBuffer();
    DrawSprite(600, -8, cell, 0, 0, 48, 48);
    EXPECT_EQ(BackPixel(600, 0), 0x800);
    EXPECT_EQ(BackPixel(639, 39), 0x800 + 39);
    EXPECT_EQ(CountBackPixels(), 40 * 40);

    // Off every edge, past the sheet's edge, inverted, or at the limits of int: nothing at all.
    ClearBackBuffer();
    DrawSprite(640, 0, cell, 0, 0, 48, 48);
    DrawSprite(0, 480, cell, 0, 0, 48, 48);
    DrawSprite(-48, 0, cell, 0, 0, 48, 48);
    DrawSprite(0, -60, cell, 0, 0, 48, 48);
    DrawSprite(100, 100, cell, 40, 0, 56, 16);
    DrawSprite(100, 100, cell, 20, 0, 10, 16);
    DrawSprite(INT_MAX, INT_MAX, cell, INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    DrawSprite(INT_MIN, INT_MIN, cell, INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    DrawSprite(INT_MIN, 0, cell, 0, 0, 48, 48);
    SpriteSheet empty = {};
    DrawSprite(0, 0, empty, 0, 0, 16, 16);
    EXPECT_EQ(CountBackPixels(), 0);

    // A banner as wide as the screen goes through whole; black stays transparent.
    SpriteSheet banner = MakeSheet(640, 80, [](int x, int) { return static_cast<uint16_t>(x % 2 ? 0x1234 : 0); });
    DrawSprite(0, 200, banner, 0, 0, 640, 80);
    EXPECT_EQ(BackPixel(1, 200), 0x1234);
    EXPECT_EQ(BackPixel(639, 279), 0x1234);
    EXPECT_EQ(CountBackPixels(), 320 * 80);
}

TEST_F(DisplayTest, NumbersDropTheFirstCharacterOfTheSum)
{
    g_spriteSheets[SPR_DIGITS] =
        MakeSheet(16 * 15, 20, [](int x, int) { return static_cast<uint16_t>(0x100 + x / 16); });

    DrawNumber(7, 340, 450, 9000);
    EXPECT_EQ(ReadDigits(340, 450, 4), "007.");
    DrawNumber(3000, 362, 100, 90000);
    EXPECT_EQ(ReadDigits(362, 100, 5), "3000.");
    DrawNumber(100000, 0, 0, 900000);
    EXPECT_EQ(ReadDigits(0, 0, 7), "000000.");
    DrawNumber(-1, 0, 50, 9000);
    EXPECT_EQ(ReadDigits(0, 50, 4), "999.");
    DrawNumber(-5, 0, 200, 0); // a negative sum loses its sign
    EXPECT_EQ(ReadDigits(0, 200, 2), "5.");

    // Sums beyond 32 bits are still drawn, and digits far off the screen are dropped.
    ClearBackBuffer();
    DrawNumber(INT_MAX, 0, 300, 900000);
    EXPECT_EQ(ReadDigits(0, 300, 10), "148383647.");
    DrawNumber(INT_MIN, 0, 400, INT_MIN);
    DrawNumber(99, INT_MAX - 8, 0, 9000);
}

TEST_F(DisplayTest, SheetsLoadFromBitmapsCutToTheScreenWidth)
{
    // 800 wide: the left 640 columns are kept.
    std::string wide = m_dir + "/wide.bmp";
    WriteBitmap(wide, 800, 4, false, [](int x, int) { return x < 640 ? 0xFF0000u : 0x00FF00u; });
    SpriteSheet& sheet = NewSheet();
    ASSERT_TRUE(LoadSpriteSheet(sheet, wide.c_str()));
    EXPECT_EQ(sheet.width, 640);
    EXPECT_EQ(sheet.height, 4);
    EXPECT_EQ(sheet.fileName, wide.c_str());
    DrawSprite(0, 0, sheet, 0, 0, 640, 4);
    EXPECT_EQ(BackPixel(639, 3), 0xF800);
    EXPECT_EQ(CountBackPixels(), 640 * 4);

    // A top-down bitmap gets its absolute height, top row first.
    std::string topDown = m_dir + "/topdown.bmp";
    WriteBitmap(topDown, 8, 3, true, [](int, int y) { return y == 0 ? 0x0000FFu : 0xFFFFFFu; });
    SpriteSheet& upright = NewSheet();
    ASSERT_TRUE(LoadSpriteSheet(upright, topDown.c_str()));
    EXPECT_EQ(upright.height, 3);
    DrawSprite(0, 100, upright, 0, 0, 8, 3);
    EXPECT_EQ(BackPixel(0, 100), 0x001F);
    EXPECT_EQ(BackPixel(0, 102), 0xFFFF);

    // A missing file leaves the sheet as it was.
    SpriteSheet missing = {};
    EXPECT_FALSE(LoadSpriteSheet(missing, (m_dir + "/none.bmp").c_str()));
    EXPECT_EQ(missing.surface, nullptr);
}

TEST_F(DisplayTest, LostSurfacesAreRestoredAndSheetsReloaded)
{
    std::string path = m_dir + "/sheet.bmp";
    WriteBitmap(path, 16, 16, false, [](int, int) { return 0xFF0000u; });
    SpriteSheet& sheet = NewSheet();
    ASSERT_TRUE(LoadSpriteSheet(sheet, path.c_str()));

    PresentBackBuffer();
    int presented = TestPresentCount();
    TestLoseAllSurfaces();
    PresentBackBuffer(); // restores the primary; this frame is not shown
    EXPECT_EQ(TestPresentCount(), presented);
    PresentBackBuffer();
    EXPECT_EQ(TestPresentCount(), presented + 1);

    // The first blit from the lost sheet reloads it and draws nothing; the next one draws.
    ClearBackBuffer();
    DrawSprite(10, 10, sheet, 0, 0, 16, 16);
    EXPECT_EQ(CountBackPixels(), 0);
    DrawSprite(10, 10, sheet, 0, 0, 16, 16);
    EXPECT_EQ(BackPixel(10, 10), 0xF800);
    EXPECT_EQ(CountBackPixels(), 16 * 16);
}
