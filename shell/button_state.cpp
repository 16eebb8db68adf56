// The mouse button tracker: one poll per frame advances a button's state.
#include "shell/shell.h"

void UpdateButtonState(int virtualKey, ButtonState& state)
{
    (void)virtualKey;
    (void)state;
}
