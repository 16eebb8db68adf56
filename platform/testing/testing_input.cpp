// The scripted clock and scripted input for the tests (no library): ticks set by the test,
// pointer moves, keys and buttons fed to the window's message queue.
#include "testing.h"
#include "window_internal.h"

namespace {
DWORD g_scriptedTicks = 0;

bool ScriptedTicks(DWORD* ticks)
{
    *ticks = g_scriptedTicks;
    return true;
}
} // namespace

void TestUseManualClock(DWORD startMs)
{
    g_scriptedTicks = startMs;
    g_platformHooks.scriptedTicks = ScriptedTicks;
}

void TestAdvanceClock(DWORD ms)
{
    g_scriptedTicks += ms; // unsigned: wraps like the real counter
}

void TestMoveMouse(int x, int y)
{
    QueuePointerMove(MainWindow(), x, y, false);
}

void TestPressKey(int virtualKey)
{
    QueueMessage(MainWindow(), WM_KEYDOWN, static_cast<WPARAM>(virtualKey), 1);
}

void TestSetMouseButton(int virtualKey, bool down)
{
    SetKeyDown(virtualKey, down);
}

void TestRequestClose()
{
    QueueMessage(MainWindow(), WM_CLOSE, 0, 0);
}
