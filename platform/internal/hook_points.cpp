// Hook points for the tests (no library): empty unless the platform_testing library fills them.
#include "hook_points.h"

PlatformHooks g_platformHooks = {};
