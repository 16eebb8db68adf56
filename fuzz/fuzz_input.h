// Fuzz inputs handed to the loaders as files: the loaders open paths, so each input is written to
// one in-memory file (memfd) and named by its /proc path.
#pragma once

#include <cstddef>
#include <cstdint>

// The path of a file holding exactly these bytes, valid until the next call.
const char* InputAsFile(const uint8_t* data, size_t size);

// The headless drivers, set before anything reaches SDL.
void UseHeadlessDrivers();

// The mixer's soundfont: a tiny silent one, so that opening the sequencer costs little.
void UseTinySoundFont();

// The entry every target defines; libFuzzer calls it, and so does the replay program.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
