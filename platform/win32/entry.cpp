// Process entry (C runtime): reads the player's options and hands over to the game's WinMain, as
// the Windows loader would.
#include "window_internal.h"

#include <cstdio>

// Under LeakSanitizer: memory the system libraries keep for the life of the process (the
// desktop bus SDL talks to, fontconfig's cache) is not ours to free.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libdbus\nleak:libfontconfig\n";
}

int main(int argc, char** argv)
{
    int exitCode = ParseCommandLine(argc, argv, &g_launchOptions, stdout, stderr);
    if (exitCode >= 0)
        return exitCode;
    // Rather than run unseen, say so; the game's exit code for a window it could not make is 0.
    std::string noDisplay = WhyNoDisplay();
    if (!noDisplay.empty()) {
        std::fprintf(stderr, "orbitdefense: %s\n", noDisplay.c_str());
        return 0;
    }
    char commandLine[] = "";
    return WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWNORMAL);
}
