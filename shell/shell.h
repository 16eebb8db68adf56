// The application shell: program entry, window procedure, the error box, the module directory
// and the mouse button tracker.
#pragma once

#include "windows.h"

extern HWND g_hWnd;          // the game window; owner of every box, cooperative level and notice
extern HINSTANCE g_hInstance; // kept after the window is made; read by GetModuleDirectory
extern DWORD g_lastTick;     // tick count the next frame's delta is measured from
extern char g_moduleDir[256]; // the executable's directory, rewritten by every GetModuleDirectory

// A mouse button as seen at one poll; each user keeps a variable of its own, starting at Up.
enum ButtonState : int32_t {
    Up = 0,
    Pressed = 1,
    Released = 2,
    Held = 3,
};

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void HandleKeyDown(WPARAM virtualKey, HWND window);
bool ShowErrorBox(const char* text);
char* GetModuleDirectory();
void UpdateButtonState(int virtualKey, ButtonState& state);
