// MCI command strings (SDL2_mixer): stub until the sequencer lands.
#include "mmsystem.h"

MCIERROR mciSendStringA(LPCSTR command, LPSTR returnString, UINT returnLength, HWND callback)
{
    (void)command;
    (void)callback;
    if (returnString && returnLength > 0)
        returnString[0] = '\0';
    return MCIERR_CANNOT_LOAD_DRIVER;
}
