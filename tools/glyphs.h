// Text rasterised with FreeType from a face that fontconfig picks.
#pragma once

#include "canvas.h"

#include <string>

// Renders UTF-8 text at the largest pixel size from startSize down that fits maxWidth x
// maxHeight, using the first face for the fontconfig pattern that has every character.
// The mask is cropped to the inked pixels. False (and an empty mask) when no installed face
// covers the text or FreeType fails.
bool RenderTextFit(const std::string& pattern, const std::string& utf8, int startSize, int maxWidth, int maxHeight,
                   Mask& out);

// Frees fontconfig's configuration once all text is drawn.
void ReleaseFonts();
