// Bitmap files: every bit depth in both row orders, refused files, and the copy into a surface.
#include "ddraw.h"
#include "platform_internal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {
void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// A BMP file of `pixels` (0x00RRGGBB, top row first); bottom-up unless topDown.
std::vector<uint8_t> MakeBmp(int width, int height, int bits, bool topDown, const std::vector<uint32_t>& pixels)
{
    std::vector<uint32_t> palette;
    if (bits <= 8)
        for (uint32_t p : pixels)
            if (std::find(palette.begin(), palette.end(), p) == palette.end())
                palette.push_back(p);
    int stride = (width * bits + 31) / 32 * 4;
    uint32_t offset = 14 + 40 + 4 * static_cast<uint32_t>(palette.size());
    std::vector<uint8_t> out = {'B', 'M'};
    Put32(out, offset + stride * height);
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, 40);
    Put32(out, width);
    Put32(out, static_cast<uint32_t>(topDown ? -height : height));
    Put16(out, 1);
    Put16(out, bits);
    Put32(out, 0);
    Put32(out, stride * height);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, static_cast<uint32_t>(palette.size()));
    Put32(out, 0);
    for (uint32_t p : palette)
        Put32(out, p);
    for (int fileRow = 0; fileRow < height; fileRow++) {
        int row = topDown ? fileRow : height - 1 - fileRow;
        std::vector<uint8_t> line(stride, 0);
        for (int x = 0; x < width; x++) {
            uint32_t p = pixels[row * width + x];
            uint32_t index = bits <= 8 ? std::find(palette.begin(), palette.end(), p) - palette.begin() : 0;
            switch (bits) {
            case 1: line[x / 8] |= index << (7 - x % 8); break;
            case 4: line[x / 2] |= index << (x % 2 ? 0 : 4); break;
            case 8: line[x] = index; break;
            case 24:
                line[3 * x] = p;
                line[3 * x + 1] = p >> 8;
                line[3 * x + 2] = p >> 16;
                break;
            case 32:
                line[4 * x] = p;
                line[4 * x + 1] = p >> 8;
                line[4 * x + 2] = p >> 16;
                break;
            }
        }
        out.insert(out.end(), line.begin(), line.end());
    }
    return out;
}

std::string WriteFile(const std::string& name, const std::vector<uint8_t>& bytes)
{
    std::string path = testing::TempDir() + name;
    FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return path;
}

// Five columns, so every depth has padding at the end of each row.
std::vector<uint32_t> TestPicture(int bits)
{
    std::vector<uint32_t> colours = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0x808080, 0x010203,
                                     0xFEDCBA, 0x00FFFF, 0xFF00FF, 0xFFFF00, 0x400000, 0x004000, 0x000040};
    std::vector<uint32_t> pixels(15);
    for (int i = 0; i < 15; i++)
        pixels[i] = bits == 1 ? colours[(i * 7 + i / 5) % 2] : colours[(i * 4) % 15];
    return pixels;
}
} // namespace

TEST(Platform2dBitmaps, EveryDepthDecodesInBothRowOrders)
{
    for (int bits : {1, 4, 8, 24, 32}) {
        for (bool topDown : {false, true}) {
            SCOPED_TRACE(std::to_string(bits) + (topDown ? " bits, top-down" : " bits, bottom-up"));
            std::vector<uint32_t> picture = TestPicture(bits);
            std::string path = WriteFile("depth.bmp", MakeBmp(5, 3, bits, topDown, picture));
            DecodedBitmap decoded;
            ASSERT_TRUE(DecodeBitmapFile(path.c_str(), &decoded));
            EXPECT_EQ(decoded.width, 5);
            EXPECT_EQ(decoded.height, 3);
            EXPECT_EQ(decoded.fileHeight, topDown ? -3 : 3);
            EXPECT_EQ(decoded.bitsPerPixel, bits);
            EXPECT_EQ(decoded.pixels, picture);
        }
    }
}

