// The explosion sound: DirectSound, the sound buffer table and the WAV loader.
#pragma once

#include "dsound.h"

constexpr int SOUND_SLOTS = 100;
constexpr int SND_BOMB = 0;

extern LPDIRECTSOUND g_directSound;                     // from InitSound
extern LPDIRECTSOUNDBUFFER g_soundBuffers[SOUND_SLOTS]; // emptied at window creation

bool InitSound(HWND window);
bool LoadWave(LPDIRECTSOUNDBUFFER& entry, const char* fileName);
void PlaySoundEffect(LPDIRECTSOUNDBUFFER buffer);
void ReleaseSound();
