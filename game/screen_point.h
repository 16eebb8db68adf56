// Projected points as screen pixels, and the range of pixels the game does arithmetic on.
#pragma once

#include "d3drm.h"
#include "game/float_to_int.h"

#include <cmath>
#include <cstdint>

// Far beyond any sprite's reach from the 640 x 480 screen, yet small enough that a pixel plus or
// minus any cell offset stays well inside int32.
constexpr int32_t SCREEN_POINT_LIMIT = 1000000;

inline bool PixelInRange(int64_t value)
{
    return value >= -SCREEN_POINT_LIMIT && value <= SCREEN_POINT_LIMIT;
}

// The pixel of a projected point, truncated toward zero. A point at or behind the camera's plane
// (w <= 0) has no pixel, and one just in front of it projects absurdly far out: both count as off
// screen, and nothing may be locked on or drawn at them.
inline bool ProjectedToScreen(const D3DRMVECTOR4D& projected, int32_t& sx, int32_t& sy)
{
    if (!(projected.w > 0.0f))
        return false;
    float x = projected.x / projected.w;
    float y = projected.y / projected.w;
    if (!(std::fabs(x) <= SCREEN_POINT_LIMIT) || !(std::fabs(y) <= SCREEN_POINT_LIMIT))
        return false;
    sx = TruncToInt(x);
    sy = TruncToInt(y);
    return true;
}
