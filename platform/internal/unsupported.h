// How a stand-in refuses a call or a variant it does not implement: it says so once on stderr,
// then returns the error result (no library).
#pragma once

#include "platform_private.h"

#include <cstdio>

// `result` is returned; the message names the call and the variant, e.g.
//   return UNSUPPORTED(DDERR_UNSUPPORTED, "IDirectDrawSurface::Blt without a colour fill");
#define UNSUPPORTED(result, what)                                                                                      \
    ([&] {                                                                                                             \
        static bool s_said = false;                                                                                    \
        if (!s_said) {                                                                                                 \
            s_said = true;                                                                                             \
            std::fprintf(stderr, "orbitdefense: not supported here: %s\n", what);                                      \
        }                                                                                                              \
        return result;                                                                                                 \
    }())
