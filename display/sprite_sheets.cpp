// Sprite sheets: bitmaps loaded into colour-keyed surfaces, and clipped blits from them.
#include "display/sprites.h"

SpriteSheet g_spriteSheets[SPRITE_SHEET_COUNT];

bool LoadSpriteSheet(SpriteSheet& sheet, const char* fileName)
{
    (void)sheet;
    (void)fileName;
    return false;
}

void DrawSprite(int x, int y, SpriteSheet& sheet, int left, int top, int right, int bottom)
{
    (void)x, (void)y, (void)sheet, (void)left, (void)top, (void)right, (void)bottom;
}
