// Background music: a MIDI piece through the MCI sequencer under the alias "midi". Its looping
// lives in the window procedure, which restarts the piece at each end-of-play notice.
#include "sound/music.h"

#include "base/shell_services.h"

#include <cstdio>

bool g_musicOpen;       // set once the open command is sent, cleared by StopMusic
char g_musicStatus[32]; // the window procedure's mode query writes its reply here

constexpr int MUSIC_COMMAND_SIZE = 256;

MCIERROR PlayMusic(const char* fileName)
{
    char command[MUSIC_COMMAND_SIZE];
    const int length = std::snprintf(command, sizeof command, "open \"%s%s\" type sequencer alias midi",
                                     GetModuleDirectory(), fileName);
    // A path too long for the command is refused rather than sent cut short.
    if (length < 0 || length >= MUSIC_COMMAND_SIZE)
        return MCIERR_FILE_NOT_FOUND;
    if (g_musicOpen)
        StopMusic();
    mciSendStringA(command, nullptr, 0, nullptr);
    mciSendStringA("seek midi to start", nullptr, 0, nullptr);
    const MCIERROR result = mciSendStringA("play midi notify", nullptr, 0, g_hWnd);
    g_musicOpen = true;
    return result;
}

void StopMusic()
{
    if (!g_musicOpen)
        return;
    mciSendStringA("stop midi", nullptr, 0, nullptr);
    mciSendStringA("close midi", nullptr, 0, nullptr);
    g_musicOpen = false;
}