TEST(Platform2dBitmaps, CutAndCorruptFilesAreRefusedLikeMissingOnes)
{
    std::vector<uint8_t> good = MakeBmp(5, 3, 8, false, TestPicture(8));
    DecodedBitmap decoded;
    ASSERT_TRUE(DecodeBitmapFile(WriteFile("good.bmp", good).c_str(), &decoded));

    auto patched = [&](size_t at, uint32_t value) {
        std::vector<uint8_t> bytes = good;
        for (int i = 0; i < 4; i++)
            bytes[at + i] = (value >> (8 * i)) & 0xFF;
        return bytes;
    };
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"last pixel cut off", std::vector<uint8_t>(good.begin(), good.end() - 4)}, // 3 bytes are padding
        {"header cut short", std::vector<uint8_t>(good.begin(), good.begin() + 30)},
        {"palette cut short", std::vector<uint8_t>(good.begin(), good.begin() + 60)},
        {"not a bitmap", std::vector<uint8_t>(good.size(), 0x5A)},
        {"zero width", patched(18, 0)},
        {"negative width", patched(18, static_cast<uint32_t>(-5))},
        {"enormous height", patched(22, 0x7FFFFFFF)},
        {"most negative height", patched(22, 0x80000000u)},
        {"pixel data past the end", patched(10, 0xFFFFFFF0u)},
        {"run-length compressed", patched(30, 1)},
        {"more colours than the depth allows", patched(46, 257)},
        {"unknown header size", patched(14, 20)},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        decoded = DecodedBitmap();
        EXPECT_FALSE(DecodeBitmapFile(WriteFile("bad.bmp", c.bytes).c_str(), &decoded));
        EXPECT_TRUE(decoded.pixels.empty());
    }
    EXPECT_FALSE(DecodeBitmapFile((testing::TempDir() + "no such file.bmp").c_str(), &decoded));
    EXPECT_EQ(LoadImageA(nullptr, "no such file.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
}

TEST(Platform2dBitmaps, LoadedBitmapReportsItsStoredHeight)
{
    std::string topDown = WriteFile("topdown.bmp", MakeBmp(5, 3, 24, true, TestPicture(24)));
    std::string bottomUp = WriteFile("bottomup.bmp", MakeBmp(5, 3, 8, false, TestPicture(8)));
    HANDLE first = LoadImageA(nullptr, topDown.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    HANDLE second = LoadImageA(nullptr, bottomUp.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);

    // The game passes the 32-bit record size, which ends before bmBits.
    BITMAP record{};
    record.bmBits = &record;
    EXPECT_EQ(GetObjectA(first, 24, &record), 24);
    EXPECT_EQ(record.bmWidth, 5);
    EXPECT_EQ(record.bmHeight, -3);
    EXPECT_EQ(record.bmBitsPixel, 24);
    EXPECT_EQ(record.bmBits, &record); // untouched past the size given
    ASSERT_EQ(GetObjectA(second, sizeof(record), &record), static_cast<int>(sizeof(record)));
    EXPECT_EQ(record.bmHeight, 3);
    EXPECT_EQ(record.bmBitsPixel, 8);
    EXPECT_TRUE(DeleteObject(first));
    EXPECT_TRUE(DeleteObject(second));
}

TEST(Platform2dBitmaps, CopyIntoSurfaceDropsLowBitsSoNearBlackBecomesTheKey)
{
    // Near-black, black, white, pure colours and an arbitrary colour; the last row is wider than
    // the surface, which takes only what fits.
    std::vector<uint32_t> picture = {0x070307, 0x000000, 0xFFFFFF, 0x080408, 0xC86432, 0xFF0000,
                                     0x00FF00, 0x0000FF, 0x123456, 0x808080, 0x111111, 0x222222};
    std::string path = WriteFile("colours.bmp", MakeBmp(6, 2, 24, false, picture));
    HANDLE bitmap = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    ASSERT_NE(bitmap, nullptr);

    IDirectDraw* directDraw = nullptr;
    ASSERT_EQ(DirectDrawCreate(nullptr, &directDraw, nullptr), DD_OK);
    DDSURFACEDESC desc{};
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    desc.dwWidth = 5;
    desc.dwHeight = 2;
    IDirectDrawSurface* surface = nullptr;
    ASSERT_EQ(directDraw->CreateSurface(&desc, &surface, nullptr), DD_OK);

    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    ASSERT_NE(previous, nullptr);
    HDC target = nullptr;
    ASSERT_EQ(surface->GetDC(&target), DD_OK);
    HDC second = nullptr;
    EXPECT_EQ(surface->GetDC(&second), DDERR_DCALREADYCREATED);
    EXPECT_TRUE(BitBlt(target, 0, 0, 6, 2, memory, 0, 0, SRCCOPY));
    EXPECT_EQ(surface->ReleaseDC(target), DD_OK);
    EXPECT_FALSE(DeleteObject(bitmap)); // still selected
    SelectObject(memory, previous);
    EXPECT_TRUE(DeleteDC(memory));
    EXPECT_TRUE(DeleteObject(bitmap));

    SurfacePixels pixels;
    ASSERT_TRUE(GetSurfacePixels(surface, &pixels));
    auto at = [&](int x, int y) { return pixels.pixels[y * pixels.pitchPixels + x]; };
    EXPECT_EQ(at(0, 0), 0); // 7, 3, 7
    EXPECT_EQ(at(1, 0), 0);
    EXPECT_EQ(at(2, 0), 0xFFFF);
    EXPECT_EQ(at(3, 0), 0x0821); // 8, 4, 8: the first colours that are not the key
    EXPECT_EQ(at(4, 0), (200 >> 3) << 11 | (100 >> 2) << 5 | (50 >> 3));
    EXPECT_EQ(at(0, 1), 0x07E0);
    EXPECT_EQ(at(1, 1), 0x001F);
    EXPECT_EQ(at(3, 1), 0x8410);
    surface->Release();
    directDraw->Release();
}
