// Sprite sheets loaded from bitmaps, clipped blits, digit strings and GDI text.
#pragma once

#include "ddraw.h"

struct SpriteSheet {
    LPDIRECTDRAWSURFACE surface; // none while the sheet is empty
    const char* fileName;        // kept to reload the sheet after its surface is lost
    int32_t width;
    int32_t height;
    int32_t pitch;
};

constexpr int SPRITE_SHEET_COUNT = 100;
extern SpriteSheet g_spriteSheets[SPRITE_SHEET_COUNT]; // emptied at window creation

constexpr int SPR_EXPLOSION0 = 0;
constexpr int SPR_EXPLOSION1 = 1;
constexpr int SPR_EXPLOSION2 = 2;
constexpr int SPR_EXPLOSION3 = 3;
constexpr int SPR_EARTH_EXPLOSION = 4;
constexpr int SPR_CROSSHAIR = 6;
constexpr int SPR_DIGITS = 7;
constexpr int SPR_SCORE_LABEL = 8;
constexpr int SPR_GAMEOVER = 9;
constexpr int SPR_LINE = 11;
constexpr int SPR_TIME_LABEL = 12;
constexpr int SPR_SPARK = 13;
constexpr int SPR_TITLE = 17;
constexpr int SPR_METEOR_LABEL = 18;
constexpr int SPR_UFO_LABEL = 19;
constexpr int SPR_MISSILE_LABEL = 20;
constexpr int SPR_BONUS_LABEL = 21;
constexpr int SPR_RATE_LABEL = 22;
constexpr int SPR_HISCORE_LABEL = 23;
constexpr int SPR_YOURSCORE_LABEL = 24;
constexpr int SPR_TOTALBONUS_LABEL = 25;

bool LoadSpriteSheet(SpriteSheet& sheet, const char* fileName);
void DrawSprite(int x, int y, SpriteSheet& sheet, int left, int top, int right, int bottom);
void DrawNumber(int32_t value, int32_t x, int32_t y, int32_t offset);
void DrawGdiText(const char* text, int height, int x, int y, int red, int green, int blue, BYTE italic);
void DrawLine(int x1, int y1, int x2, int y2, int penWidth, int red, int green, int blue);
