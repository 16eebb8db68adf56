// Kernel calls on SDL2 (ticks) and the C library: the clock, the module path, global memory.
#include "hook_points.h"
#include "platform_internal.h"
#include "window_internal.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

namespace {
char g_moduleHandle; // the address stands for the one module, the executable
} // namespace

DWORD GetTickCount()
{
    DWORD scripted;
    if (g_platformHooks.scriptedTicks && g_platformHooks.scriptedTicks(&scripted))
        return scripted;
    // Truncating to 32 bits gives the wrap every 49.7 days that Windows has. Time spent with the
    // window in the background does not count: the round clock stands still meanwhile.
    return static_cast<DWORD>(SDL_GetTicks64()) - PausedMilliseconds();
}

HMODULE GetModuleHandleA(LPCSTR moduleName)
{
    if (moduleName)
        return nullptr; // no libraries of that kind here
    return reinterpret_cast<HMODULE>(&g_moduleHandle);
}

// The executable's path with backslashes, as Windows gives it (a long one in its short form, see
// ModuleFileName). On a short buffer the path is cut and still terminated, and the buffer size
// comes back, as on Windows.
DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size)
{
    if (!fileName || size == 0)
        return 0;
    if (module && module != GetModuleHandleA(nullptr)) {
        fileName[0] = 0;
        return 0;
    }
    std::string path = ModuleFileName();
    if (path.empty()) {
        fileName[0] = 0;
        return 0;
    }
    if (path.size() >= size) {
        std::memcpy(fileName, path.data(), size - 1);
        fileName[size - 1] = 0;
        return size;
    }
    std::memcpy(fileName, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}

// Only fixed memory: the handle is the pointer itself.
HGLOBAL GlobalAlloc(UINT flags, size_t bytes)
{
    if (flags & ~static_cast<UINT>(GMEM_ZEROINIT))
        return nullptr; // movable or discardable memory is not offered
    size_t size = bytes ? bytes : 1;
    return (flags & GMEM_ZEROINIT) ? std::calloc(1, size) : std::malloc(size);
}

HGLOBAL GlobalFree(HGLOBAL memory)
{
    std::free(memory);
    return nullptr;
}

LPSTR lstrcpyA(LPSTR destination, LPCSTR source)
{
    if (!destination || !source)
        return nullptr;
    return std::strcpy(destination, source);
}
