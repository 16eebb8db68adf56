// Fuzz target: a RIFF file walked through the multimedia file calls, every chunk and list entered,
// read and left, as a loader looking for its chunks would.
#include "fuzz_input.h"
#include "mmsystem.h"

#include <cstring>

namespace {

constexpr int MAX_DEPTH = 8;

void WalkChunks(HMMIO file, const MMCKINFO* parent, int depth)
{
    MMCKINFO chunk;
    std::memset(&chunk, 0, sizeof chunk);
    for (int count = 0; count < 64 && mmioDescend(file, &chunk, parent, 0) == 0; count++) {
        if ((chunk.ckid == mmioFOURCC('L', 'I', 'S', 'T') || chunk.ckid == mmioFOURCC('R', 'I', 'F', 'F')) &&
            depth < MAX_DEPTH) {
            WalkChunks(file, &chunk, depth + 1);
        } else {
            char bytes[32];
            mmioRead(file, bytes, chunk.cksize < sizeof bytes ? static_cast<LONG>(chunk.cksize) : sizeof bytes);
        }
        if (mmioAscend(file, &chunk, 0) != 0)
            return;
        std::memset(&chunk, 0, sizeof chunk);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    HMMIO file = mmioOpenA(const_cast<char*>(InputAsFile(data, size)), nullptr, MMIO_ALLOCBUF);
    if (!file)
        return 0;
    MMCKINFO riff;
    std::memset(&riff, 0, sizeof riff);
    riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    if (mmioDescend(file, &riff, nullptr, MMIO_FINDRIFF) == 0) {
        WalkChunks(file, &riff, 1);
        // Then straight to the chunks a loader asks for by name.
        mmioSeek(file, static_cast<LONG>(riff.dwDataOffset + 4), SEEK_SET);
        MMCKINFO wanted;
        std::memset(&wanted, 0, sizeof wanted);
        wanted.ckid = mmioFOURCC('d', 'a', 't', 'a');
        if (mmioDescend(file, &wanted, &riff, MMIO_FINDCHUNK) == 0)
            mmioAscend(file, &wanted, 0);
        mmioSeek(file, static_cast<LONG>(riff.dwDataOffset + 4), SEEK_SET);
        std::memset(&wanted, 0, sizeof wanted);
        wanted.fccType = mmioFOURCC('I', 'N', 'F', 'O');
        if (mmioDescend(file, &wanted, &riff, MMIO_FINDLIST) == 0)
            WalkChunks(file, &wanted, 2);
    }
    mmioSeek(file, 0, SEEK_END);
    mmioClose(file, 0);
    return 0;
}
