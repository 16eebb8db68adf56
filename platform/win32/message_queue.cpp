// The window message queue (no library; the events come from SDL2 through window_sdl.cpp):
// posting, peeking, dispatching, the quit message, default handling and the key state.
#include "platform_internal.h"
#include "window_internal.h"

#include <algorithm>
#include <deque>
#include <mutex>

namespace {
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr LPARAM ALT_DOWN_BIT = LPARAM(1) << 29;

std::mutex g_queueLock;     // the audio thread may post too
std::deque<MSG> g_messages; // posted messages, oldest first
bool g_quitPosted = false;  // WM_QUIT comes out once nothing else is waiting
int g_quitCode = 0;
bool g_keyDown[256] = {}; // what GetKeyState reports, main thread only
POINT g_pointer = {0, 0}; // the last pointer position queued

bool InFilter(UINT message, UINT low, UINT high)
{
    return (low == 0 && high == 0) || (message >= low && message <= high);
}

WPARAM ButtonFlags()
{
    return (g_keyDown[VK_LBUTTON] ? MK_LBUTTON : 0) | (g_keyDown[VK_RBUTTON] ? MK_RBUTTON : 0);
}
} // namespace

void QueueMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    std::lock_guard<std::mutex> hold(g_queueLock);
    g_messages.push_back(MSG{window, message, wParam, lParam, 0, {0, 0}});
}

// x and y are cut to the display, so the game never sees a negative position.
void QueuePointerMove(HWND window, int x, int y, bool coalesce)
{
    x = std::clamp(x, 0, POINTER_WIDTH - 1);
    y = std::clamp(y, 0, POINTER_HEIGHT - 1);
    g_pointer = {x, y};
    MSG move{window, WM_MOUSEMOVE, ButtonFlags(), MAKELPARAM(x, y), 0, {x, y}};
    std::lock_guard<std::mutex> hold(g_queueLock);
    // Like Windows, a waiting move is replaced rather than joined by another.
    if (coalesce && !g_messages.empty() && g_messages.back().message == WM_MOUSEMOVE &&
        g_messages.back().hwnd == window)
        g_messages.back() = move;
    else
        g_messages.push_back(move);
}

bool HasQueuedMessages()
{
    std::lock_guard<std::mutex> hold(g_queueLock);
    return !g_messages.empty() || g_quitPosted;
}

void SetKeyDown(int virtualKey, bool down)
{
    if (virtualKey >= 0 && virtualKey < 256)
        g_keyDown[virtualKey] = down;
}

bool IsKeyDown(int virtualKey)
{
    return virtualKey >= 0 && virtualKey < 256 && g_keyDown[virtualKey];
}

void PostMessageFromAnyThread(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    QueueMessage(window, message, wParam, lParam); // checked against live windows when taken
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window && !IsLiveWindow(window))
        return FALSE;
    QueueMessage(window, message, wParam, lParam);
    return TRUE;
}

void PostQuitMessage(int exitCode)
{
    std::lock_guard<std::mutex> hold(g_queueLock);
    g_quitPosted = true;
    g_quitCode = exitCode;
}

BOOL PeekMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    if (!message)
        return FALSE;
    PumpWindowEvents();
    // While the window is in the background no frame runs: wait for events until one brings a
    // message or the window comes back.
    while (!HasQueuedMessages() && WaitWhileInBackground()) { }
    std::unique_lock<std::mutex> hold(g_queueLock);
    for (auto it = g_messages.begin(); it != g_messages.end();) {
        if (it->hwnd && !IsLiveWindow(it->hwnd)) {
            it = g_messages.erase(it); // its window is gone, and the message with it
            continue;
        }
        if ((window && it->hwnd != window) || !InFilter(it->message, filterMin, filterMax)) {
            ++it;
            continue;
        }
        *message = *it;
        if (removeFlags & PM_REMOVE)
            g_messages.erase(it);
        hold.unlock();
        message->time = GetTickCount();
        message->pt = g_pointer;
        return TRUE;
    }
    if (g_quitPosted && !window && InFilter(WM_QUIT, filterMin, filterMax)) {
        *message = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(g_quitCode), 0, 0, g_pointer};
        if (removeFlags & PM_REMOVE)
            g_quitPosted = false;
        hold.unlock();
        message->time = GetTickCount();
        return TRUE;
    }
    return FALSE;
}

// No character messages are made: nothing in the game reads them.
BOOL TranslateMessage(const MSG* message)
{
    (void)message;
    return FALSE;
}

LRESULT DispatchMessageA(const MSG* message)
{
    if (!message || !message->hwnd)
        return 0;
    WNDPROC procedure = WindowProcOf(message->hwnd);
    return procedure ? procedure(message->hwnd, message->message, message->wParam, message->lParam) : 0;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC procedure = WindowProcOf(window);
    return procedure ? procedure(window, message, wParam, lParam) : 0;
}

// Alt+F4 becomes the close command, the close command becomes WM_CLOSE, and WM_CLOSE destroys.
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4 && (lParam & ALT_DOWN_BIT))
            SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE)
            SendMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    default: return 0;
    }
}

// Bit 0x80 and the sign bit while down, as Windows reports a pressed key.
short GetKeyState(int virtualKey)
{
    return IsKeyDown(virtualKey) ? static_cast<short>(-128) : 0;
}
