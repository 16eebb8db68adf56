// The mouse button tracker: one poll per frame advances a button's state.
#include "shell/shell.h"

// Next state by old state, for the button up and down.
static const ButtonState s_nextState[4][2] = {
    {Up, Pressed},      // Up
    {Released, Held},   // Pressed
    {Up, Held},         // Released
    {Released, Held},   // Held
};

void UpdateButtonState(int virtualKey, ButtonState& state)
{
    bool down = (GetKeyState(virtualKey) & 0x80) != 0;
    int old = static_cast<int>(state) & 3;
    state = s_nextState[old][down ? 1 : 0];
}
