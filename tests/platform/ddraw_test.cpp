// The DirectDraw stand-in: copies that never clip, colour keys, fills, lost surfaces, presents.
#include "ddraw.h"
#include "display_fixture.h"
#include "platform_internal.h"
#include "testing.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
SurfacePixels Pixels(IDirectDrawSurface* surface)
{
    SurfacePixels pixels;
    EXPECT_TRUE(GetSurfacePixels(surface, &pixels));
    return pixels;
}

uint16_t& At(IDirectDrawSurface* surface, int x, int y)
{
    SurfacePixels pixels = Pixels(surface);
    return pixels.pixels[y * pixels.pitchPixels + x];
}

// Every pixel of the source is x + 10 * y + 1, except a key-coloured (0) pixel at (1, 1).
void FillPattern(IDirectDrawSurface* surface)
{
    SurfacePixels pixels = Pixels(surface);
    for (int y = 0; y < pixels.height; y++)
        for (int x = 0; x < pixels.width; x++)
            pixels.pixels[y * pixels.pitchPixels + x] = static_cast<uint16_t>(x + 10 * y + 1);
    pixels.pixels[1 * pixels.pitchPixels + 1] = 0;
}

std::vector<uint16_t> Snapshot(IDirectDrawSurface* surface)
{
    SurfacePixels pixels = Pixels(surface);
    return std::vector<uint16_t>(pixels.pixels, pixels.pixels + pixels.pitchPixels * pixels.height);
}
} // namespace

TEST(Platform2dSurfaces, BltFastRefusesEveryRectangleThatDoesNotFitAndCopiesNothing)
{
    DisplayFixture display;
    IDirectDrawSurface* sheet = display.Offscreen(8, 6);
    IDirectDrawSurface* target = display.Offscreen(16, 12);
    FillPattern(sheet);
    std::vector<uint16_t> before = Snapshot(target);
    struct Case {
        const char* what;
        DWORD x, y;
        RECT source;
    } cases[] = {
        {"empty", 0, 0, {2, 2, 2, 4}},
        {"inverted", 0, 0, {4, 0, 2, 4}},
        {"negative", 0, 0, {-1, 0, 4, 4}},
        {"past right edge", 0, 0, {4, 0, 9, 4}},
        {"past bottom edge", 0, 0, {0, 3, 4, 7}},
        {"destination too far right", 13, 0, {0, 0, 4, 4}},
        {"destination too low", 0, 9, {0, 0, 4, 4}},
        {"destination left of the surface", static_cast<DWORD>(-2), 0, {0, 0, 4, 4}},
        {"destination above the surface", 0, static_cast<DWORD>(-1), {0, 0, 4, 4}},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(target->BltFast(c.x, c.y, sheet, &c.source, DDBLTFAST_WAIT), DDERR_INVALIDRECT);
        EXPECT_EQ(Snapshot(target), before);
    }

    // A rectangle that just fits, at the far corner, is copied exactly.
    RECT corner = {4, 2, 8, 6};
    ASSERT_EQ(target->BltFast(12, 8, sheet, &corner, DDBLTFAST_WAIT), DD_OK);
    EXPECT_EQ(At(target, 12, 8), 4 + 10 * 2 + 1);
    EXPECT_EQ(At(target, 15, 11), 7 + 10 * 5 + 1);
    EXPECT_EQ(At(target, 11, 8), 0);
    // No rectangle means the whole source.
    ASSERT_EQ(target->BltFast(0, 0, sheet, nullptr, DDBLTFAST_WAIT), DD_OK);
    EXPECT_EQ(At(target, 7, 5), 7 + 10 * 5 + 1);
    sheet->Release();
    target->Release();
}

