// The RIFF reader under the WAV loader: chunks entered where they stand, pad bytes skipped on
// the way out, and searches that stay inside their parent.
#include "mmsystem.h"
#include "sound_test_files.h"

#include <gtest/gtest.h>

TEST(SoundMmio, DescendsAscendsAndSearchesWithinTheParent)
{
    std::vector<uint8_t> file = RiffFile("WAVE", {{"abcd", {1, 2, 3}}, {"data", {5, 6, 7, 8}}});
    const std::vector<uint8_t> after = {'z', 'z', 'z', 'z', 1, 0, 0, 0, 9, 0};
    file.insert(file.end(), after.begin(), after.end());
    std::string fileName = UniqueTestFileName("sound_test", ".riff");
    WriteTestFile(fileName, file);
    char* name = fileName.data();
    HMMIO mmio = mmioOpenA(name, nullptr, MMIO_ALLOCBUF);
    ASSERT_NE(mmio, nullptr);

    MMCKINFO riff{};
    riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    ASSERT_EQ(mmioDescend(mmio, &riff, nullptr, MMIO_FINDRIFF), 0u);
    MMCKINFO chunk{};
    ASSERT_EQ(mmioDescend(mmio, &chunk, &riff, 0), 0u);
    EXPECT_EQ(chunk.ckid, mmioFOURCC('a', 'b', 'c', 'd'));
    EXPECT_EQ(chunk.cksize, 3u);
    EXPECT_EQ(chunk.dwDataOffset, 20u);
    ASSERT_EQ(mmioAscend(mmio, &chunk, 0), 0u);
    EXPECT_EQ(mmioSeek(mmio, 0, SEEK_CUR), 24); // past the pad byte

    // The chunk after the form is outside it; a failed search leaves the position alone.
    MMCKINFO outside{};
    outside.ckid = mmioFOURCC('z', 'z', 'z', 'z');
    EXPECT_EQ(mmioDescend(mmio, &outside, &riff, MMIO_FINDCHUNK), static_cast<UINT>(MMIOERR_CHUNKNOTFOUND));
    EXPECT_EQ(mmioSeek(mmio, 0, SEEK_CUR), 24);
    EXPECT_EQ(mmioDescend(mmio, &outside, nullptr, MMIO_FINDCHUNK), 0u);
    mmioClose(mmio, 0);
    std::remove(name);
}
