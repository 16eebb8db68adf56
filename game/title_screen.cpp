// The title screen and the start of play.
#include "game/screens.h"

ButtonState g_titleButton = Up;

void DrawTitleScreen(bool&, bool&, bool&, bool&)
{
}
