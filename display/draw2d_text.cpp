// Text and lines drawn through GDI into the back buffer.
#include "display/draw2d.h"

#include "display/display.h"

#include <cstring>

void DrawGdiText(const char* text, int height, int x, int y, int red, int green, int blue, BYTE italic)
{
    HDC context = nullptr;
    if (FAILED(g_backBuffer->GetDC(&context)) || !context)
        return;
    LOGFONTA* font = static_cast<LOGFONTA*>(GlobalAlloc(GPTR, sizeof(LOGFONTA)));
    if (!font) {
        g_backBuffer->ReleaseDC(context);
        return;
    }
    lstrcpyA(font->lfFaceName, "標準明朝");
    font->lfWeight = FW_NORMAL;
    font->lfHeight = height;
    font->lfItalic = italic;
    font->lfCharSet = SHIFTJIS_CHARSET;

    HFONT handle = CreateFontIndirectA(font);
    HGDIOBJ previous = SelectObject(context, handle);
    SetBkMode(context, TRANSPARENT);
    SetTextColor(context, RGB(red, green, blue));
    TextOutA(context, x, y, text, static_cast<int>(strlen(text)));
    SelectObject(context, previous);
    DeleteObject(handle);
    g_backBuffer->ReleaseDC(context);
    GlobalFree(font);
}

void DrawLine(int x1, int y1, int x2, int y2, int penWidth, int red, int green, int blue)
{
    HDC context = nullptr;
    if (FAILED(g_backBuffer->GetDC(&context)) || !context)
        return;
    HPEN pen = CreatePen(PS_SOLID, penWidth, RGB(red, green, blue));
    HGDIOBJ previous = SelectObject(context, pen);
    MoveToEx(context, x1, y1, nullptr);
    LineTo(context, x2, y2);
    SelectObject(context, previous);
    DeleteObject(pen);
    g_backBuffer->ReleaseDC(context);
}
