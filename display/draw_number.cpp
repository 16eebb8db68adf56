// Numbers drawn digit by digit from the digit sheet.
#include "display/sprites.h"

void DrawNumber(int32_t value, int32_t x, int32_t y, int32_t offset)
{
    (void)value, (void)x, (void)y, (void)offset;
}