TEST(Platform2dSurfaces, SourceColourKeySkipsOnlyKeyPixels)
{
    // Wide enough for whole blocks of eight pixels and a few left over, with key pixels in both.
    DisplayFixture display;
    IDirectDrawSurface* sheet = display.Offscreen(13, 4);
    IDirectDrawSurface* target = display.Offscreen(13, 4);
    FillPattern(sheet);
    SurfacePixels from = Pixels(sheet), to = Pixels(target);
    for (int y = 0; y < 4; y++)
        from.pixels[y * from.pitchPixels + 10] = 0;
    from.pixels[2 * from.pitchPixels + 3] = 0;
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 13; x++)
            to.pixels[y * to.pitchPixels + x] = static_cast<uint16_t>(0x1000 + x + 16 * y);
    DDCOLORKEY key{0, 0};
    ASSERT_EQ(sheet->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);

    ASSERT_EQ(target->BltFast(0, 0, sheet, nullptr, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT), DD_OK);
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 13; x++) {
            const uint16_t source = from.pixels[y * from.pitchPixels + x];
            // A key pixel leaves the destination alone.
            EXPECT_EQ(At(target, x, y), source == 0 ? 0x1000 + x + 16 * y : source) << x << ", " << y;
        }

    // Without the flag every pixel goes, key colour included.
    ASSERT_EQ(target->BltFast(0, 0, sheet, nullptr, DDBLTFAST_WAIT), DD_OK);
    EXPECT_EQ(At(target, 1, 1), 0);
    EXPECT_EQ(At(target, 10, 3), 0);
    sheet->Release();
    target->Release();
}

