// Capture mode's file writing: the window read back, flipped, encoded as BMP and written.
#include "FrameCapture.h"

#include <fstream>

#include "Bitmap.h"
#include "FW/GL.h"
#include "PixelBuffer.h"

std::string capture_file_name(int number) {
    return "capture/frame" + std::to_string(number) + ".bmp";
}

bool write_frame_file(const std::string& name, int width, int height) {
    // A frame too large for a BMP file is a frame that cannot be written.
    if (!bitmap_fits(width, height))
        return false;
    // A resize since start-up changes the frame size: the buffer follows it,
    // so the read-back never runs past its end.
    const size_t frame_size = rgb_frame_size(width, height);
    if (pixel_buffer.size() != frame_size)
        pixel_buffer.resize(frame_size);

    // Tightly packed rows for every width, bottom row first.
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixel_buffer.data());
    flip_rows(pixel_buffer.data(), width, height);

    unsigned char* out = nullptr;
    const int length = bitmap_encode_rgb(pixel_buffer.data(), width, height, &out);

    std::ofstream file(name, std::ios::out | std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(out), length);
    file.close();
    delete[] out;
    return static_cast<bool>(file);
}
