// The explosion sound's start-up: DirectSound creation and the WAV loader against files of
// every layout the loader meets, good and bad.
#include "sound/sound.h"
#include "sound_test_files.h"
#include "testing.h"
#include "testing_sound.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

const std::string WAV_NAME_STRING = UniqueTestFileName("sound_test", ".wav");
const char* const WAV_NAME = WAV_NAME_STRING.c_str();
HWND const TEST_WINDOW = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x5150));

class SoundLoad : public testing::Test {
protected:
    void SetUp() override
    {
        TestResetFailures();
        TestClearMessageBoxes();
        TestSetSoundLockSplit(0);
        ASSERT_TRUE(InitSound(TEST_WINDOW));
    }
    void TearDown() override
    {
        ReleaseSound();
        g_soundBuffers[SND_BOMB] = nullptr;
        g_directSound = nullptr;
        std::remove(WAV_NAME);
    }
    bool Load(const std::vector<uint8_t>& file)
    {
        WriteTestFile(WAV_NAME, file);
        return LoadWave(g_soundBuffers[SND_BOMB], WAV_NAME);
    }
    // The load failed with exactly this one message and left the entry empty.
    void ExpectRefused(const char* text)
    {
        EXPECT_EQ(g_soundBuffers[SND_BOMB], nullptr);
        ASSERT_EQ(TestMessageBoxes().size(), 1u);
        EXPECT_EQ(TestMessageBoxes()[0].text, text);
        TestClearMessageBoxes();
    }
};

TEST_F(SoundLoad, CopiesEveryFormatExactlyAcrossTwoLockedRegions)
{
    struct Format {
        int channels, rate, bits;
    };
    const Format formats[] = {{1, 22050, 8}, {2, 44100, 16}, {1, 11025, 16}, {2, 8000, 8}};
    TestSetSoundLockSplit(1000);
    for (const Format& f : formats) {
        SCOPED_TRACE(testing::Message() << f.channels << " ch " << f.rate << " Hz " << f.bits << " bits");
        const std::vector<uint8_t> data = NoiseBytes(static_cast<size_t>(3001 * f.channels * f.bits / 8), 7);
        ASSERT_TRUE(Load(RiffFile("WAVE", {{"fmt ", PcmFormatBody(1, f.channels, f.rate, f.bits)}, {"data", data}})));
        EXPECT_EQ(TestSoundBufferBytes(g_soundBuffers[SND_BOMB]), data);
        EXPECT_TRUE(TestMessageBoxes().empty());
        g_soundBuffers[SND_BOMB]->Release();
        g_soundBuffers[SND_BOMB] = nullptr;
    }
}

TEST_F(SoundLoad, SkipsChunksBetweenFormatAndDataIncludingPadBytes)
{
    const std::vector<uint8_t> data = NoiseBytes(4001, 3); // odd: the data chunk is padded too
    ASSERT_TRUE(Load(RiffFile("WAVE",
                              {{"fmt ", PcmFormatBody(1, 1, 22050, 8)},
                               {"LIST", {'I', 'N', 'F', 'O', 'x'}},
                               {"fact", {1, 0, 0, 0}},
                               {"junk", {9, 9, 9}},
                               {"data", data}})));
    EXPECT_EQ(TestSoundBufferBytes(g_soundBuffers[SND_BOMB]), data);
}

TEST_F(SoundLoad, MissingFileShowsAnOwnerlessBox)
{
    EXPECT_FALSE(LoadWave(g_soundBuffers[SND_BOMB], "no_such_sound.wav"));
    ASSERT_EQ(TestMessageBoxes().size(), 1u);
    EXPECT_FALSE(TestMessageBoxes()[0].hasOwner);
    ExpectRefused("ファイルオープンに失敗しました");
}

