// The data generator: every model, texture, sprite bitmap and sound the game reads, drawn by
// our own code. Each writer puts its files into the given folder and reports success.
#pragma once

#include <string>

bool WriteSprites(const std::string& folder);  // the sprite sheet bitmaps
bool WriteModels(const std::string& folder);   // the DirectX .x models
bool WriteTextures(const std::string& folder); // the earth and sky textures
bool WriteSounds(const std::string& folder);   // the explosion WAV and a MIDI piece
bool WriteIcons(const std::string& folder);    // the icon for the desktop and the window
