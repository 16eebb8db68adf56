// Must not compile with the game's include paths: the test hooks are for tests only.
#include "testing.h"
