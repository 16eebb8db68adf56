// Text and lines drawn through GDI into the back buffer.
#include "display/sprites.h"

void DrawGdiText(const char* text, int height, int x, int y, int red, int green, int blue, BYTE italic)
{
    (void)text, (void)height, (void)x, (void)y, (void)red, (void)green, (void)blue, (void)italic;
}

void DrawLine(int x1, int y1, int x2, int y2, int penWidth, int red, int green, int blue)
{
    (void)x1, (void)y1, (void)x2, (void)y2, (void)penWidth, (void)red, (void)green, (void)blue;
}
