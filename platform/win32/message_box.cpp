// Message boxes on SDL2: the text decoded from code page 932, shown on a desktop or written to
// stderr without one.
#include "hook_points.h"
#include "platform_internal.h"
#include "window_internal.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    std::string body = text ? Cp932ToUtf8(text, std::strlen(text)) : std::string();
    // Windows captions a box without a caption of its own "Error".
    std::string title = caption ? Cp932ToUtf8(caption, std::strlen(caption)) : std::string("Error");
    if (g_platformHooks.messageBox)
        g_platformHooks.messageBox(title.c_str(), body.c_str(), owner != nullptr);
    if (HasRealDisplay()) {
        Uint32 flags = (type & MB_ICONERROR) ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
        if (SDL_ShowSimpleMessageBox(flags, title.c_str(), body.c_str(), SdlWindowOf(owner)) == 0)
            return IDOK;
    }
    std::fprintf(stderr, "%s: %s\n", title.c_str(), body.c_str());
    return IDOK;
}
