// Windows multimedia: RIFF file input (our own reader) and MCI command strings (MIDI played
// through SDL2_mixer and FluidSynth).
#pragma once

#include "windows.h"

#include <cstdio> // SEEK_SET, SEEK_CUR, SEEK_END for mmioSeek

typedef DWORD FOURCC;
typedef DWORD MCIERROR;
struct MmioFile;
typedef MmioFile* HMMIO;

#define mmioFOURCC(a, b, c, d)                                                                                         \
    ((FOURCC)(BYTE)(a) | ((FOURCC)(BYTE)(b) << 8) | ((FOURCC)(BYTE)(c) << 16) | ((FOURCC)(BYTE)(d) << 24))

#define MMSYSERR_NOERROR 0
#define MMIOERR_BASE 256
#define MMIOERR_FILENOTFOUND (MMIOERR_BASE + 1)
#define MMIOERR_CANNOTOPEN (MMIOERR_BASE + 4)
#define MMIOERR_CANNOTREAD (MMIOERR_BASE + 5)
#define MMIOERR_CANNOTSEEK (MMIOERR_BASE + 7)
#define MMIOERR_CHUNKNOTFOUND (MMIOERR_BASE + 9)

#define MMIO_READ 0x00000000u
#define MMIO_ALLOCBUF 0x00010000u
#define MMIO_FINDCHUNK 0x0010u
#define MMIO_FINDRIFF 0x0020u
#define MMIO_FINDLIST 0x0040u

struct MMCKINFO {
    FOURCC ckid;
    DWORD cksize;
    FOURCC fccType;
    DWORD dwDataOffset;
    DWORD dwFlags;
};
typedef MMCKINFO* LPMMCKINFO;

struct MMIOINFO;
typedef MMIOINFO* LPMMIOINFO;

HMMIO mmioOpenA(LPSTR fileName, LPMMIOINFO info, DWORD flags);
UINT mmioDescend(HMMIO file, LPMMCKINFO chunk, const MMCKINFO* parent, UINT flags);
LONG mmioRead(HMMIO file, char* buffer, LONG bytes);
// Moves the file position (origin SEEK_SET, SEEK_CUR or SEEK_END); the new position, or -1.
LONG mmioSeek(HMMIO file, LONG offset, int origin);
UINT mmioAscend(HMMIO file, LPMMCKINFO chunk, UINT flags);
UINT mmioClose(HMMIO file, UINT flags);

#define MCI_NOTIFY_SUCCESSFUL 0x0001
#define MCI_NOTIFY_SUPERSEDED 0x0002
#define MCI_NOTIFY_ABORTED 0x0004
#define MCI_NOTIFY_FAILURE 0x0008

#define MCIERR_BASE 256
#define MCIERR_INVALID_DEVICE_ID (MCIERR_BASE + 1)
#define MCIERR_UNRECOGNIZED_KEYWORD (MCIERR_BASE + 3)
#define MCIERR_UNRECOGNIZED_COMMAND (MCIERR_BASE + 5)
#define MCIERR_HARDWARE (MCIERR_BASE + 6)
#define MCIERR_INVALID_DEVICE_NAME (MCIERR_BASE + 7)
#define MCIERR_CANNOT_LOAD_DRIVER (MCIERR_BASE + 10)
#define MCIERR_FILE_NOT_FOUND (MCIERR_BASE + 19)
#define MCIERR_DUPLICATE_ALIAS (MCIERR_BASE + 33)
#define MCIERR_MISSING_PARAMETER (MCIERR_BASE + 17)
#define MCIERR_OUTOFRANGE (MCIERR_BASE + 26)

MCIERROR mciSendStringA(LPCSTR command, LPSTR returnString, UINT returnLength, HWND callback);
