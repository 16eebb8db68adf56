// Numbers drawn digit by digit from the digit sheet.
#include "display/draw2d.h"

#include <cinttypes>
#include <cstdio>

constexpr int DIGIT_WIDTH = 16;
constexpr int DIGIT_HEIGHT = 20;

static int ClampToInt(int64_t value)
{
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int>(value);
}

// Draws value + offset without its first character: an offset of 9 x 10^k gives k digits with
// leading zeros. The sum is taken in 64 bits so that it never overflows.
void DrawNumber(int32_t value, int32_t x, int32_t y, int32_t offset)
{
    char text[200];
    snprintf(text, sizeof(text), "%" PRId64, static_cast<int64_t>(value) + offset);
    for (int i = 0; text[i + 1] != '\0'; i++) {
        int digit = text[i + 1] - '0';
        if (digit < 0 || digit > 9)
            continue;
        DrawSprite(ClampToInt(static_cast<int64_t>(x) + DIGIT_WIDTH * i), y, g_spriteSheets[SPR_DIGITS],
                   DIGIT_WIDTH * digit, 0, DIGIT_WIDTH * digit + DIGIT_WIDTH, DIGIT_HEIGHT);
    }
}
