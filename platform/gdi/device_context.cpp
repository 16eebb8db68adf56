// GDI device contexts and objects (no library): memory and surface contexts, selection, stock
// objects, the bitmap copy into RGB565 surfaces, pens and lines.
#include "gdi_internal.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <unordered_map>

namespace {
constexpr int MAX_PEN_WIDTH = 256; // wider pens would only cost time: nothing here is that big

std::unordered_map<GdiObject*, std::unique_ptr<GdiObject>> g_objects;    // live GDI objects
std::unordered_map<GdiContext*, std::unique_ptr<GdiContext>> g_contexts; // live device contexts

// What a fresh context has selected, as GDI gives it.
GdiBitmap g_defaultBitmap; // 1 x 1 placeholder of a memory context
GdiFont g_defaultFont;
GdiPen g_defaultPen; // black, one pixel
GdiBrush g_whiteBrush;
GdiBrush g_blackBrush;

struct StockInit {
    StockInit()
    {
        for (GdiObject* object : {static_cast<GdiObject*>(&g_defaultBitmap), static_cast<GdiObject*>(&g_defaultFont),
                                  static_cast<GdiObject*>(&g_defaultPen), static_cast<GdiObject*>(&g_whiteBrush),
                                  static_cast<GdiObject*>(&g_blackBrush)})
            object->stock = true;
        g_defaultBitmap.image.width = 1;
        g_defaultBitmap.image.height = 1;
        g_defaultBitmap.image.fileHeight = 1;
        g_defaultBitmap.image.bitsPerPixel = 1;
        g_defaultBitmap.image.pixels.assign(1, 0);
        g_whiteBrush.colour = RGB(255, 255, 255);
    }
} g_stockInit;

GdiContext* NewContext()
{
    auto context = std::make_unique<GdiContext>();
    GdiContext* raw = context.get();
    raw->font = &g_defaultFont;
    raw->pen = &g_defaultPen;
    raw->brush = &g_whiteBrush;
    g_defaultFont.selectedIn++;
    g_defaultPen.selectedIn++;
    g_whiteBrush.selectedIn++;
    g_contexts.emplace(raw, std::move(context));
    return raw;
}

void FreeContext(GdiContext* context)
{
    for (GdiObject* object : {static_cast<GdiObject*>(context->bitmap), static_cast<GdiObject*>(context->font),
                              static_cast<GdiObject*>(context->pen), static_cast<GdiObject*>(context->brush)})
        if (object)
            object->selectedIn--;
    g_contexts.erase(context);
}

template <typename T> HGDIOBJ Swap(T*& slot, T* object)
{
    T* previous = slot;
    if (previous)
        previous->selectedIn--;
    slot = object;
    object->selectedIn++;
    return previous;
}

bool InCoordinateRange(int value)
{
    return value >= -32768 && value <= 32767;
}

// A square of the pen's width centred on the point, cut to the surface.
void Stamp(GdiContext* context, int x, int y, int width, uint16_t colour)
{
    int low = -(width - 1) / 2;
    int high = width / 2;
    for (int dy = low; dy <= high; dy++) {
        int py = y + dy;
        if (py < 0 || py >= context->height)
            continue;
        for (int dx = low; dx <= high; dx++) {
            int px = x + dx;
            if (px >= 0 && px < context->width)
                context->pixels[static_cast<size_t>(py) * context->pitchPixels + px] = colour;
        }
    }
}
} // namespace

HGDIOBJ AddGdiObject(GdiObject* object)
{
    g_objects.emplace(object, std::unique_ptr<GdiObject>(object));
    return object;
}

GdiObject* FindGdiObject(HGDIOBJ handle)
{
    GdiObject* object = static_cast<GdiObject*>(handle);
    for (GdiObject* stock : {static_cast<GdiObject*>(&g_defaultBitmap), static_cast<GdiObject*>(&g_defaultFont),
                             static_cast<GdiObject*>(&g_defaultPen), static_cast<GdiObject*>(&g_whiteBrush),
                             static_cast<GdiObject*>(&g_blackBrush)})
        if (object == stock)
            return stock;
    return g_objects.count(object) ? object : nullptr;
}

GdiContext* FindGdiContext(HDC context)
{
    return g_contexts.count(context) ? context : nullptr;
}

HDC CreateSurfaceDC(uint16_t* pixels, int width, int height, int pitchPixels)
{
    if (!pixels || width <= 0 || height <= 0 || pitchPixels < width)
        return nullptr;
    GdiContext* context = NewContext();
    context->pixels = pixels;
    context->width = width;
    context->height = height;
    context->pitchPixels = pitchPixels;
    return context;
}

void DestroySurfaceDC(HDC context)
{
    if (GdiContext* live = FindGdiContext(context))
        FreeContext(live);
}

HDC CreateCompatibleDC(HDC reference)
{
    (void)reference; // every context here is compatible with every other
    GdiContext* context = NewContext();
    context->bitmap = &g_defaultBitmap;
    g_defaultBitmap.selectedIn++;
    return context;
}

BOOL DeleteDC(HDC context)
{
    GdiContext* live = FindGdiContext(context);
    if (!live || live->pixels)
        return FALSE; // a surface's context goes back through ReleaseDC
    FreeContext(live);
    return TRUE;
}

