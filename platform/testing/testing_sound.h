// Sound seams for the tests: split locks, read a buffer back, count starts, and see every MCI
// end-of-play notice. The game never includes this.
#pragma once

#include "dsound.h"
#include "hook_points.h"

#include <cstdint>
#include <vector>

// Locks that would give one region come back in two, the first of at most this many bytes
// (0 turns it off), as a driver whose write cursor sits mid-buffer would hand them out.
void TestSetSoundLockSplit(DWORD firstRegionBytes);

// A buffer's bytes in its own PCM format, as last unlocked. Empty for a foreign object.
std::vector<uint8_t> TestSoundBufferBytes(IDirectSoundBuffer* buffer);
// How many times Play has started the buffer's sound on its mixer channel.
int TestSoundBufferStarts(IDirectSoundBuffer* buffer);
// Stop, SetCurrentPosition and Play as they reached the buffer, e.g. "Stop", "Position 0", "Play".
std::vector<const char*> TestSoundBufferCalls(IDirectSoundBuffer* buffer);
bool TestSoundBufferPlaying(IDirectSoundBuffer* buffer);

// Every MM_MCINOTIFY the MCI layer posted, in order.
struct TestMciNotice {
    HWND window;
    WPARAM code; // MCI_NOTIFY_*
    LPARAM deviceId;
};
std::vector<TestMciNotice> TestMciNotices();
void TestClearMciNotices();
