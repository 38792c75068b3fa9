#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "Bitmap.h"
#include "BmpTestFiles.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes encode(const Bytes& rgb, int width, int height) {
    unsigned char* out = nullptr;
    int length = bitmap_encode_rgb(rgb.data(), width, height, &out);
    std::unique_ptr<unsigned char[]> owned(out);
    return Bytes(out, out + length);
}

Bytes pattern(int width, int height, unsigned seed) {
    Bytes rgb(static_cast<size_t>(width) * height * 3);
    for (unsigned char& byte : rgb) byte = static_cast<unsigned char>((seed = seed * 1103515245u + 12345u) >> 16);
    return rgb;
}

// The header of a 24-bit file; `size`, width, height and pixel bytes set per image.
Bytes header(unsigned char size, unsigned char w, unsigned char h, unsigned char pixels) {
    return {'B', 'M', size, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, w, 0, 0, 0, h, 0, 0, 0, 1, 0, 24, 0,
            0, 0, 0, 0, pixels, 0, 0, 0, 0x13, 0x0b, 0, 0, 0x13, 0x0b, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
}

}  // namespace

TEST(BitmapEncode, ExactBytesForSmallEmptyAndTooLargeImages) {
    Bytes red = header(58, 1, 1, 4);
    red.insert(red.end(), {0, 0, 0xff, 0});
    EXPECT_EQ(encode({255, 0, 0}, 1, 1), red);
    // Red, green over blue, white: rows bottom-up, BGR, padded to 4 bytes.
    Bytes two = header(70, 2, 2, 16);
    two.insert(two.end(), {0xff, 0, 0, 0xff, 0xff, 0xff, 0, 0, 0, 0, 0xff, 0, 0xff, 0, 0, 0});
    EXPECT_EQ(encode({255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}, 2, 2), two);
    EXPECT_EQ(encode({}, 0, 0), header(54, 0, 0, 0));
    EXPECT_EQ(encode({}, 5, 0), header(54, 5, 0, 0));
    // Too long for the 32-bit size fields: refused, nothing allocated.
    unsigned char* out = nullptr;
    EXPECT_THROW(bitmap_encode_rgb(red.data(), 30000, 30000, &out), std::length_error);
    EXPECT_EQ(out, nullptr);
}

TEST(BitmapEncode, EveryRowPaddingDecodesUnchangedWithImageMagick) {
    TempDir dir;
    std::vector<std::pair<int, int>> sizes = {{1601, 5}};
    for (int width = 1; width <= 24; ++width)
        for (int height = 1; height <= 3; ++height) sizes.emplace_back(width, height);
    for (auto [w, h] : sizes) {
        Bytes file = encode(pattern(w, h, w * 16 + h), w, h);
        const size_t stride = (3 * w + 3) / 4 * 4;
        ASSERT_EQ(file.size(), 54 + stride * h) << w << "x" << h;
        for (int row = 0; row < h; ++row)
            for (size_t pad = 3 * w; pad < stride; ++pad) EXPECT_EQ(file[54 + row * stride + pad], 0) << w;
        std::ofstream(dir.path / (std::to_string(w) + "x" + std::to_string(h) + ".bmp"), std::ios::binary)
            .write(reinterpret_cast<const char*>(file.data()), file.size());
    }
    ASSERT_EQ(decode_with_imagemagick(dir.path), 0);
    for (auto [w, h] : sizes)
        EXPECT_EQ(read_bytes(dir.path / (std::to_string(w) + "x" + std::to_string(h) + ".rgb")),
                  pattern(w, h, w * 16 + h)) << w << "x" << h;
}

TEST(FlipRows, MirrorsRowsForOddAndEvenHeights) {
    for (int height : {0, 1, 2, 5, 6}) {
        const int width = 5;
        const Bytes original = pattern(width, height, height);
        Bytes flipped = original;
        flip_rows(flipped.data(), width, height);
        for (int y = 0; y < height; ++y)
            EXPECT_TRUE(std::equal(flipped.begin() + y * 3 * width, flipped.begin() + (y + 1) * 3 * width,
                                   original.begin() + (height - 1 - y) * 3 * width)) << height << " row " << y;
    }
}
