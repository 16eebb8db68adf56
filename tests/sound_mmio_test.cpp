// The RIFF reader the WAV loader stands on: searches bounded by their parent, chunks entered
// where they stand, pad bytes skipped on the way out, and reads that stop at the file's end.
#include "mmsystem.h"
#include "sound_test_files.h"

#include <gtest/gtest.h>

namespace {

const char* const RIFF_NAME = "sound_test.riff";

class SoundMmio : public testing::Test {
protected:
    HMMIO Open(const std::vector<uint8_t>& bytes)
    {
        WriteTestFile(RIFF_NAME, bytes);
        char name[] = "sound_test.riff";
        return mmioOpenA(name, nullptr, MMIO_ALLOCBUF);
    }
    void TearDown() override { std::remove(RIFF_NAME); }
};

TEST_F(SoundMmio, DescendsIntoFormsListsAndChunks)
{
    // A LIST with an odd-sized chunk inside, then a data chunk; after the RIFF a stray "data".
    std::vector<uint8_t> list = {'I', 'N', 'F', 'O', 'I', 'N', 'A', 'M', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    std::vector<uint8_t> file = RiffFile("WAVE", {{"abcd", {1, 2, 3}}, {"LIST", list}, {"data", {5, 6, 7, 8}}});
    const std::vector<uint8_t> stray = RiffFile("XXXX", {{"zzzz", {1}}});
    file.insert(file.end(), stray.begin(), stray.end());
    HMMIO mmio = Open(file);
    ASSERT_NE(mmio, nullptr);

    MMCKINFO riff{};
    riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    ASSERT_EQ(mmioDescend(mmio, &riff, nullptr, MMIO_FINDRIFF), 0u);
    EXPECT_EQ(riff.ckid, mmioFOURCC('R', 'I', 'F', 'F'));
    EXPECT_EQ(riff.dwDataOffset, 8u);

    // Flags 0 enters whatever comes next and reports it.
    MMCKINFO chunk{};
    ASSERT_EQ(mmioDescend(mmio, &chunk, &riff, 0), 0u);
    EXPECT_EQ(chunk.ckid, mmioFOURCC('a', 'b', 'c', 'd'));
    EXPECT_EQ(chunk.cksize, 3u);
    EXPECT_EQ(chunk.dwDataOffset, 20u);
    ASSERT_EQ(mmioAscend(mmio, &chunk, 0), 0u); // past the pad byte
    EXPECT_EQ(mmioSeek(mmio, 0, SEEK_CUR), 24);

    MMCKINFO info{};
    info.fccType = mmioFOURCC('I', 'N', 'F', 'O');
    ASSERT_EQ(mmioDescend(mmio, &info, &riff, MMIO_FINDLIST), 0u);
    MMCKINFO name{};
    name.ckid = mmioFOURCC('I', 'N', 'A', 'M');
    ASSERT_EQ(mmioDescend(mmio, &name, &info, MMIO_FINDCHUNK), 0u);
    char text[4] = {};
    EXPECT_EQ(mmioRead(mmio, text, 3), 3);
    EXPECT_STREQ(text, "abc");
    ASSERT_EQ(mmioAscend(mmio, &info, 0), 0u);

    MMCKINFO data{};
    data.ckid = mmioFOURCC('d', 'a', 't', 'a');
    ASSERT_EQ(mmioDescend(mmio, &data, &riff, MMIO_FINDCHUNK), 0u);
    EXPECT_EQ(data.cksize, 4u);
    ASSERT_EQ(mmioAscend(mmio, &data, 0), 0u);

    // The search stays inside its parent: the stray form's chunk is not found from the WAVE.
    MMCKINFO stray_chunk{};
    stray_chunk.ckid = mmioFOURCC('z', 'z', 'z', 'z');
    const LONG before = mmioSeek(mmio, 0, SEEK_CUR);
    EXPECT_EQ(mmioDescend(mmio, &stray_chunk, &riff, MMIO_FINDCHUNK), static_cast<UINT>(MMIOERR_CHUNKNOTFOUND));
    EXPECT_EQ(mmioSeek(mmio, 0, SEEK_CUR), before);
    // Without a parent the search runs on through the file.
    EXPECT_EQ(mmioDescend(mmio, &stray_chunk, nullptr, MMIO_FINDCHUNK), static_cast<UINT>(MMIOERR_CHUNKNOTFOUND));
    MMCKINFO other{};
    other.fccType = mmioFOURCC('X', 'X', 'X', 'X');
    EXPECT_EQ(mmioDescend(mmio, &other, nullptr, MMIO_FINDRIFF), 0u);
    EXPECT_EQ(mmioClose(mmio, 0), 0u);
}

TEST_F(SoundMmio, ReadsStopAtTheEndOfTheFile)
{
    HMMIO mmio = Open({1, 2, 3, 4, 5});
    ASSERT_NE(mmio, nullptr);
    char bytes[16] = {};
    EXPECT_EQ(mmioRead(mmio, bytes, 16), 5);
    EXPECT_EQ(bytes[4], 5);
    EXPECT_EQ(mmioRead(mmio, bytes, 16), 0);
    EXPECT_EQ(mmioRead(mmio, bytes, -1), -1);
    EXPECT_EQ(mmioSeek(mmio, 0, SEEK_END), 5);
    EXPECT_EQ(mmioSeek(mmio, -2, SEEK_CUR), 3);
    EXPECT_EQ(mmioSeek(mmio, -9, SEEK_CUR), -1);
    // Too short for even a chunk header.
    EXPECT_EQ(mmioSeek(mmio, 0, SEEK_SET), 0);
    MMCKINFO chunk{};
    EXPECT_NE(mmioDescend(mmio, &chunk, nullptr, 0), 0u);
    mmioClose(mmio, 0);

    char missing[] = "no_such_file.riff";
    EXPECT_EQ(mmioOpenA(missing, nullptr, MMIO_ALLOCBUF), nullptr);
}

} // namespace
