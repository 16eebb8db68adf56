// DirectSound device (SDL2_mixer): stub until the mixer-backed device lands.
#include "dsound.h"

HRESULT DirectSoundCreate(GUID* device, LPDIRECTSOUND* directSound, IUnknown* outer)
{
    (void)device;
    (void)outer;
    if (directSound)
        *directSound = nullptr;
    return DSERR_NODRIVER;
}
