// Placeholders for the window, kernel, GDI and DirectDraw stand-ins (no library yet).
#include "platform_internal.h"
#include "testing.h"

WORD RegisterClassA(const WNDCLASSA*) { return 0; }
HWND CreateWindowExA(DWORD, LPCSTR, LPCSTR, DWORD, int, int, int, int, HWND, HMENU, HINSTANCE, LPVOID)
{
    return nullptr;
}
BOOL ShowWindow(HWND, int) { return FALSE; }
BOOL UpdateWindow(HWND) { return FALSE; }
BOOL CloseWindow(HWND) { return FALSE; }
BOOL DestroyWindow(HWND) { return FALSE; }
BOOL PeekMessageA(MSG*, HWND, UINT, UINT, UINT) { return FALSE; }
BOOL TranslateMessage(const MSG*) { return FALSE; }
LRESULT DispatchMessageA(const MSG*) { return 0; }
BOOL PostMessageA(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
LRESULT SendMessageA(HWND, UINT, WPARAM, LPARAM) { return 0; }
void PostQuitMessage(int) {}
LRESULT DefWindowProcA(HWND, UINT, WPARAM, LPARAM) { return 0; }
short GetKeyState(int) { return 0; }
int ShowCursor(BOOL) { return 0; }
int MessageBoxA(HWND, LPCSTR, LPCSTR, UINT) { return IDOK; }
HICON LoadIconA(HINSTANCE, LPCSTR) { return nullptr; }
HCURSOR LoadCursorA(HINSTANCE, LPCSTR) { return nullptr; }
int GetSystemMetrics(int index) { return index == SM_CXSCREEN ? 640 : 480; }




void PresentToWindow(const uint16_t*, int, int, int) {}
bool HasRealDisplay() { return false; }
void PostMessageFromAnyThread(HWND, UINT, WPARAM, LPARAM) {}

void TestMoveMouse(int, int) {}
void TestPressKey(int) {}
void TestSetMouseButton(int, bool) {}
void TestRequestClose() {}
const std::vector<TestMessageBox>& TestMessageBoxes()
{
    static std::vector<TestMessageBox> boxes;
    return boxes;
}
void TestClearMessageBoxes() {}
