// The full-screen display: bring-up, per-frame clear and present, release.
#include "display/display.h"

LPDIRECTDRAW g_directDraw;
LPDIRECTDRAWSURFACE g_primarySurface;
LPDIRECTDRAWSURFACE g_backBuffer;

bool InitDisplay(HWND window)
{
    (void)window;
    return false;
}

void ReleaseDisplay(HWND window)
{
    (void)window;
}

void ClearBackBuffer() {}

void PresentBackBuffer() {}
