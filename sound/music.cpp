// Background music through the MCI sequencer.
#include "sound/music.h"

bool g_musicOpen;
char g_musicStatus[32];

MCIERROR PlayMusic(const char* fileName)
{
    (void)fileName;
    return MCIERR_CANNOT_LOAD_DRIVER;
}

void StopMusic()
{
}
