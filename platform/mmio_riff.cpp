// Multimedia file input (C stdio): stub until the RIFF reader lands.
#include "mmsystem.h"

HMMIO mmioOpenA(LPSTR fileName, LPMMIOINFO info, DWORD flags)
{
    (void)fileName;
    (void)info;
    (void)flags;
    return nullptr;
}

UINT mmioDescend(HMMIO file, LPMMCKINFO chunk, const MMCKINFO* parent, UINT flags)
{
    (void)file;
    (void)chunk;
    (void)parent;
    (void)flags;
    return MMIOERR_CHUNKNOTFOUND;
}

LONG mmioRead(HMMIO file, char* buffer, LONG bytes)
{
    (void)file;
    (void)buffer;
    (void)bytes;
    return -1;
}

UINT mmioAscend(HMMIO file, LPMMCKINFO chunk, UINT flags)
{
    (void)file;
    (void)chunk;
    (void)flags;
    return MMIOERR_CANNOTSEEK;
}

UINT mmioClose(HMMIO file, UINT flags)
{
    (void)file;
    (void)flags;
    return 0;
}
