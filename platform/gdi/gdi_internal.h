// The GDI objects and device contexts shared by the GDI stand-in files.
#pragma once

#include "../internal/platform_private.h"

#include "platform_internal.h"

enum class GdiKind { Bitmap, Font, Pen, Brush };

struct GdiObject {
    explicit GdiObject(GdiKind kind_) : kind(kind_) { }
    virtual ~GdiObject() = default;
    GdiKind kind;
    bool stock = false; // never deleted
    int selectedIn = 0; // device contexts holding it; a selected object is not deleted
};

struct GdiBitmap : GdiObject {
    GdiBitmap() : GdiObject(GdiKind::Bitmap) { }
    DecodedBitmap image;
};

struct GdiFont : GdiObject {
    GdiFont() : GdiObject(GdiKind::Font) { }
    LOGFONTA logFont{};
};

struct GdiPen : GdiObject {
    GdiPen() : GdiObject(GdiKind::Pen) { }
    int width = 1;
    COLORREF colour = 0;
};

struct GdiBrush : GdiObject {
    GdiBrush() : GdiObject(GdiKind::Brush) { }
    COLORREF colour = 0;
};

// A memory context (CreateCompatibleDC) reads from its selected bitmap; a surface context draws
// into surface memory.
struct GdiContext {
    uint16_t* pixels = nullptr; // surface memory, or null for a memory context
    int width = 0;
    int height = 0;
    int pitchPixels = 0;
    GdiBitmap* bitmap = nullptr;
    GdiFont* font = nullptr;
    GdiPen* pen = nullptr;
    GdiBrush* brush = nullptr;
    int bkMode = OPAQUE;
    COLORREF textColour = RGB(0, 0, 0);
    COLORREF bkColour = RGB(255, 255, 255);
    POINT position{0, 0};
};

// Registers a new object; the handle is its address.
HGDIOBJ AddGdiObject(GdiObject* object);
// The live object behind a handle, or null for anything else.
GdiObject* FindGdiObject(HGDIOBJ handle);
// The live context behind a handle, or null.
GdiContext* FindGdiContext(HDC context);

// 0x00RRGGBB or COLORREF colours to RGB565 by dropping the low bits.
inline uint16_t Rgb565(unsigned r, unsigned g, unsigned b)
{
    return static_cast<uint16_t>(((r & 0xFF) >> 3) << 11 | ((g & 0xFF) >> 2) << 5 | ((b & 0xFF) >> 3));
}
inline uint16_t ColorrefTo565(COLORREF colour)
{
    return Rgb565(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}
