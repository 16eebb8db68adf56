// The 2D tests' shared set-up and the game's way of drawing text.
#include "display_fixture.h"

#include <gtest/gtest.h>

#include <cstring>

const char MINCHO_FACE[] = "\x95\x57\x8F\x80\x96\xBE\x92\xA9";

DisplayFixture::DisplayFixture()
{
    EXPECT_EQ(DirectDrawCreate(nullptr, &directDraw, nullptr), DD_OK);
    EXPECT_EQ(directDraw->SetCooperativeLevel(reinterpret_cast<HWND>(1), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    EXPECT_EQ(directDraw->SetDisplayMode(640, 480, 16), DD_OK);
    DDSURFACEDESC desc{};
    desc.dwSize = 108;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
    desc.dwBackBufferCount = 1;
    EXPECT_EQ(directDraw->CreateSurface(&desc, &primary, nullptr), DD_OK);
    DDSCAPS caps{DDSCAPS_BACKBUFFER};
    EXPECT_EQ(primary->GetAttachedSurface(&caps, &backBuffer), DD_OK);
}

DisplayFixture::~DisplayFixture()
{
    primary->Release(); // takes the back buffer with it
    directDraw->Release();
}

IDirectDrawSurface* DisplayFixture::Offscreen(int width, int height)
{
    DDSURFACEDESC desc{};
    desc.dwSize = 108;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    IDirectDrawSurface* surface = nullptr;
    EXPECT_EQ(directDraw->CreateSurface(&desc, &surface, nullptr), DD_OK);
    return surface;
}

bool DrawTextLikeTheGame(IDirectDrawSurface* surface, const char* face, int height, bool italic, int x, int y,
                         COLORREF colour, int backgroundMode, const char* text)
{
    HDC context = nullptr;
    if (surface->GetDC(&context) != DD_OK)
        return false;
    LOGFONTA logFont{};
    std::strcpy(logFont.lfFaceName, face);
    logFont.lfHeight = height;
    logFont.lfWeight = FW_NORMAL;
    logFont.lfItalic = italic;
    logFont.lfCharSet = SHIFTJIS_CHARSET;
    HFONT font = CreateFontIndirectA(&logFont);
    HGDIOBJ previous = SelectObject(context, font);
    SetBkMode(context, backgroundMode);
    SetTextColor(context, colour);
    bool drawn = TextOutA(context, x, y, text, static_cast<int>(std::strlen(text)));
    SelectObject(context, previous);
    bool deleted = DeleteObject(font);
    bool released = surface->ReleaseDC(context) == DD_OK;
    return drawn && deleted && released;
}
