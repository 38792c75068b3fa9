#pragma once

#include <cmath>
#include <string>

#include "ShowLength.h"

// Capture mode's file writing: the window's finished frame read back into
// `pixel_buffer`, encoded as BMP and written to a file.

// The file name of frame `number`: "capture/frameN.bmp".
std::string capture_file_name(int number);
// Reads back the window's width x height frame and writes it to `name`;
// false when the file could not be written completely.
bool write_frame_file(const std::string& name, int width, int height);

// A whole capture run writes frames 0 to 3479: the show at 60 frames a second.
constexpr int capture_frame_count = static_cast<int>(show_seconds * 60.0);

// The number of the first frame a capture starting at `seconds` writes.
inline int first_capture_frame(double seconds) {
    return static_cast<int>(std::lround(seconds * 60.0));
}
