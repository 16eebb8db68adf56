// Program entry: the window, the start-up steps and the frame loop.
#include "shell/winmain.h"

#include "display/display.h"
#include "game/round.h"
#include "scene/renderer.h"
#include "scene/scene_registry.h"
#include "shell/window_proc.h"
#include "sound/sound.h"

DWORD g_lastTick; // tick count at the previous frame; the next delta is measured from it

// Start-up failures are shown in a plain box with no caption, then the program ends.
static int StartupFailed(const char* text)
{
    MessageBoxA(g_hWnd, text, "", MB_OK);
    return 0;
}

static void RunFrame()
{
    // Unsigned difference, so a wrap of the tick counter still gives the small true delta.
    DWORD elapsedMs = GetTickCount() - g_lastTick;
    g_frameDelta = static_cast<float>(static_cast<double>(elapsedMs) / 1000.0);
    g_lastTick = GetTickCount();

    ClearBackBuffer();
    g_viewport->Clear();
    RunRoundFrame(g_hWnd);
    PresentBackBuffer();
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand)
{
    (void)previousInstance;
    (void)commandLine;

    WNDCLASSA windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, "MAIN");
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetStockObject(WHITE_BRUSH);
    windowClass.lpszMenuName = "DEFAULT";
    windowClass.lpszClassName = "DEFAULT";
    RegisterClassA(&windowClass);

    HWND window =
        CreateWindowExA(WS_EX_LEFT, "DEFAULT", "DEFAULT", WS_POPUP | WS_SYSMENU, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                        GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance, nullptr);
    if (!window)
        return 0;
    g_hWnd = window;
    g_hInstance = instance;

    ShowWindow(g_hWnd, showCommand);
    UpdateWindow(g_hWnd);

    if (!InitDisplay(g_hWnd))
        return StartupFailed("ダイレクトドローの初期化に失敗しました");
    if (!InitSound(g_hWnd))
        return StartupFailed("ダイレクトサウンドの初期化に失敗しました");
    if (!InitRenderer(g_hWnd))
        return StartupFailed("ダイレクト３Ｄの初期化に失敗しました");
    if (!BuildScene(g_hWnd))
        return StartupFailed("シーンの初期化に失敗しました");

    g_lastTick = GetTickCount();
    ShowCursor(FALSE);

    // Every pending message is handled before the next frame runs.
    MSG message;
    for (;;) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return 1;
            TranslateMessage(&message);
            DispatchMessageA(&message);
            continue;
        }
        RunFrame();
    }
}
