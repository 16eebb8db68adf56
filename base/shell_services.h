// What every part of the game asks of the shell: the window, the error box, the module directory
// and the mouse button tracker. Only the platform lies below this.
#pragma once

#include "ddraw.h"
#include "windows.h"

#include <cstdint>

extern HWND g_hWnd;           // the game window; owner of every box, cooperative level and notice
extern HINSTANCE g_hInstance; // kept after the window is made; read by GetModuleDirectory
extern char g_moduleDir[256]; // the executable's directory, rewritten by every GetModuleDirectory
// The display object from InitDisplay. It lives here because the error box must hand the screen
// back to the window system through it before showing itself.
extern LPDIRECTDRAW g_directDraw;

// A mouse button as seen at one poll; each user keeps a variable of its own, starting at Up.
enum ButtonState : int32_t {
    Up = 0,
    Pressed = 1,
    Released = 2,
    Held = 3,
};

bool ShowErrorBox(const char* text);
char* GetModuleDirectory();
void UpdateButtonState(int virtualKey, ButtonState& state);