TEST(Platform2dSurfaces, ColourFillCoversItsRectangleOnly)
{
    DisplayFixture display;
    DDBLTFX fx{};
    fx.dwSize = 100;
    fx.dwFillColor = 0xF800;
    RECT whole = {0, 0, 640, 480};
    ASSERT_EQ(display.backBuffer->Blt(&whole, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
    EXPECT_EQ(At(display.backBuffer, 0, 0), 0xF800);
    EXPECT_EQ(At(display.backBuffer, 639, 479), 0xF800);

    fx.dwFillColor = 0x001F;
    RECT part = {10, 20, 30, 40};
    ASSERT_EQ(display.backBuffer->Blt(&part, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
    EXPECT_EQ(At(display.backBuffer, 10, 20), 0x001F);
    EXPECT_EQ(At(display.backBuffer, 29, 39), 0x001F);
    EXPECT_EQ(At(display.backBuffer, 30, 39), 0xF800);
    EXPECT_EQ(At(display.backBuffer, 29, 40), 0xF800);

    RECT outside = {600, 0, 641, 10};
    EXPECT_EQ(display.backBuffer->Blt(&outside, nullptr, nullptr, DDBLT_COLORFILL, &fx), DDERR_INVALIDRECT);
}

TEST(Platform2dSurfaces, LostSurfacesRefuseWorkUntilRestoredAndComeBackCleared)
{
    DisplayFixture display;
    IDirectDrawSurface* sheet = display.Offscreen(4, 4);
    FillPattern(sheet);
    At(display.backBuffer, 5, 5) = 0x7777;
    TestLoseAllSurfaces();

    DDBLTFX fx{};
    fx.dwSize = 100;
    HDC context = nullptr;
    EXPECT_EQ(display.primary->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(display.backBuffer->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DDERR_SURFACELOST);
    EXPECT_EQ(display.backBuffer->GetDC(&context), DDERR_SURFACELOST);
    EXPECT_EQ(display.primary->BltFast(0, 0, display.backBuffer, nullptr, DDBLTFAST_WAIT), DDERR_SURFACELOST);

    // Restoring the primary brings its back buffer back, empty.
    EXPECT_EQ(display.primary->Restore(), DD_OK);
    EXPECT_EQ(display.backBuffer->IsLost(), DD_OK);
    EXPECT_EQ(At(display.backBuffer, 5, 5), 0);
    // A lost source is reported too, so the sheet is known to need reloading.
    EXPECT_EQ(display.backBuffer->BltFast(0, 0, sheet, nullptr, DDBLTFAST_WAIT), DDERR_SURFACELOST);
    EXPECT_EQ(sheet->Restore(), DD_OK);
    EXPECT_EQ(At(sheet, 0, 0), 0);

    // Restoring a surface that is not lost keeps what it holds.
    At(display.backBuffer, 5, 5) = 0x7777;
    EXPECT_EQ(display.primary->Restore(), DD_OK);
    EXPECT_EQ(At(display.backBuffer, 5, 5), 0x7777);
    sheet->Release();
}

TEST(Platform2dSurfaces, CopyOntoThePrimaryIsThePresent)
{
    DisplayFixture display;
    int presentsBefore = TestPresentCount();
    int hookRuns = 0;
    TestSetPresentHook([&]() { hookRuns++; });

    At(display.backBuffer, 3, 2) = 0xABCD;
    At(display.backBuffer, 639, 479) = 0x1111;
    RECT whole = {0, 0, 640, 480};
    ASSERT_EQ(display.primary->BltFast(0, 0, display.backBuffer, &whole, DDBLTFAST_WAIT), DD_OK);
    EXPECT_EQ(TestPresentCount(), presentsBefore + 1);
    EXPECT_EQ(hookRuns, 1);
    EXPECT_EQ(TestPresentedImage()[2 * 640 + 3], 0xABCD);
    EXPECT_EQ(TestPresentedImage()[479 * 640 + 639], 0x1111);

    // Drawing into the back buffer is not a present.
    ASSERT_EQ(display.backBuffer->BltFast(0, 0, display.backBuffer, &whole, DDBLTFAST_WAIT), DD_OK);
    EXPECT_EQ(TestPresentCount(), presentsBefore + 1);
    TestSetPresentHook(nullptr);
}

TEST(Platform2dSurfaces, DisplaySetupReportsModesDescriptionsAndArmedFailures)
{
    DisplayFixture display;
    EXPECT_EQ(display.directDraw->SetDisplayMode(800, 600, 16), DDERR_UNSUPPORTED);
    EXPECT_EQ(display.directDraw->SetDisplayMode(640, 480, 32), DDERR_UNSUPPORTED);

    DDSURFACEDESC desc{};
    desc.dwSize = 108;
    ASSERT_EQ(display.backBuffer->GetSurfaceDesc(&desc), DD_OK);
    EXPECT_EQ(desc.dwWidth, 640u);
    EXPECT_EQ(desc.dwHeight, 480u);
    EXPECT_EQ(desc.lPitch, 1280);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 16u);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRBitMask, 0xF800u);
    EXPECT_EQ(desc.ddpfPixelFormat.dwGBitMask, 0x07E0u);
    EXPECT_EQ(desc.ddpfPixelFormat.dwBBitMask, 0x001Fu);

    // The back buffer is not counted again for the caller.
    IDirectDrawSurface* again = nullptr;
    DDSCAPS caps{DDSCAPS_BACKBUFFER};
    ASSERT_EQ(display.primary->GetAttachedSurface(&caps, &again), DD_OK);
    EXPECT_EQ(again, display.backBuffer);
    EXPECT_EQ(display.backBuffer->RefCount(), 1u);

    // Each armed failure fails one call; the next one works again.
    TestFailNext(FailPoint::GetAttachedSurface);
    EXPECT_TRUE(FAILED(display.primary->GetAttachedSurface(&caps, &again)));
    EXPECT_EQ(again, nullptr);
    EXPECT_EQ(display.primary->GetAttachedSurface(&caps, &again), DD_OK);
    TestFailNext(FailPoint::QueryDirect3D);
    void* direct3D = &again;
    EXPECT_TRUE(FAILED(display.directDraw->QueryInterface(IID_IDirect3D, &direct3D)));
    EXPECT_EQ(direct3D, nullptr);
    ASSERT_EQ(display.directDraw->QueryInterface(IID_IDirect3D, &direct3D), S_OK);
    ASSERT_NE(direct3D, nullptr);
    static_cast<IDirect3D*>(direct3D)->Release();
}
