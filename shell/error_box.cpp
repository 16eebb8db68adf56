// The start-up error box, shown over the full-screen display.
#include "shell/shell.h"

bool ShowErrorBox(const char* text)
{
    (void)text;
    return false;
}
