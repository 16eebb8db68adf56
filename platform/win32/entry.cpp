// Process entry (C runtime): hands over to the game's WinMain, as the Windows loader would.
#include "windows.h"

// Under LeakSanitizer: memory the system libraries keep for the life of the process (the
// desktop bus SDL talks to, fontconfig's cache) is not ours to free.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libdbus\nleak:libfontconfig\n";
}

int main()
{
    char commandLine[] = "";
    return WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWNORMAL);
}
