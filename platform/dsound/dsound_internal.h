// The DirectSound stand-in's shared parts: the one SDL2_mixer output (also used by the MCI
// sequencer) and the secondary buffer factory.
#pragma once

#include "../internal/platform_private.h"

#include <SDL.h>

// Opens the mixer on first use (MIDI support and the General MIDI soundfont included); every
// successful call needs one ReleaseMixer. False when audio cannot be opened.
bool AcquireMixer();
void ReleaseMixer();

// The output format the mixer settled on; valid while acquired.
struct MixerFormat {
    int rate = 0;
    SDL_AudioFormat format = 0;
    int channels = 0;
};
MixerFormat GetMixerFormat();

// A mixer channel of one's own, so that restarting a sound cuts the previous start off.
int AcquireMixerChannel();
void ReleaseMixerChannel(int channel);

#include "dsound.h"

#include <cstdint>
#include <vector>

// A secondary buffer of PCM data owned by `device` (which it keeps referenced).
HRESULT CreatePcmSoundBuffer(IDirectSound* device, const DSBUFFERDESC* desc, LPDIRECTSOUNDBUFFER* buffer);
// A buffer's bytes in its own PCM format, or null for a foreign object.
const std::vector<uint8_t>* SoundBufferData(IDirectSoundBuffer* buffer);
// True while the buffer's sound is audible on its channel.
bool SoundBufferPlaying(IDirectSoundBuffer* buffer);
