// The 2D stand-ins on a frame's budget: three lines of text as the game draws them (a fresh
// font each), a keyed sprite copy, and the whole-screen present.
#include "display_fixture.h"
#include "platform_internal.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {
// The display with a 192 x 192 keyed sprite sheet of a busy pattern.
struct Screen : DisplayFixture {
    IDirectDrawSurface* sheet = Offscreen(192, 192);

    Screen()
    {
        SurfacePixels pixels;
        GetSurfacePixels(sheet, &pixels);
        for (int i = 0; i < pixels.width * pixels.height; i++)
            pixels.pixels[i] = (i % 3) ? static_cast<uint16_t>(i) : 0;
        DDCOLORKEY key{0, 0};
        sheet->SetColorKey(DDCKEY_SRCBLT, &key);
    }
    ~Screen() { sheet->Release(); }
};

void BM_ThreeTextLines(benchmark::State& state)
{
    Screen screen;
    // Twenty characters of Japanese per line, in code page 932.
    const char* line = "\x8d\xb6\x83\x4e\x83\x8a\x83\x62\x83\x4e\x82\xc5\x83\x58\x83\x5e\x81\x5b\x83\x67"
                       "\x8d\xb6\x83\x4e\x83\x8a\x83\x62\x83\x4e\x82\xc5\x83\x58\x83\x5e\x81\x5b\x83\x67";
    for (auto _ : state) {
        DrawTextLikeTheGame(screen.backBuffer, MINCHO_FACE, 24, false, 100, 100, RGB(255, 255, 0), TRANSPARENT, line);
        DrawTextLikeTheGame(screen.backBuffer, MINCHO_FACE, 24, false, 100, 200, RGB(255, 255, 0), TRANSPARENT, line);
        DrawTextLikeTheGame(screen.backBuffer, MINCHO_FACE, 32, false, 100, 300, RGB(255, 255, 0), TRANSPARENT, line);
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
