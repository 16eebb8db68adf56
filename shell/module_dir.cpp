// The executable's directory, where the models and textures live.
#include "shell/shell.h"

#include <cstring>

char g_moduleDir[256]; // rewritten by every call; ends in a backslash

char* GetModuleDirectory()
{
    GetModuleFileNameA(g_hInstance, g_moduleDir, sizeof(g_moduleDir));
    // Cut the file name off behind the last backslash; a path without one leaves nothing.
    size_t index = strnlen(g_moduleDir, sizeof(g_moduleDir) - 1);
    g_moduleDir[index] = '\0';
    while (g_moduleDir[index] != '\\') {
        g_moduleDir[index] = '\0';
        if (index == 0)
            break;
        index--;
    }
    return g_moduleDir;
}
