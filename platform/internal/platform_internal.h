// What the stand-in folders share with one another.
#pragma once

#include "platform_private.h"

#include "d3drm.h"
#include "ddraw.h"

#include <cstdint>
#include <string>
#include <vector>

// Windows paths from the game ("dir\\file") turned into paths this system can open
// (win32/file_paths.cpp). A data file not where the game looks is searched for: a bare name in the
// current folder, then the executable's folder; a name in the executable's folder there; then
// ../share/orbitdefense beside the executable and orbitdefense/ in each $XDG_DATA_DIRS entry. A file
// found nowhere is named on stderr once, with the places tried, and its path comes back as given.
std::string NativePath(const char* windowsPath);
struct DataPlaces {
    std::string currentFolder;     // empty: relative to the current directory
    std::string moduleFolder;      // the executable's folder, ending in '/'
    std::string shortModuleFolder; // the short name GetModuleFileNameA may give for it, or empty
    const char* xdgDataDirs = nullptr;
};
std::vector<std::string> DataFileCandidates(const char* windowsPath, const DataPlaces& places);
// The first candidate that exists (file names matched without regard to case); empty if none,
// with the candidates in *tried.
std::string FindDataFile(const char* windowsPath, const DataPlaces& places, std::vector<std::string>* tried);
// The executable's full native path, of any length; empty if unknown.
std::string ExecutablePath();
// The executable's path as GetModuleFileNameA gives it, with backslashes. A path longer than this
// comes through the short folder name instead, so that the game's fixed buffers always hold it
// with a file name appended.
constexpr size_t MODULE_LONG_FORM_LIMIT = 128;
std::string ModuleFileName();

// Code page 932 text to UTF-8 (iconv); undecodable bytes become U+FFFD.
std::string Cp932ToUtf8(const char* text, size_t length);

// A decoded bitmap file: 24-bit colour, top row first, 0x00RRGGBB per pixel.
struct DecodedBitmap {
    int width = 0;
    int height = 0;
    int fileHeight = 0; // as stored: negative for a top-down bitmap
    int bitsPerPixel = 0;
    std::vector<uint32_t> pixels;
};
// False for a missing, truncated or corrupt file.
bool DecodeBitmapFile(const char* path, DecodedBitmap* out);

// Pixel access to a DirectDraw surface (RGB565). Null for anything that is not one of ours.
struct SurfacePixels {
    uint16_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int pitchPixels = 0;
};
bool GetSurfacePixels(IDirectDrawSurface* surface, SurfacePixels* out);
// Sets `count` pixels to one colour, at the speed of a memory fill (ddraw/surface.cpp).
void FillPixels(uint16_t* pixels, size_t count, uint16_t colour);
// Every surface reports DDERR_SURFACELOST until restored, as after the display was taken away.
void LoseAllSurfaces();

// A GDI device context that draws into surface memory; made by IDirectDrawSurface::GetDC.
HDC CreateSurfaceDC(uint16_t* pixels, int width, int height, int pitchPixels);
void DestroySurfaceDC(HDC context);

// The window side: show a finished 640 x 480 RGB565 image, scaled into the window.
void PresentToWindow(const uint16_t* pixels, int width, int height, int pitchPixels);
// True when there is a real display to show windows and message boxes on.
bool HasRealDisplay();

// The renderer side: the 3D interface behind IDirectDraw::QueryInterface(IID_IDirect3D).
IDirect3D* CreateDirect3D(IDirectDraw* directDraw);

// Post a window message from any thread (the music's end-of-play notice comes from the audio
// thread); it is taken by PeekMessageA on the window's thread like any posted message.
void PostMessageFromAnyThread(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
