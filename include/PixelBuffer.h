#pragma once

#include <cstddef>
#include <vector>

// Receives each read-back frame in capture mode: 3 bytes (R, G, B) per pixel,
// rows of exactly width * 3 bytes, bottom row first until flipped.
extern std::vector<unsigned char> pixel_buffer;

// Byte count of a width x height RGB frame, computed without int overflow.
size_t rgb_frame_size(int width, int height);
