// Playing the explosion and the DirectSound buffers underneath: the restart rule, one mixer
// channel per buffer, locks that wrap, and the formats a buffer accepts.
#include "sound/sound.h"
#include "sound_test_files.h"
#include "testing.h"
#include "testing_sound.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

HWND const TEST_WINDOW = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x5150));

LPDIRECTSOUNDBUFFER MakeBuffer(int channels, int rate, int bits, DWORD bytes, HRESULT* result = nullptr)
{
    PCMWAVEFORMAT format{};
    format.wf.wFormatTag = WAVE_FORMAT_PCM;
    format.wf.nChannels = static_cast<WORD>(channels);
    format.wf.nSamplesPerSec = static_cast<DWORD>(rate);
    format.wf.nBlockAlign = static_cast<WORD>(channels * bits / 8);
    format.wf.nAvgBytesPerSec = static_cast<DWORD>(rate) * format.wf.nBlockAlign;
    format.wBitsPerSample = static_cast<WORD>(bits);
    DSBUFFERDESC desc{};
    desc.dwSize = 36;
    desc.dwBufferBytes = bytes;
    desc.lpwfxFormat = &format;
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    const HRESULT made = g_directSound->CreateSoundBuffer(&desc, &buffer, nullptr);
    if (result)
        *result = made;
    return buffer;
}

class SoundBuffers : public testing::Test {
protected:
    void SetUp() override
    {
        TestResetFailures();
        TestSetSoundLockSplit(0);
        ASSERT_TRUE(InitSound(TEST_WINDOW));
    }
    void TearDown() override
    {
        ReleaseSound();
        g_soundBuffers[SND_BOMB] = nullptr;
        g_directSound = nullptr;
    }
};

TEST_F(SoundBuffers, EachKillRestartsTheOneSoundInsteadOfLayering)
{
    ASSERT_TRUE(LoadWave(g_soundBuffers[SND_BOMB], "G_bomb8.Wav")); // the game's own, from the data writer
    LPDIRECTSOUNDBUFFER bomb = g_soundBuffers[SND_BOMB];

    PlaySoundEffect(bomb);
    EXPECT_TRUE(TestSoundBufferPlaying(bomb));
    PlaySoundEffect(bomb); // while the first is still sounding
    EXPECT_TRUE(TestSoundBufferPlaying(bomb));
    EXPECT_EQ(TestSoundBufferStarts(bomb), 2);
    EXPECT_EQ(Mix_Playing(-1), 1);

    std::vector<std::string> calls;
    for (const char* call : TestSoundBufferCalls(bomb))
        calls.push_back(call);
    const std::vector<std::string> expected = {"Stop", "Position 0", "Play", "Stop", "Position 0", "Play"};
    EXPECT_EQ(calls, expected);

    PlaySoundEffect(nullptr); // an empty entry stays silent
    EXPECT_EQ(Mix_Playing(-1), 1);
}

TEST_F(SoundBuffers, LocksWrapAroundTheEndAndCheckTheirArguments)
{
    LPDIRECTSOUNDBUFFER buffer = MakeBuffer(1, 22050, 8, 100);
    ASSERT_NE(buffer, nullptr);
    LPVOID one = nullptr, two = nullptr;
    DWORD oneBytes = 0, twoBytes = 0;

    ASSERT_EQ(buffer->Lock(90, 30, &one, &oneBytes, &two, &twoBytes, 0), DS_OK);
    EXPECT_EQ(oneBytes, 10u);
    EXPECT_EQ(twoBytes, 20u);
    // A second lock before the unlock, and an unlock of memory never handed out, are refused.
    LPVOID again = nullptr;
    DWORD againBytes = 0;
    EXPECT_EQ(buffer->Lock(0, 10, &again, &againBytes, nullptr, nullptr, 0), DSERR_INVALIDCALL);
    std::memset(one, 0xAA, oneBytes);
    std::memset(two, 0xBB, twoBytes);
    EXPECT_EQ(buffer->Unlock(two, twoBytes, one, oneBytes), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Unlock(one, oneBytes, two, twoBytes), DS_OK);

    std::vector<uint8_t> expected(100, 0x80); // 8-bit silence where nothing was written
    std::fill(expected.begin(), expected.begin() + 20, 0xBB);
    std::fill(expected.begin() + 90, expected.end(), 0xAA);
    EXPECT_EQ(TestSoundBufferBytes(buffer), expected);

    EXPECT_EQ(buffer->Lock(100, 1, &one, &oneBytes, &two, &twoBytes, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Lock(0, 101, &one, &oneBytes, &two, &twoBytes, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Lock(90, 30, &one, &oneBytes, nullptr, nullptr, 0), DSERR_INVALIDPARAM);
    buffer->Release();
}

TEST_F(SoundBuffers, AcceptsCommonPcmAndRefusesTheRestAndMixesThemTogether)
{
    struct Format {
        int channels, rate, bits;
        DWORD bytes;
        bool accepted;
    };
    // Each accepted buffer holds two seconds of sound, so none has ended by the time the next
    // starts even on a loaded machine (the dummy audio device plays in real time).
    const Format formats[] = {{1, 8000, 8, 16000, true},  {2, 96000, 16, 768000, true}, {6, 48000, 16, 1152000, true},
                              {1, 22050, 24, 900, false}, {0, 22050, 16, 800, false},   {1, 22050, 16, 2, false}};
    // Every accepted buffer sounds on a channel of its own, at the same time as the others.
    std::vector<LPDIRECTSOUNDBUFFER> playing;
    for (const Format& f : formats) {
        SCOPED_TRACE(testing::Message() << f.channels << " ch " << f.rate << " Hz " << f.bits << " bits");
        HRESULT result = DS_OK;
        LPDIRECTSOUNDBUFFER buffer = MakeBuffer(f.channels, f.rate, f.bits, f.bytes, &result);
        EXPECT_EQ(SUCCEEDED(result), f.accepted);
        EXPECT_EQ(buffer != nullptr, f.accepted);
        if (buffer) {
            EXPECT_EQ(buffer->Play(0, 0, 0), DS_OK);
            EXPECT_EQ(buffer->Play(0, 0, 0), DS_OK); // already playing: not started again
            EXPECT_EQ(TestSoundBufferStarts(buffer), 1);
            playing.push_back(buffer);
            EXPECT_EQ(Mix_Playing(-1), static_cast<int>(playing.size()));
        }
    }
    for (LPDIRECTSOUNDBUFFER buffer : playing)
        buffer->Release();
}

} // namespace
