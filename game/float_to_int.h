// The one way the game turns a floating value into an integer: truncation toward zero,
// saturating at the int32 range, with NaN taken as 0, so no conversion is ever undefined.
#pragma once

#include <cmath>
#include <cstdint>

inline int32_t TruncToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0)
        return INT32_MAX;
    if (value <= -2147483648.0)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}
