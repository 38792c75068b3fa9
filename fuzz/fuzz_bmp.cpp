// Fuzzes the BMP encoder: the first two bytes give a small width and height,
// the rest the pixels (repeated to fill the frame). The output's length, its
// header, pixels and row padding are checked, and flipping twice restores the frame.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "Bitmap.h"

namespace {

const int max_side = 70;
const size_t header_size = 54;

unsigned read_le(const unsigned char* p, int bytes) {
    unsigned value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | p[i];
    return value;
}

void check(bool condition) {
    if (!condition)
        abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    const int width = data[0] % max_side;
    const int height = data[1] % max_side;
    // Exactly the frame's size, so that a read past its end is caught.
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = size > 2 ? data[2 + i % (size - 2)] : 0;

    unsigned char* out = nullptr;
    const int length = bitmap_encode_rgb(rgb.data(), width, height, &out);
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    check(static_cast<size_t>(length) == header_size + stride * height);
    check(out[0] == 'B' && out[1] == 'M' && read_le(out + 2, 4) == static_cast<unsigned>(length));
    check(read_le(out + 10, 4) == header_size && read_le(out + 14, 4) == 40);
    check(read_le(out + 18, 4) == static_cast<unsigned>(width) && read_le(out + 22, 4) == static_cast<unsigned>(height));
    check(read_le(out + 26, 2) == 1 && read_le(out + 28, 2) == 24 && read_le(out + 30, 4) == 0);
    check(read_le(out + 34, 4) == stride * height);
    // Rows bottom-up in B, G, R order, padded with zeros.
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = out + header_size + stride * (height - 1 - y);
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                check(row[3 * x + c] == rgb[(static_cast<size_t>(y) * width + x) * 3 + 2 - c]);
        for (size_t pad = static_cast<size_t>(width) * 3; pad < stride; ++pad)
            check(row[pad] == 0);
    }
    delete[] out;

    std::vector<unsigned char> flipped = rgb;
    flip_rows(flipped.data(), width, height);
    flip_rows(flipped.data(), width, height);
    check(flipped == rgb);
    return 0;
}
