#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <vector>

#include "Bitmap.h"
#include "FrameCapture.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes encode(const Bytes& rgb, int width, int height) {
    unsigned char* out = nullptr;
    const int length = bitmap_encode_rgb(rgb.data(), width, height, &out);
    std::unique_ptr<unsigned char[]> owned(out);
    return Bytes(out, out + length);
}

// The 54-byte header of a 24-bit file of w x h pixels whose rows take `image` bytes.
Bytes header(int w, int h, int image) {
    Bytes bytes = {'B', 'M'};
    for (int field : {54 + image, 0, 54, 40, w, h, 1 | 24 << 16, 0, image, 2835, 2835, 0, 0})
        for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<unsigned char>(field >> shift));
    return bytes;
}

}  // namespace

// Every row padding and empty images: the header, then rows bottom-up, each pixel as B, G, R,
// zeros up to a multiple of 4 bytes. A file too long for the 32-bit size fields is refused.
TEST(BitmapEncode, HeaderThenRowsBottomUpInBgrPaddedToFourBytes) {
    std::vector<std::pair<int, int>> sizes = {{1601, 5}, {0, 0}, {5, 0}};
    for (int width = 1; width <= 8; ++width)
        for (int height = 1; height <= 3; ++height) sizes.emplace_back(width, height);
    for (auto [w, h] : sizes) {
        Bytes rgb(3 * w * h);
        for (unsigned char& byte : rgb) byte = static_cast<unsigned char>(std::rand());
        const Bytes bmp = encode(rgb, w, h);
        const int stride = (3 * w + 3) / 4 * 4;
        ASSERT_EQ(bmp.size(), 54u + stride * h) << w << "x" << h;
        EXPECT_EQ(Bytes(bmp.begin(), bmp.begin() + 54), header(w, h, stride * h)) << w << "x" << h;
        for (int y = 0; y < h; ++y)
            for (int i = 0; i < stride; ++i)
                ASSERT_EQ(bmp[54 + (h - 1 - y) * stride + i], i < 3 * w ? rgb[3 * (y * w + i / 3) + 2 - i % 3] : 0)
                    << w << "x" << h << " row " << y << " byte " << i;
    }
    unsigned char* out = nullptr;
    EXPECT_THROW(bitmap_encode_rgb(nullptr, 30000, 30000, &out), std::length_error);
    EXPECT_EQ(out, nullptr);
    // The capture refuses such a frame as a failed write, before any read-back or allocation.
    EXPECT_FALSE(write_frame_file(testing::TempDir() + "frame-too-large.bmp", 30000, 30000));
}
