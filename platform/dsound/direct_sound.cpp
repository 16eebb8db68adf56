// SDL2_mixer: the DirectSound object. Creating it opens the shared mixer output.
#include "dsound_internal.h"
#include "hook_points.h"

namespace {

#define DSSCL_EXCLUSIVE 0x00000003u
#define DSSCL_WRITEPRIMARY 0x00000004u

struct MixerDirectSound : IDirectSound {
    HWND m_window = nullptr;
    DWORD m_level = 0;

    ~MixerDirectSound() override { ReleaseMixer(); }

    HRESULT SetCooperativeLevel(HWND window, DWORD level) override
    {
        if (FailureInjected(FailPoint::DirectSoundSetCooperativeLevel))
            return DSERR_GENERIC;
        if (!window || level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY)
            return DSERR_INVALIDPARAM;
        m_window = window;
        m_level = level;
        return DS_OK;
    }

    HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, LPDIRECTSOUNDBUFFER* buffer, IUnknown* outer) override
    {
        if (!buffer)
            return DSERR_INVALIDPARAM;
        *buffer = nullptr;
        if (!desc || outer)
            return DSERR_INVALIDPARAM;
        if (FailureInjected(FailPoint::CreateSoundBuffer))
            return DSERR_OUTOFMEMORY;
        return CreatePcmSoundBuffer(this, desc, buffer);
    }
};

} // namespace

HRESULT DirectSoundCreate(GUID* device, LPDIRECTSOUND* directSound, IUnknown* outer)
{
    if (!directSound)
        return DSERR_INVALIDPARAM;
    *directSound = nullptr;
    if (outer)
        return DSERR_INVALIDPARAM;
    // Only the default output exists here.
    if (device)
        return DSERR_NODRIVER;
    if (FailureInjected(FailPoint::DirectSoundCreate))
        return DSERR_NODRIVER;
    if (!AcquireMixer())
        return DSERR_NODRIVER;
    *directSound = new MixerDirectSound();
    return DS_OK;
}
