// MIDI music through the MCI sequencer under the alias "midi".
#pragma once

#include "mmsystem.h"

extern bool g_musicOpen;       // the open command has been sent, whether or not it worked
extern char g_musicStatus[32]; // reply of the mode query

MCIERROR PlayMusic(const char* fileName);
void StopMusic();
