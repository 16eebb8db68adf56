#include "game_support.h"

#include "display/display.h"
#include "display/sprites.h"
#include "game/round.h"
#include "platform_internal.h"
#include "scene/renderer.h"
#include "scene/scene_registry.h"
#include "shell/shell.h"
#include "sound/sound.h"

#include <algorithm>

bool BringUpGame()
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "DEFAULT";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "DEFAULT", "DEFAULT", WS_POPUP | WS_SYSMENU, 0, 0, 640, 480, nullptr,
                                  nullptr, instance, nullptr);
    if (!window)
        return false;
    g_hWnd = window;
    g_hInstance = instance;
    return InitDisplay(window) && InitSound(window) && InitRenderer(window) && BuildScene(window);
}

void EnterPlay()
{
    g_frameDelta = 0.0f;
    RunRoundFrame(g_hWnd);
    g_titleActive = false;
    g_playing = true;
    g_worldActive = true;
    g_roundReady = true;
    RunRoundFrame(g_hWnd);
    ClearBackBuffer();
}

void HideScenery()
{
    for (int slot : {SLOT_SATELLITE, SLOT_EARTH, SLOT_SKY})
        g_frames[slot]->DeleteVisual(g_meshes[slot]);
}

static SurfacePixels Pixels(LPDIRECTDRAWSURFACE surface)
{
    SurfacePixels pixels;
    if (surface)
        GetSurfacePixels(surface, &pixels);
    return pixels;
}

uint16_t BackBufferPixel(int x, int y)
{
    SurfacePixels back = Pixels(g_backBuffer);
    return back.pixels[y * back.pitchPixels + x];
}

int CountBackBufferPixelsNot(uint16_t colour, int left, int top, int right, int bottom)
{
    int count = 0;
    for (int y = top; y < bottom; y++)
        for (int x = left; x < right; x++)
            count += BackBufferPixel(x, y) != colour;
    return count;
}

// Copies whole cells only, clipped to the screen, as the game's blits do.
void Canvas::Blit(int x, int y, int sheet, int left, int top, int right, int bottom)
{
    SurfacePixels source = Pixels(g_spriteSheets[sheet].surface);
    if (!source.pixels || left < 0 || top < 0 || right > source.width || bottom > source.height)
        return;
    for (int row = top; row < bottom; row++)
        for (int column = left; column < right; column++) {
            int px = x + column - left;
            int py = y + row - top;
            uint16_t colour = source.pixels[row * source.pitchPixels + column];
            if (px >= 0 && px < 640 && py >= 0 && py < 480 && colour != 0)
                pixels[py * 640 + px] = colour;
        }
}

void Canvas::Number(const std::string& digits, int x, int y)
{
    for (size_t i = 0; i < digits.size(); i++) {
        int d = digits[i] - '0';
        Blit(x + 16 * static_cast<int>(i), y, SPR_DIGITS, 16 * d, 0, 16 * d + 16, 20);
    }
}

bool Canvas::Matches(int left, int top, int right, int bottom) const
{
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, 640);
    bottom = std::min(bottom, 480);
    bool pictured = false;
    for (int y = top; y < bottom; y++)
        for (int x = left; x < right; x++) {
            if (pixels[y * 640 + x] != BackBufferPixel(x, y))
                return false;
            pictured = pictured || pixels[y * 640 + x] != 0;
        }
    // An expectation with nothing in it would match any black screen.
    return pictured;
}

bool BackBufferShowsNumber(const std::string& digits, int x, int y)
{
    Canvas expected;
    expected.Number(digits, x, y);
    return expected.Matches(x, y, x + 16 * static_cast<int>(digits.size()), y + 20);
}

bool BackBufferShowsCell(int x, int y, int sheet, int left, int top, int right, int bottom)
{
    Canvas expected;
    expected.Blit(x, y, sheet, left, top, right, bottom);
    return expected.Matches(x, y, x + right - left, y + bottom - top);
}
