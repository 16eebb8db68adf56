// C stdio: multimedia file input, our own RIFF reader (read-only; chunks, forms and lists).
#include "mmsystem.h"
#include "platform_internal.h"

#include <cstdint>
#include <cstdio>

struct MmioFile {
    std::FILE* stream = nullptr;
};

namespace {

#define MMIO_DENY_FLAGS 0x00000070u // sharing modes: meaningless here, accepted

const FOURCC RIFF_ID = mmioFOURCC('R', 'I', 'F', 'F');
const FOURCC LIST_ID = mmioFOURCC('L', 'I', 'S', 'T');
const int64_t CHUNK_HEADER_BYTES = 8;

int64_t Tell(HMMIO file)
{
    return static_cast<int64_t>(ftello(file->stream));
}

bool SeekTo(HMMIO file, int64_t position)
{
    if (position < 0)
        return false;
    return fseeko(file->stream, static_cast<off_t>(position), SEEK_SET) == 0;
}

bool ReadDword(HMMIO file, DWORD* value)
{
    uint8_t bytes[4];
    if (std::fread(bytes, 1, 4, file->stream) != 4)
        return false;
    *value = static_cast<DWORD>(bytes[0]) | static_cast<DWORD>(bytes[1]) << 8 | static_cast<DWORD>(bytes[2]) << 16 |
        static_cast<DWORD>(bytes[3]) << 24;
    return true;
}

// Reads the chunk header at the current position; a RIFF or LIST chunk also gives its form type,
// which the position then lies after.
bool ReadChunkHeader(HMMIO file, MMCKINFO* chunk)
{
    const int64_t start = Tell(file);
    if (start < 0 || start + CHUNK_HEADER_BYTES > UINT32_MAX || !ReadDword(file, &chunk->ckid) ||
        !ReadDword(file, &chunk->cksize))
        return false;
    chunk->dwDataOffset = static_cast<DWORD>(start + CHUNK_HEADER_BYTES);
    chunk->fccType = 0;
    chunk->dwFlags = 0;
    if (chunk->ckid == RIFF_ID || chunk->ckid == LIST_ID)
        return ReadDword(file, &chunk->fccType);
    return true;
}

// Where the chunk ends, its pad byte included.
int64_t ChunkEnd(const MMCKINFO* chunk)
{
    return static_cast<int64_t>(chunk->dwDataOffset) + chunk->cksize + (chunk->cksize & 1);
}

bool Matches(const MMCKINFO* found, FOURCC wantedId, FOURCC wantedType, UINT flags)
{
    if (flags & MMIO_FINDRIFF)
        return found->ckid == RIFF_ID && found->fccType == wantedType;
    if (flags & MMIO_FINDLIST)
        return found->ckid == LIST_ID && found->fccType == wantedType;
    return found->ckid == wantedId;
}

} // namespace

HMMIO mmioOpenA(LPSTR fileName, LPMMIOINFO info, DWORD flags)
{
    // Reading is all there is; custom I/O records, writing and creating are not offered.
    if (!fileName || info || (flags & ~(MMIO_ALLOCBUF | MMIO_DENY_FLAGS)) != 0)
        return nullptr;
    std::FILE* stream = std::fopen(NativePath(fileName).c_str(), "rb");
    if (!stream)
        return nullptr;
    HMMIO file = new MmioFile();
    file->stream = stream;
    return file;
}

UINT mmioDescend(HMMIO file, LPMMCKINFO chunk, const MMCKINFO* parent, UINT flags)
{
    if (!file || !chunk)
        return MMIOERR_CANNOTREAD;
    const int64_t start = Tell(file);
    if (start < 0)
        return MMIOERR_CANNOTSEEK;
    const int64_t limit = parent ? static_cast<int64_t>(parent->dwDataOffset) + parent->cksize : INT64_MAX;
    const UINT search = flags & (MMIO_FINDCHUNK | MMIO_FINDRIFF | MMIO_FINDLIST);
    const FOURCC wantedId = chunk->ckid;
    const FOURCC wantedType = chunk->fccType;

    MMCKINFO found{};
    for (;;) {
        const int64_t at = Tell(file);
        if (at < 0 || at + CHUNK_HEADER_BYTES > limit || !ReadChunkHeader(file, &found)) {
            SeekTo(file, start);
            return MMIOERR_CHUNKNOTFOUND;
        }
        if (search == 0 || Matches(&found, wantedId, wantedType, search))
            break;
        if (!SeekTo(file, ChunkEnd(&found))) {
            SeekTo(file, start);
            return MMIOERR_CHUNKNOTFOUND;
        }
    }
    *chunk = found;
    return MMSYSERR_NOERROR;
}

LONG mmioRead(HMMIO file, char* buffer, LONG bytes)
{
    if (!file || bytes < 0 || (!buffer && bytes > 0))
        return -1;
    const size_t count = std::fread(buffer, 1, static_cast<size_t>(bytes), file->stream);
    if (count < static_cast<size_t>(bytes) && std::ferror(file->stream)) {
        std::clearerr(file->stream);
        return -1;
    }
    return static_cast<LONG>(count);
}

LONG mmioSeek(HMMIO file, LONG offset, int origin)
{
    if (!file)
        return -1;
    int64_t base = 0;
    if (origin == SEEK_CUR) {
        base = Tell(file);
    } else if (origin == SEEK_END) {
        if (fseeko(file->stream, 0, SEEK_END) != 0)
            return -1;
        base = Tell(file);
    } else if (origin != SEEK_SET) {
        return -1;
    }
    const int64_t target = base + offset;
    if (base < 0 || target < 0 || target > INT32_MAX || !SeekTo(file, target))
        return -1;
    return static_cast<LONG>(target);
}

UINT mmioAscend(HMMIO file, LPMMCKINFO chunk, UINT flags)
{
    (void)flags;
    if (!file || !chunk)
        return MMIOERR_CANNOTSEEK;
    return SeekTo(file, ChunkEnd(chunk)) ? MMSYSERR_NOERROR : MMIOERR_CANNOTSEEK;
}

UINT mmioClose(HMMIO file, UINT flags)
{
    (void)flags;
    if (!file)
        return MMIOERR_CANNOTREAD;
    std::fclose(file->stream);
    delete file;
    return MMSYSERR_NOERROR;
}