HGDIOBJ GetStockObject(int object)
{
    switch (object) {
    case WHITE_BRUSH: return &g_whiteBrush;
    case BLACK_BRUSH: return &g_blackBrush;
    default: return nullptr;
    }
}

HGDIOBJ SelectObject(HDC context, HGDIOBJ handle)
{
    GdiContext* live = FindGdiContext(context);
    GdiObject* object = FindGdiObject(handle);
    if (!live || !object)
        return nullptr;
    switch (object->kind) {
    case GdiKind::Bitmap: {
        GdiBitmap* bitmap = static_cast<GdiBitmap*>(object);
        // Only a memory context takes a bitmap, and a bitmap sits in one context at a time.
        if (live->pixels || (bitmap != &g_defaultBitmap && bitmap->selectedIn > 0 && live->bitmap != bitmap))
            return nullptr;
        return Swap(live->bitmap, bitmap);
    }
    case GdiKind::Font: return Swap(live->font, static_cast<GdiFont*>(object));
    case GdiKind::Pen: return Swap(live->pen, static_cast<GdiPen*>(object));
    case GdiKind::Brush: return Swap(live->brush, static_cast<GdiBrush*>(object));
    }
    return nullptr;
}

BOOL DeleteObject(HGDIOBJ handle)
{
    GdiObject* object = FindGdiObject(handle);
    if (!object)
        return FALSE;
    if (object->stock)
        return TRUE;
    if (object->selectedIn > 0)
        return FALSE; // still selected: deleting it would leave the context pointing at nothing
    g_objects.erase(object);
    return TRUE;
}

// From a bitmap (memory context) or a surface into a surface, cut to both, converting to RGB565.
BOOL BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop)
{
    GdiContext* to = FindGdiContext(destination);
    GdiContext* from = FindGdiContext(source);
    if (!to || !from || !to->pixels || rop != SRCCOPY || width < 0 || height < 0)
        return FALSE;
    const DecodedBitmap* image = from->pixels ? nullptr : &from->bitmap->image;
    int sourceWidth = image ? image->width : from->width;
    int sourceHeight = image ? image->height : from->height;
    // Cut the rectangle to both sides, in 64 bits so that no sum overflows.
    int64_t left = 0, top = 0, right = width, bottom = height;
    left = std::max<int64_t>({left, -static_cast<int64_t>(x), -static_cast<int64_t>(sourceX)});
    top = std::max<int64_t>({top, -static_cast<int64_t>(y), -static_cast<int64_t>(sourceY)});
    right =
        std::min<int64_t>({right, static_cast<int64_t>(to->width) - x, static_cast<int64_t>(sourceWidth) - sourceX});
    bottom =
        std::min<int64_t>({bottom, static_cast<int64_t>(to->height) - y, static_cast<int64_t>(sourceHeight) - sourceY});
    for (int64_t row = top; row < bottom; row++) {
        uint16_t* out = to->pixels + (y + row) * to->pitchPixels + (x + left);
        int64_t sy = sourceY + row;
        int64_t count = right - left;
        if (image) {
            const uint32_t* in = &image->pixels[static_cast<size_t>(sy * image->width + sourceX + left)];
            for (int64_t i = 0; i < count; i++)
                out[i] = Rgb565(in[i] >> 16, in[i] >> 8, in[i]);
        } else {
            const uint16_t* in = from->pixels + sy * from->pitchPixels + (sourceX + left);
            std::memmove(out, in, static_cast<size_t>(count) * sizeof(uint16_t)); // may overlap
        }
    }
    return TRUE;
}

HPEN CreatePen(int style, int width, COLORREF colour)
{
    if (style != PS_SOLID)
        return nullptr; // dashes are not offered
    GdiPen* pen = new GdiPen();
    pen->width = std::clamp(width, 1, MAX_PEN_WIDTH);
    pen->colour = colour;
    return AddGdiObject(pen);
}

BOOL MoveToEx(HDC context, int x, int y, POINT* previous)
{
    GdiContext* live = FindGdiContext(context);
    if (!live)
        return FALSE;
    if (previous)
        *previous = live->position;
    live->position = {x, y};
    return TRUE;
}

// The end point itself is left out, as GDI does. Coordinates keep to 16 bits, as on the GDI
// this game was written for; a line beyond that is not drawn.
BOOL LineTo(HDC context, int x, int y)
{
    GdiContext* live = FindGdiContext(context);
    if (!live || !live->pixels)
        return FALSE;
    POINT from = live->position;
    live->position = {x, y};
    if (!InCoordinateRange(from.x) || !InCoordinateRange(from.y) || !InCoordinateRange(x) || !InCoordinateRange(y))
        return FALSE;
    uint16_t colour = ColorrefTo565(live->pen->colour);
    int x0 = from.x, y0 = from.y;
    int dx = std::abs(x - x0), dy = -std::abs(y - y0);
    int stepX = x0 < x ? 1 : -1, stepY = y0 < y ? 1 : -1;
    int error = dx + dy;
    while (x0 != x || y0 != y) {
        Stamp(live, x0, y0, live->pen->width, colour);
        int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x0 += stepX;
        }
        if (twice <= dx) {
            error += dx;
            y0 += stepY;
        }
    }
    return TRUE;
}
