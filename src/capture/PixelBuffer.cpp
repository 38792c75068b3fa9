// The buffer that receives read-back frames in capture mode, and its size arithmetic.
#include "PixelBuffer.h"

#include <algorithm>

std::vector<unsigned char> pixel_buffer;

size_t rgb_frame_size(int width, int height) {
    return static_cast<size_t>(std::max(width, 0)) * static_cast<size_t>(std::max(height, 0)) * 3;
}
