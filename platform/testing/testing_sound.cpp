// Sound read-back for the tests (no library): buffer contents and play state, split locks.
#include "testing_sound.h"
#include "dsound_internal.h"

void TestSetSoundLockSplit(DWORD firstRegionBytes)
{
    g_platformHooks.soundLockSplit = firstRegionBytes;
}

std::vector<uint8_t> TestSoundBufferBytes(IDirectSoundBuffer* buffer)
{
    const std::vector<uint8_t>* data = SoundBufferData(buffer);
    return data ? *data : std::vector<uint8_t>();
}

bool TestSoundBufferPlaying(IDirectSoundBuffer* buffer)
{
    return SoundBufferPlaying(buffer);
}
