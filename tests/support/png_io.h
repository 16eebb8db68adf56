// Test images: RGB888 pictures read from and written to PNG files (zlib), made from RGB565
// surfaces, compared with a per-channel tolerance, and checked against stored reference pictures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TestImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb; // 3 bytes per pixel, row after row, top first
};

// RGB565 pixels (pitch in pixels) widened to 8 bits per channel, the top bits repeated below.
TestImage ImageFromRgb565(const uint16_t* pixels, int width, int height, int pitchPixels);
// 8-bit RGB, non-interlaced. Reading also takes 8-bit RGBA and grey files.
bool WritePng(const std::string& path, const TestImage& image);
bool ReadPng(const std::string& path, TestImage* image);

struct ImageDifference {
    bool sameSize = false;
    int differingPixels = 0; // pixels with any channel beyond the tolerance
    int worstChannel = 0;    // largest channel difference seen
};
ImageDifference CompareImages(const TestImage& a, const TestImage& b, int tolerance);

// Compares with tests/fixtures/<suite>/<name>.png, given as "suite/name"; with
// ORBIT_UPDATE_REFERENCES=1 in the environment the picture is written there instead (and also on a
// failed comparison, as suite_name.actual.png in the working folder for a look). False with a
// message when the pictures differ.
bool MatchesReference(const TestImage& image, const std::string& name, int tolerance, int allowedDiffering,
                      std::string* message);
