// Fuzz target: a WAV file loaded into a sound buffer by the game's loader, then played once.
#include "fuzz_input.h"
#include "sound/sound.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!g_directSound) {
        UseHeadlessDrivers();
        DirectSoundCreate(nullptr, &g_directSound, nullptr);
    }
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    if (LoadWave(buffer, InputAsFile(data, size)) && buffer) {
        PlaySoundEffect(buffer);
        buffer->Stop();
        buffer->Release();
    }
    return 0;
}
