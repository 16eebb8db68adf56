// The explosion sound: DirectSound, the sound buffer table and the WAV loader.
#include "sound/sound.h"

LPDIRECTSOUND g_directSound;
LPDIRECTSOUNDBUFFER g_soundBuffers[SOUND_SLOTS];

bool InitSound(HWND window)
{
    (void)window;
    return false;
}

bool LoadWave(LPDIRECTSOUNDBUFFER& entry, const char* fileName)
{
    (void)entry;
    (void)fileName;
    return false;
}

void PlaySoundEffect(LPDIRECTSOUNDBUFFER buffer)
{
    (void)buffer;
}

void ReleaseSound()
{
}
