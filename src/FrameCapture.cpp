// Capture mode: each finished frame read back and written as the next numbered BMP file.
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "Bitmap.h"
#include "DrawCallback.h"
#include "FW/Window.h"
#include "PixelBuffer.h"

void DrawCallback::save_frame() {
    const int width = FW::SCREEN_WIDTH;
    const int height = FW::SCREEN_HEIGHT;
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

    const std::string name = "capture/frame" + std::to_string(frame_number) + ".bmp";
    std::ofstream file(name, std::ios::out | std::ios::binary | std::ios::trunc);
    std::cout << "Write to " << name << std::endl;
    file.write(reinterpret_cast<const char*>(out), length);
    file.close();
    delete[] out;
    // A frame that did not reach the disk ends the run, like the other file failures.
    if (!file) {
        std::cerr << "Error writing file: " << name << std::endl;
        exit(-1);
    }
    ++frame_number;
}
