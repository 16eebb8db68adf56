// Playing the explosion and the DirectSound buffers underneath: the restart rule, one mixer
// channel per buffer, locks that wrap, the formats a buffer accepts, and the final release.
#include "sound/sound.h"
#include "sound_test_files.h"
#include "testing.h"
#include "testing_sound.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

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
    const char* const name = "sound_test_bomb.wav";
    WriteTestFile(name, RiffFile("WAVE", {{"fmt ", PcmFormatBody(1, 1, 22050, 8)}, {"data", NoiseBytes(22050, 4)}}));
    ASSERT_TRUE(LoadWave(g_soundBuffers[SND_BOMB], name));
    std::remove(name);
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

TEST_F(SoundBuffers, TwoBuffersSoundTogetherAndPlayWhilePlayingDoesNotRestart)
{
    LPDIRECTSOUNDBUFFER first = MakeBuffer(1, 22050, 16, 44100);
    LPDIRECTSOUNDBUFFER second = MakeBuffer(2, 48000, 8, 96000);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->Play(0, 0, 0), DS_OK);
    EXPECT_EQ(second->Play(0, 0, 0), DS_OK);
    EXPECT_EQ(first->Play(0, 0, 0), DS_OK);
    EXPECT_EQ(Mix_Playing(-1), 2);
    EXPECT_EQ(TestSoundBufferStarts(first), 1);
    EXPECT_EQ(first->Play(0, 0, DSBPLAY_LOOPING), DSERR_UNSUPPORTED);
    first->Release();
    second->Release();
    EXPECT_EQ(Mix_Playing(-1), 0);
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

    const std::vector<uint8_t> bytes = TestSoundBufferBytes(buffer);
    ASSERT_EQ(bytes.size(), 100u);
    EXPECT_EQ(bytes[0], 0xBB);
    EXPECT_EQ(bytes[19], 0xBB);
    EXPECT_EQ(bytes[20], 0x80); // untouched 8-bit silence
    EXPECT_EQ(bytes[89], 0x80);
    EXPECT_EQ(bytes[90], 0xAA);
    EXPECT_EQ(bytes[99], 0xAA);

    EXPECT_EQ(buffer->Lock(0, 0, &one, &oneBytes, &two, &twoBytes, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Lock(100, 1, &one, &oneBytes, &two, &twoBytes, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Lock(0, 101, &one, &oneBytes, &two, &twoBytes, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Lock(90, 30, &one, &oneBytes, nullptr, nullptr, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->SetCurrentPosition(100), DSERR_INVALIDPARAM);
    buffer->Release();
}

TEST_F(SoundBuffers, LostBufferRefusesUntilRestored)
{
    LPDIRECTSOUNDBUFFER buffer = MakeBuffer(1, 22050, 16, 400);
    ASSERT_NE(buffer, nullptr);
    LPVOID one = nullptr, two = nullptr;
    DWORD oneBytes = 0, twoBytes = 0;
    TestFailNext(FailPoint::SoundBufferLockLost);
    EXPECT_EQ(buffer->Lock(0, 400, &one, &oneBytes, &two, &twoBytes, 0), DSERR_BUFFERLOST);
    EXPECT_EQ(buffer->Play(0, 0, 0), DSERR_BUFFERLOST);
    EXPECT_EQ(buffer->Restore(), DS_OK);
    EXPECT_EQ(buffer->Lock(0, 400, &one, &oneBytes, &two, &twoBytes, 0), DS_OK);
    EXPECT_EQ(oneBytes, 400u);
    EXPECT_EQ(two, nullptr);
    EXPECT_EQ(buffer->Unlock(one, oneBytes, two, twoBytes), DS_OK);
    buffer->Release();
}

TEST_F(SoundBuffers, AcceptsCommonPcmAndRefusesTheRest)
{
    struct Format {
        int channels, rate, bits;
        DWORD bytes;
        bool accepted;
    };
    const Format formats[] = {
        {1, 8000, 8, 800, true},     {2, 11025, 8, 800, true},   {1, 32000, 16, 800, true},
        {2, 96000, 16, 800, true},   {6, 48000, 16, 1200, true}, {1, 22050, 24, 900, false},
        {1, 22050, 32, 800, false},  {0, 22050, 16, 800, false}, {1, 50, 16, 800, false},
        {1, 22050, 16, 2, false},
    };
    for (const Format& f : formats) {
        SCOPED_TRACE(testing::Message() << f.channels << " ch " << f.rate << " Hz " << f.bits << " bits");
        HRESULT result = DS_OK;
        LPDIRECTSOUNDBUFFER buffer = MakeBuffer(f.channels, f.rate, f.bits, f.bytes, &result);
        EXPECT_EQ(SUCCEEDED(result), f.accepted);
        EXPECT_EQ(buffer != nullptr, f.accepted);
        if (buffer) {
            EXPECT_EQ(buffer->Play(0, 0, 0), DS_OK);
            buffer->Release();
        }
    }
}

TEST_F(SoundBuffers, ReleasingEverythingClosesTheAudioOutput)
{
    g_soundBuffers[SND_BOMB] = MakeBuffer(1, 22050, 8, 1000);
    ASSERT_NE(g_soundBuffers[SND_BOMB], nullptr);
    int rate = 0, channels = 0;
    Uint16 format = 0;
    EXPECT_EQ(Mix_QuerySpec(&rate, &format, &channels), 1);
    ReleaseSound();
    EXPECT_EQ(Mix_QuerySpec(&rate, &format, &channels), 0);
    g_soundBuffers[SND_BOMB] = nullptr;
    g_directSound = nullptr;
}

} // namespace
