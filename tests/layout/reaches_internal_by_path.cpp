// Must not compile from a game folder: the platform's private headers refuse to be included.
#include "platform/ddraw/ddraw_internal.h"
