// Program entry: the window, the start-up steps and the frame loop.
#include "shell/shell.h"

HWND g_hWnd;
HINSTANCE g_hInstance;
DWORD g_lastTick;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand)
{
    (void)instance;
    (void)previousInstance;
    (void)commandLine;
    (void)showCommand;
    return 0;
}
