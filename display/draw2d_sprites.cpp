// Sprite sheets: bitmaps loaded into colour-keyed surfaces, and clipped blits from them.
#include "display/draw2d.h"

#include "display/display.h"

#include <cstdint>
#include <cstring>

SpriteSheet g_spriteSheets[SPRITE_SHEET_COUNT]; // emptied at window creation, released with the display

constexpr DWORD SURFACE_DESC_SIZE = 108; // the 32-bit Windows record size
constexpr int32_t MAX_SHEET_WIDTH = DISPLAY_WIDTH;

// Copies the bitmap's top-left width x height pixels into the surface; GDI converts the format.
static void UploadBitmap(LPDIRECTDRAWSURFACE surface, HANDLE bitmap, int32_t width, int32_t height)
{
    HDC memoryContext = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memoryContext, bitmap);
    HDC surfaceContext = nullptr;
    if (SUCCEEDED(surface->GetDC(&surfaceContext)) && surfaceContext) {
        BitBlt(surfaceContext, 0, 0, width, height, memoryContext, 0, 0, SRCCOPY);
        surface->ReleaseDC(surfaceContext);
    }
    SelectObject(memoryContext, previous);
    DeleteDC(memoryContext);
}

bool LoadSpriteSheet(SpriteSheet& sheet, const char* fileName)
{
    // A bare name: the bitmap is looked up in the current directory.
    HANDLE bitmap = LoadImageA(nullptr, fileName, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (!bitmap)
        return false;

    BITMAP info;
    memset(&info, 0, sizeof(info));
    GetObjectA(bitmap, sizeof(info), &info);
    int32_t width = info.bmWidth < MAX_SHEET_WIDTH ? info.bmWidth : MAX_SHEET_WIDTH;
    // A top-down bitmap reports a negative height.
    int64_t height = info.bmHeight < 0 ? -static_cast<int64_t>(info.bmHeight) : info.bmHeight;
    if (width <= 0 || height <= 0 || height > INT32_MAX) {
        DeleteObject(bitmap);
        return false;
    }

    DDSURFACEDESC desc;
    memset(&desc, 0, sizeof(desc));
    desc.dwSize = SURFACE_DESC_SIZE;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    LPDIRECTDRAWSURFACE surface = nullptr;
    if (FAILED(g_directDraw->CreateSurface(&desc, &surface, nullptr)) || !surface) {
        DeleteObject(bitmap);
        return false;
    }

    UploadBitmap(surface, bitmap, width, static_cast<int32_t>(height));
    DeleteObject(bitmap);

    // A reload replaces the restored surface with the freshly filled one.
    if (sheet.surface && sheet.surface != surface)
        sheet.surface->Release();
    sheet.surface = surface;
    sheet.fileName = fileName;

    DDCOLORKEY key;
    key.dwColorSpaceLowValue = 0;
    key.dwColorSpaceHighValue = 0;
    surface->SetColorKey(DDCKEY_SRCBLT, &key);

    memset(&desc, 0, sizeof(desc));
    desc.dwSize = SURFACE_DESC_SIZE;
    surface->GetSurfaceDesc(&desc);
    sheet.pitch = desc.lPitch;
    sheet.width = static_cast<int32_t>(desc.dwWidth);
    sheet.height = static_cast<int32_t>(desc.dwHeight);
    return true;
}

static bool FitsLong(int64_t value)
{
    return value >= INT32_MIN && value <= INT32_MAX;
}

void DrawSprite(int x, int y, SpriteSheet& sheet, int left, int top, int right, int bottom)
{
    // Clipped by hand, since the fast copy does not clip. Worked in 64 bits so that no input
    // overflows; the right and bottom cuts use the position as passed in.
    int64_t px = x, py = y;
    int64_t l = left, t = top, r = right, b = bottom;
    if (px + (r - l) > DISPLAY_WIDTH)
        r = DISPLAY_WIDTH - px + l;
    if (py + (b - t) > DISPLAY_HEIGHT)
        b = DISPLAY_HEIGHT - py + t;
    if (px < 0) {
        l -= px;
        px = 0;
    }
    if (py < 0) {
        t -= py;
        py = 0;
    }
    if (r < l || b < t)
        return;
    // A rectangle beyond the 32-bit range cannot lie inside any sheet: the copy would draw nothing.
    if (!sheet.surface || !FitsLong(l) || !FitsLong(t) || !FitsLong(r) || !FitsLong(b))
        return;

    RECT source = {static_cast<LONG>(l), static_cast<LONG>(t), static_cast<LONG>(r), static_cast<LONG>(b)};
    HRESULT result = g_backBuffer->BltFast(static_cast<DWORD>(px), static_cast<DWORD>(py), sheet.surface, &source,
                                           DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT);
    if (result == DDERR_SURFACELOST) {
        // Whichever surface was lost, the sheet's picture is gone with it: reload from the file.
        g_primarySurface->Restore();
        sheet.surface->Restore();
        if (sheet.fileName)
            LoadSpriteSheet(sheet, sheet.fileName);
    }
}
