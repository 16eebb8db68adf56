// Compiles with the game's include paths: the public headers are all a game folder needs.
#include "d3drm.h"
#include "ddraw.h"
#include "dsound.h"
#include "mmsystem.h"
#include "windows.h"
