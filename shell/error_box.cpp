// The start-up error box, shown over the full-screen display.
#include "shell/shell.h"

#include "display/display.h"

bool ShowErrorBox(const char* text)
{
    // The exclusive display would hide the box: hand the screen back to the window system first.
    if (g_directDraw)
        g_directDraw->FlipToGDISurface();
    MessageBoxA(g_hWnd, text, "エラー発生", MB_OK);
    return false;
}
