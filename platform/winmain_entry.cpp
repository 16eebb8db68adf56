// Process entry (C runtime): hands over to the game's WinMain, as the Windows loader would.
#include "shell/shell.h"

int main()
{
    char commandLine[] = "";
    return WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWNORMAL);
}
