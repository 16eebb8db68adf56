// Fuzz target: a bitmap file decoded by LoadImageA and put into a sprite sheet's surface.
#include "base/shell_services.h"
#include "display/draw2d.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!g_directDraw)
        DirectDrawCreate(nullptr, &g_directDraw, nullptr);
    SpriteSheet sheet{};
    if (LoadSpriteSheet(sheet, InputAsFile(data, size)) && sheet.surface)
        sheet.surface->Release();
    return 0;
}
