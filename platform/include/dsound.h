// DirectSound as the game uses it: secondary buffers of PCM data mixed by SDL2_mixer, one
// mixer channel per buffer so that restarting a buffer cuts its sound off.
#pragma once

#include "unknown.h"

#define MAKE_DSHRESULT(code) ((HRESULT)(0x88780000u | (code)))
#define DS_OK S_OK
#define DSERR_ALLOCATED MAKE_DSHRESULT(10)
#define DSERR_CONTROLUNAVAIL MAKE_DSHRESULT(30)
#define DSERR_INVALIDPARAM E_INVALIDARG
#define DSERR_INVALIDCALL MAKE_DSHRESULT(50)
#define DSERR_GENERIC E_FAIL
#define DSERR_PRIOLEVELNEEDED MAKE_DSHRESULT(70)
#define DSERR_OUTOFMEMORY E_OUTOFMEMORY
#define DSERR_BADFORMAT MAKE_DSHRESULT(100)
#define DSERR_UNSUPPORTED E_NOTIMPL
#define DSERR_NODRIVER MAKE_DSHRESULT(120)
#define DSERR_BUFFERLOST MAKE_DSHRESULT(150)

#define DSSCL_NORMAL 0x00000001u
#define DSSCL_PRIORITY 0x00000002u

#define DSBCAPS_PRIMARYBUFFER 0x00000001u
#define DSBCAPS_STATIC 0x00000002u
#define DSBCAPS_CTRLFREQUENCY 0x00000020u
#define DSBCAPS_CTRLPAN 0x00000040u
#define DSBCAPS_CTRLVOLUME 0x00000080u

#define DSBPLAY_LOOPING 0x00000001u

#define WAVE_FORMAT_PCM 1

#pragma pack(push, 1)
struct WAVEFORMAT {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
};

struct PCMWAVEFORMAT {
    WAVEFORMAT wf;
    WORD wBitsPerSample;
};

struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};
#pragma pack(pop)
static_assert(sizeof(PCMWAVEFORMAT) == 16, "PCMWAVEFORMAT keeps its Windows size");
static_assert(sizeof(WAVEFORMATEX) == 18, "WAVEFORMATEX keeps its Windows size");

// dwSize is not checked: the game passes the size of the 32-bit Windows record.
struct DSBUFFERDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwBufferBytes;
    DWORD dwReserved;
    void* lpwfxFormat; // a PCMWAVEFORMAT or WAVEFORMATEX
    GUID guid3DAlgorithm;
};

struct IDirectSoundBuffer : IUnknown {
    virtual HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* region1, DWORD* region1Bytes, LPVOID* region2,
                         DWORD* region2Bytes, DWORD flags) = 0;
    virtual HRESULT Unlock(LPVOID region1, DWORD region1Bytes, LPVOID region2, DWORD region2Bytes) = 0;
    virtual HRESULT Restore() = 0;
    virtual HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) = 0;
    virtual HRESULT Stop() = 0;
    virtual HRESULT SetCurrentPosition(DWORD position) = 0;
};
typedef IDirectSoundBuffer* LPDIRECTSOUNDBUFFER;

struct IDirectSound : IUnknown {
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD level) = 0;
    virtual HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, LPDIRECTSOUNDBUFFER* buffer, IUnknown* outer) = 0;
};
typedef IDirectSound* LPDIRECTSOUND;

HRESULT DirectSoundCreate(GUID* device, LPDIRECTSOUND* directSound, IUnknown* outer);
