// Message boxes on SDL2: the text decoded from code page 932, shown on a desktop or written to
// stderr without one, and recorded for the tests.
#include "platform_internal.h"
#include "testing.h"
#include "window_internal.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>

namespace {
std::vector<TestMessageBox> g_boxes; // every box asked for
} // namespace

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    std::string body = text ? Cp932ToUtf8(text, std::strlen(text)) : std::string();
    // Windows captions a box without a caption of its own "Error".
    std::string title = caption ? Cp932ToUtf8(caption, std::strlen(caption)) : std::string("Error");
    g_boxes.push_back({title, body, owner != nullptr});
    if (HasRealDisplay()) {
        Uint32 flags = (type & MB_ICONERROR) ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
        if (SDL_ShowSimpleMessageBox(flags, title.c_str(), body.c_str(), SdlWindowOf(owner)) == 0)
            return IDOK;
    }
    std::fprintf(stderr, "%s: %s\n", title.c_str(), body.c_str());
    return IDOK;
}

const std::vector<TestMessageBox>& TestMessageBoxes()
{
    return g_boxes;
}

void TestClearMessageBoxes()
{
    g_boxes.clear();
}
