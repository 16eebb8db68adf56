// Must not compile with the game's include paths: a stand-in's internals are not on them.
#include "d3drm_objects.h"
