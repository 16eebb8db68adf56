// The executable's directory, where the models and textures live.
#include "shell/shell.h"

char g_moduleDir[256];

char* GetModuleDirectory()
{
    return g_moduleDir;
}
