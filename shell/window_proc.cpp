// The window procedure: pointer moves, Escape, the close teardown and the music's end notice.
#include "shell/window_proc.h"

#include "display/display.h"
#include "display/draw2d.h"
#include "game/round.h"
#include "scene/renderer.h"
#include "scene/scene_registry.h"
#include "sound/music.h"
#include "sound/sound.h"

// Set once Escape has released the scene; a second Escape queued behind the first must not
// release the same objects again.
static bool s_sceneReleased;

// Restarts the music when the sequencer reports it has played to its end.
static void LoopMusic(HWND window)
{
    mciSendStringA("status midi mode", g_musicStatus, sizeof(g_musicStatus), nullptr);
    if (g_musicStatus[0] == 's' && g_musicStatus[1] == 't') {
        mciSendStringA("seek midi to start", nullptr, 0, nullptr);
        mciSendStringA("play midi notify", nullptr, 0, window);
    }
}

static void CloseDown(HWND window)
{
    ShowCursor(TRUE);
    ReleaseRenderer();
    ReleaseDisplay(window);
    ReleaseSound();
    StopMusic();
    CloseWindow(window);
    DestroyWindow(window);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        for (int i = 0; i < SPRITE_SHEET_COUNT; i++)
            g_spriteSheets[i].surface = nullptr;
        for (int i = 0; i < SOUND_SLOTS; i++)
            g_soundBuffers[i] = nullptr;
        break;
    case WM_DESTROY: PostQuitMessage(0); break;
    case WM_CLOSE: CloseDown(window); return 0;
    case WM_KEYDOWN: HandleKeyDown(wParam, window); break;
    case WM_MOUSEMOVE:
        // Both halves are unsigned: the pointer position is never negative.
        g_mouseX = LOWORD(lParam);
        g_mouseY = HIWORD(lParam);
        break;
    case MM_MCINOTIFY:
        if (wParam == MCI_NOTIFY_SUCCESSFUL && g_musicOpen)
            LoopMusic(window);
        break;
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void HandleKeyDown(WPARAM virtualKey, HWND window)
{
    if (virtualKey != VK_ESCAPE)
        return;
    if (!s_sceneReleased) {
        ReleaseSceneRegistry();
        s_sceneReleased = true;
    }
    PostMessageA(window, WM_CLOSE, 0, 0);
}
