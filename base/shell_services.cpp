// The shell's services to the rest of the game: the error box shown over the full-screen
// display, the executable's directory where the models and textures live, and the mouse button
// tracker that advances once per poll.
#include "base/shell_services.h"

#include <cstring>

HWND g_hWnd;               // the game window, kept once it exists
HINSTANCE g_hInstance;     // kept for GetModuleDirectory
char g_moduleDir[256];     // rewritten by every call; ends in a backslash
LPDIRECTDRAW g_directDraw; // made by InitDisplay, released by ReleaseDisplay

bool ShowErrorBox(const char* text)
{
    // The exclusive display would hide the box: hand the screen back to the window system first.
    if (g_directDraw)
        g_directDraw->FlipToGDISurface();
    MessageBoxA(g_hWnd, text, "エラー発生", MB_OK);
    return false;
}

char* GetModuleDirectory()
{
    GetModuleFileNameA(g_hInstance, g_moduleDir, sizeof(g_moduleDir));
    // Cut the file name off behind the last backslash; a path without one leaves nothing.
    size_t index = strnlen(g_moduleDir, sizeof(g_moduleDir) - 1);
    g_moduleDir[index] = '\0';
    while (g_moduleDir[index] != '\\') {
        g_moduleDir[index] = '\0';
        if (index == 0)
            break;
        index--;
    }
    return g_moduleDir;
}

// Next state by old state, for the button up and down.
static const ButtonState s_nextState[4][2] = {
    {Up, Pressed},    // Up
    {Released, Held}, // Pressed
    {Up, Held},       // Released
    {Released, Held}, // Held
};

void UpdateButtonState(int virtualKey, ButtonState& state)
{
    bool down = (GetKeyState(virtualKey) & 0x80) != 0;
    int old = static_cast<int>(state) & 3;
    state = s_nextState[old][down ? 1 : 0];
}