TEST_F(SoundLoad, RefusesBrokenFilesWithTheirMessages)
{
    const std::vector<uint8_t> fmt = PcmFormatBody(1, 1, 22050, 8);
    const std::vector<uint8_t> data = NoiseBytes(500, 1);
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
        const char* text;
    };
    std::vector<uint8_t> cutFormat = RiffFile("WAVE", {{"fmt ", fmt}});
    cutFormat.resize(12 + 8 + 10);
    const Case cases[] = {
        {"not a RIFF file", std::vector<uint8_t>(64, 'x'), "ウエイブファイルが見つかりません"},
        {"another RIFF form", RiffFile("AVI ", {{"fmt ", fmt}, {"data", data}}), "ウエイブファイルが見つかりません"},
        {"no chunk at all", RiffFile("WAVE", {}), "ウエイブファイルが見つかりません"},
        {"format cut short", cutFormat, "ウエイブフォーマットを読み込めません"},
        {"float samples", RiffFile("WAVE", {{"fmt ", PcmFormatBody(3, 1, 22050, 32)}, {"data", data}}),
         "不正なウエイブフォーマットです"},
        {"list before the format", RiffFile("WAVE", {{"LIST", {'I', 'N', 'F', 'O'}}, {"fmt ", fmt}, {"data", data}}),
         "不正なウエイブフォーマットです"},
        {"no data chunk", RiffFile("WAVE", {{"fmt ", fmt}, {"junk", data}}), "ウエイブファイルにデータがありません"},
        {"data cut short", RiffFile("WAVE", {{"fmt ", fmt}, {"data", data, 1000}}),
         "ウエイブデータ読み込みに失敗しました"},
        {"data size past 2 GB", RiffFile("WAVE", {{"fmt ", fmt}, {"data", data, 0xFFFFFFF0}}),
         "ウエイブデータ読み込みに失敗しました"},
        {"data size near 2 GB", RiffFile("WAVE", {{"fmt ", fmt}, {"data", data, 0x7FFFFFF0}}),
         "ウエイブデータ読み込みに失敗しました"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(Load(c.file));
        ExpectRefused(c.text);
    }
}

TEST_F(SoundLoad, LostBufferIsRestoredOnceThenGivenUp)
{
    const std::vector<uint8_t> data = NoiseBytes(2000, 5);
    const std::vector<uint8_t> file = RiffFile("WAVE", {{"fmt ", PcmFormatBody(1, 1, 22050, 8)}, {"data", data}});

    TestFailNext(FailPoint::SoundBufferLockLost, 1);
    ASSERT_TRUE(Load(file));
    EXPECT_EQ(TestSoundBufferBytes(g_soundBuffers[SND_BOMB]), data);
    g_soundBuffers[SND_BOMB]->Release();
    g_soundBuffers[SND_BOMB] = nullptr;

    // Lost again after the restore: the entry stays empty and the game runs silent.
    TestFailNext(FailPoint::SoundBufferLockLost, 2);
    EXPECT_FALSE(Load(file));
    EXPECT_EQ(g_soundBuffers[SND_BOMB], nullptr);
    EXPECT_TRUE(TestMessageBoxes().empty());
}

TEST_F(SoundLoad, BufferCreationFailureAndAnEmptyDataChunk)
{
    const std::vector<uint8_t> data = NoiseBytes(600, 2);
    TestFailNext(FailPoint::CreateSoundBuffer);
    EXPECT_FALSE(Load(RiffFile("WAVE", {{"fmt ", PcmFormatBody(1, 1, 22050, 8)}, {"data", data}})));
    ExpectRefused("サウンドバッファの生成に失敗しました");

    // Sound a buffer cannot hold: an empty data chunk.
    EXPECT_FALSE(Load(RiffFile("WAVE", {{"fmt ", PcmFormatBody(1, 1, 22050, 8)}, {"data", {}}})));
    ExpectRefused("サウンドバッファの生成に失敗しました");
}

TEST(SoundInit, FailuresShowTheirMessages)
{
    const HWND window = TEST_WINDOW;
    struct Case {
        FailPoint point;
        const char* text;
    };
    const Case cases[] = {
        {FailPoint::DirectSoundCreate, "DirectSoundが生成できませんDirectSoundの使用が不可能です"},
        {FailPoint::DirectSoundSetCooperativeLevel, "DirectSoundの協調に失敗しました"},
    };
    for (const Case& c : cases) {
        TestClearMessageBoxes();
        TestFailNext(c.point);
        EXPECT_FALSE(InitSound(window));
        ASSERT_EQ(TestMessageBoxes().size(), 1u);
        EXPECT_EQ(TestMessageBoxes()[0].text, c.text);
        if (g_directSound)
            g_directSound->Release();
        g_directSound = nullptr;
    }

    // No sound device at all: the game still starts, silently, with no message.
    TestClearMessageBoxes();
    const std::string driver = std::getenv("SDL_AUDIODRIVER") ? std::getenv("SDL_AUDIODRIVER") : "dummy";
    setenv("SDL_AUDIODRIVER", "no_such_driver", 1);
    EXPECT_TRUE(InitSound(window));
    setenv("SDL_AUDIODRIVER", driver.c_str(), 1);
    EXPECT_NE(g_directSound, nullptr);
    EXPECT_TRUE(TestMessageBoxes().empty());
    ReleaseSound();
    g_directSound = nullptr;
}

} // namespace
