// The full-screen display: bring-up, per-frame clear and present, release.
#include "display/display.h"

#include "base/shell_services.h"
#include "display/draw2d.h"

#include <cstring>

LPDIRECTDRAWSURFACE g_primarySurface; // the screen, a flip chain with one back buffer
LPDIRECTDRAWSURFACE g_backBuffer;     // attached to the primary; never released by itself

// The 32-bit Windows sizes of the records the display service is given.
constexpr DWORD SURFACE_DESC_SIZE = 108;
constexpr DWORD BLTFX_SIZE = 100;

static RECT s_screenRect; // the whole screen, for the clear and the present
static DDBLTFX s_clearFx; // fill with colour 0

bool InitDisplay(HWND window)
{
    if (FAILED(DirectDrawCreate(nullptr, &g_directDraw, nullptr)))
        return false;
    if (FAILED(g_directDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN)))
        return ShowErrorBox("フルスクリーン化できません");
    if (FAILED(g_directDraw->SetDisplayMode(DISPLAY_WIDTH, DISPLAY_HEIGHT, 16)))
        return ShowErrorBox("解像度が変更できません");

    DDSURFACEDESC desc;
    memset(&desc, 0, sizeof(desc));
    desc.dwSize = SURFACE_DESC_SIZE;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
    desc.dwBackBufferCount = 1;
    if (FAILED(g_directDraw->CreateSurface(&desc, &g_primarySurface, nullptr)))
        return ShowErrorBox("プライマリィサーフェースが生成できません");

    DDSCAPS caps;
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    if (FAILED(g_primarySurface->GetAttachedSurface(&caps, &g_backBuffer)))
        return ShowErrorBox("バックバッファが生成できません");
    return true;
}

void ReleaseDisplay(HWND window)
{
    if (!g_directDraw)
        return;
    for (int i = 0; i < SPRITE_SHEET_COUNT; i++)
        if (g_spriteSheets[i].surface)
            g_spriteSheets[i].surface->Release();
    // The back buffer goes with the primary surface.
    if (g_primarySurface)
        g_primarySurface->Release();
    g_directDraw->RestoreDisplayMode();
    g_directDraw->SetCooperativeLevel(window, DDSCL_NORMAL);
    g_directDraw->Release();
}

void ClearBackBuffer()
{
    s_screenRect = {0, 0, DISPLAY_WIDTH, DISPLAY_HEIGHT};
    memset(&s_clearFx, 0, sizeof(s_clearFx));
    s_clearFx.dwSize = BLTFX_SIZE;
    s_clearFx.dwFillColor = 0;
    // A lost back buffer is brought back by the present.
    g_backBuffer->Blt(&s_screenRect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &s_clearFx);
}

void PresentBackBuffer()
{
    s_screenRect = {0, 0, DISPLAY_WIDTH, DISPLAY_HEIGHT};
    HRESULT result = g_primarySurface->BltFast(0, 0, g_backBuffer, &s_screenRect, DDBLTFAST_WAIT);
    // The restore brings the back buffer back too; this frame is simply not shown.
    if (result == DDERR_SURFACELOST)
        g_primarySurface->Restore();
}
