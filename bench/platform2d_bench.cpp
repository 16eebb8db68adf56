// The 2D stand-ins on a frame's budget: three lines of text as the game draws them (a fresh
// font each), a keyed sprite copy, and the whole-screen present.
#include "ddraw.h"
#include "platform_internal.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {
struct Screen {
    IDirectDraw* directDraw = nullptr;
    IDirectDrawSurface* primary = nullptr;
    IDirectDrawSurface* backBuffer = nullptr;
    IDirectDrawSurface* sheet = nullptr;

    Screen()
    {
        DirectDrawCreate(nullptr, &directDraw, nullptr);
        DDSURFACEDESC desc{};
        desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
        desc.dwBackBufferCount = 1;
        directDraw->CreateSurface(&desc, &primary, nullptr);
        DDSCAPS caps{DDSCAPS_BACKBUFFER};
        primary->GetAttachedSurface(&caps, &backBuffer);
        DDSURFACEDESC sheetDesc{};
        sheetDesc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        sheetDesc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
        sheetDesc.dwWidth = 192;
        sheetDesc.dwHeight = 192;
        directDraw->CreateSurface(&sheetDesc, &sheet, nullptr);
        SurfacePixels pixels;
        GetSurfacePixels(sheet, &pixels);
        for (int i = 0; i < pixels.width * pixels.height; i++)
            pixels.pixels[i] = (i % 3) ? static_cast<uint16_t>(i) : 0;
        DDCOLORKEY key{0, 0};
        sheet->SetColorKey(DDCKEY_SRCBLT, &key);
    }
    ~Screen()
    {
        sheet->Release();
        primary->Release();
        directDraw->Release();
    }
};

void TextLine(IDirectDrawSurface* surface, const char* text, int height, int y)
{
    HDC context = nullptr;
    if (surface->GetDC(&context) != DD_OK)
        return;
    LOGFONTA logFont{};
    std::strcpy(logFont.lfFaceName, "\x95\x57\x8F\x80\x96\xBE\x92\xA9");
    logFont.lfHeight = height;
    logFont.lfWeight = FW_NORMAL;
    logFont.lfCharSet = SHIFTJIS_CHARSET;
    HFONT font = CreateFontIndirectA(&logFont);
    HGDIOBJ previous = SelectObject(context, font);
    SetBkMode(context, TRANSPARENT);
    SetTextColor(context, RGB(255, 255, 0));
    TextOutA(context, 100, y, text, static_cast<int>(std::strlen(text)));
    SelectObject(context, previous);
    DeleteObject(font);
    surface->ReleaseDC(context);
}

void BM_ThreeTextLines(benchmark::State& state)
{
    Screen screen;
    // Twenty characters of Japanese per line, in code page 932.
    const char* line = "\x8d\xb6\x83\x4e\x83\x8a\x83\x62\x83\x4e\x82\xc5\x83\x58\x83\x5e\x81\x5b\x83\x67"
                       "\x8d\xb6\x83\x4e\x83\x8a\x83\x62\x83\x4e\x82\xc5\x83\x58\x83\x5e\x81\x5b\x83\x67";
    for (auto _ : state) {
        TextLine(screen.backBuffer, line, 24, 100);
        TextLine(screen.backBuffer, line, 24, 200);
        TextLine(screen.backBuffer, line, 32, 300);
    }
}
BENCHMARK(BM_ThreeTextLines);

void BM_KeyedSpriteCopy(benchmark::State& state)
{
    Screen screen;
    RECT cell = {0, 0, 192, 192};
    for (auto _ : state)
        benchmark::DoNotOptimize(
            screen.backBuffer->BltFast(200, 100, screen.sheet, &cell, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT));
}
BENCHMARK(BM_KeyedSpriteCopy);

void BM_ClearAndPresent(benchmark::State& state)
{
    Screen screen;
    DDBLTFX fx{};
    fx.dwSize = 100;
    RECT whole = {0, 0, 640, 480};
    for (auto _ : state) {
        screen.backBuffer->Blt(&whole, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
        benchmark::DoNotOptimize(screen.primary->BltFast(0, 0, screen.backBuffer, &whole, DDBLTFAST_WAIT));
    }
}
BENCHMARK(BM_ClearAndPresent);
} // namespace
