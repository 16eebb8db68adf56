// The explosion sound: the DirectSound object, the sound buffer table, the WAV loader, and the
// play and release steps.
#include "sound/sound.h"

#include "base/shell_services.h"
#include "mmsystem.h"

#include <cstdlib>
#include <cstring>

LPDIRECTSOUND g_directSound;                     // made by InitSound, released by ReleaseSound
LPDIRECTSOUNDBUFFER g_soundBuffers[SOUND_SLOTS]; // emptied at window creation; SND_BOMB from LoadWave

// The description record's size as the 32-bit SDK lays it out.
constexpr DWORD SOUND_DESC_SIZE = 36;
// The format record read from the file: the PCM fields and the extra-size word.
constexpr LONG WAVE_FORMAT_BYTES = 18;

bool InitSound(HWND window)
{
    if (DirectSoundCreate(nullptr, &g_directSound, nullptr) != DS_OK) {
        ShowErrorBox("DirectSoundが生成できませんDirectSoundの使用が不可能です");
        return false;
    }
    if (g_directSound->SetCooperativeLevel(window, DSSCL_NORMAL) != DS_OK) {
        ShowErrorBox("DirectSoundの協調に失敗しました");
        return false;
    }
    return true;
}

// Closes the file and reports a failed load.
static bool FailLoad(HMMIO file, const char* text)
{
    mmioClose(file, 0);
    ShowErrorBox(text);
    return false;
}

// True when `bytes` more can be read from the current position. The size comes from the file
// itself, so it is checked against what is there before anything that large is allocated.
static bool FileHolds(HMMIO file, DWORD bytes)
{
    const LONG here = mmioSeek(file, 0, SEEK_CUR);
    const LONG end = mmioSeek(file, 0, SEEK_END);
    if (here < 0 || end < 0 || mmioSeek(file, here, SEEK_SET) != here)
        return false;
    return bytes <= static_cast<DWORD>(end - here);
}

bool LoadWave(LPDIRECTSOUNDBUFFER& entry, const char* fileName)
{
    HMMIO file = mmioOpenA(const_cast<LPSTR>(fileName), nullptr, MMIO_ALLOCBUF);
    if (!file) {
        MessageBoxA(nullptr, "ファイルオープンに失敗しました", nullptr, MB_OK);
        return false;
    }

    MMCKINFO parent;
    MMCKINFO chunk;
    std::memset(&parent, 0, sizeof parent);
    std::memset(&chunk, 0, sizeof chunk);
    parent.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    if (mmioDescend(file, &parent, nullptr, MMIO_FINDRIFF) != 0)
        return FailLoad(file, "ウエイブファイルが見つかりません");

    // Whatever chunk comes first is taken as the format; with the usual 16-byte chunk the last
    // two of the 18 bytes are the next chunk's header.
    if (mmioDescend(file, &chunk, &parent, 0) != 0)
        return FailLoad(file, "ウエイブファイルが見つかりません");
    WAVEFORMATEX format;
    std::memset(&format, 0, sizeof format);
    if (mmioRead(file, reinterpret_cast<char*>(&format), WAVE_FORMAT_BYTES) != WAVE_FORMAT_BYTES)
        return FailLoad(file, "ウエイブフォーマットを読み込めません");
    if (format.wFormatTag != WAVE_FORMAT_PCM)
        return FailLoad(file, "不正なウエイブフォーマットです");
    if (mmioAscend(file, &chunk, 0) != 0)
        return FailLoad(file, "ウエイブファイルにアクセスできません");

    chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
    if (mmioDescend(file, &chunk, &parent, MMIO_FINDCHUNK) != 0)
        return FailLoad(file, "ウエイブファイルにデータがありません");

    const DWORD size = chunk.cksize;
    if (size > 0x7FFFFFFFu || !FileHolds(file, size))
        return FailLoad(file, "ウエイブデータ読み込みに失敗しました");
    char* block = static_cast<char*>(std::malloc(size > 0 ? size : 1));
    if (!block)
        return FailLoad(file, "ウエイブデータ読み込みに失敗しました");
    if (mmioRead(file, block, static_cast<LONG>(size)) != static_cast<LONG>(size)) {
        std::free(block);
        return FailLoad(file, "ウエイブデータ読み込みに失敗しました");
    }
    mmioClose(file, 0);

    PCMWAVEFORMAT pcm;
    std::memset(&pcm, 0, sizeof pcm);
    pcm.wf.wFormatTag = WAVE_FORMAT_PCM;
    pcm.wf.nChannels = format.nChannels;
    pcm.wf.nSamplesPerSec = format.nSamplesPerSec;
    pcm.wf.nAvgBytesPerSec = format.nAvgBytesPerSec;
    pcm.wf.nBlockAlign = format.nBlockAlign;
    pcm.wBitsPerSample = format.wBitsPerSample;

    DSBUFFERDESC desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = SOUND_DESC_SIZE;
    desc.dwFlags = DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME;
    desc.dwBufferBytes = size;
    desc.dwReserved = 0;
    desc.lpwfxFormat = &pcm;

    if (g_directSound->CreateSoundBuffer(&desc, &entry, nullptr) != DS_OK) {
        ShowErrorBox("サウンドバッファの生成に失敗しました");
        std::free(block);
        return false;
    }

    LPVOID region1 = nullptr;
    LPVOID region2 = nullptr;
    DWORD region1Bytes = 0;
    DWORD region2Bytes = 0;
    HRESULT locked = entry->Lock(0, size, &region1, &region1Bytes, &region2, &region2Bytes, 0);
    if (locked == DSERR_BUFFERLOST) {
        entry->Restore();
        locked = entry->Lock(0, size, &region1, &region1Bytes, &region2, &region2Bytes, 0);
    }
    if (locked != DS_OK) {
        // No memory to fill: a buffer that would only ever play silence is not kept.
        entry->Release();
        entry = nullptr;
        std::free(block);
        return false;
    }
    std::memcpy(region1, block, region1Bytes);
    if (region2)
        std::memcpy(region2, block + region1Bytes, region2Bytes);
    entry->Unlock(region1, region1Bytes, region2, region2Bytes);
    std::free(block);
    return true;
}

// Restarts the sound from its beginning, cutting off a play still sounding.
void PlaySoundEffect(LPDIRECTSOUNDBUFFER buffer)
{
    if (!buffer)
        return;
    buffer->Stop();
    buffer->SetCurrentPosition(0);
    buffer->Play(0, 0, 0);
}

void ReleaseSound()
{
    for (int slot = 0; slot < SOUND_SLOTS; slot++)
        if (g_soundBuffers[slot])
            g_soundBuffers[slot]->Release();
    if (g_directSound)
        g_directSound->Release();
}
