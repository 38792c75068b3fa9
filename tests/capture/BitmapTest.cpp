#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "Bitmap.h"
#include "BmpTestFiles.h"

namespace {

std::vector<unsigned char> encode(const std::vector<unsigned char>& rgb, int width, int height) {
    unsigned char* out = nullptr;
    int length = bitmap_encode_rgb(rgb.data(), width, height, &out);
    std::unique_ptr<unsigned char[]> owned(out);
    return std::vector<unsigned char>(out, out + length);
}

std::vector<unsigned char> pattern(int width, int height, unsigned seed) {
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
    for (unsigned char& byte : rgb) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<unsigned char>(seed >> 16);
    }
    return rgb;
}

const std::vector<unsigned char> header_1x1 = {
    0x42, 0x4d, 0x3a, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x36, 0x00, 0x00, 0x00,
    0x28, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00,
    0x18, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x13, 0x0b, 0x00, 0x00,
    0x13, 0x0b, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

}  // namespace

TEST(BitmapEncode, OneRedPixelGivesTheDocumentedFile) {
    std::vector<unsigned char> expected = header_1x1;
    expected.insert(expected.end(), {0x00, 0x00, 0xff, 0x00});
    EXPECT_EQ(encode({255, 0, 0}, 1, 1), expected);
}

TEST(BitmapEncode, TwoByTwoStoresRowsBottomUpAsBgrWithPadding) {
    const std::vector<unsigned char> rgb = {255, 0, 0,   0,   255, 0,     // red, green
                                            0,   0, 255, 255, 255, 255};  // blue, white
    std::vector<unsigned char> file = encode(rgb, 2, 2);
    ASSERT_EQ(file.size(), 70u);
    EXPECT_EQ(field32(file, 2), 70u);
    EXPECT_EQ(field32(file, 18), 2u);
    EXPECT_EQ(field32(file, 22), 2u);
    EXPECT_EQ(field32(file, 34), 16u);
    const std::vector<unsigned char> pixels = {0xff, 0x00, 0x00, 0xff, 0xff, 0xff, 0x00, 0x00,
                                               0x00, 0x00, 0xff, 0x00, 0xff, 0x00, 0x00, 0x00};
    EXPECT_EQ(std::vector<unsigned char>(file.begin() + 54, file.end()), pixels);
    // Apart from the sizes, the header is the one of every 24-bit file.
    for (size_t offset : {0, 6, 10, 14, 26, 30, 38, 46, 50})
        EXPECT_EQ(file[offset], header_1x1[offset]) << "offset " << offset;
}

TEST(BitmapEncode, EmptyImagesKeepTheirDimensionsInTheHeader) {
    for (auto [width, height] : {std::pair{0, 0}, {5, 0}, {0, 7}}) {
        std::vector<unsigned char> file = encode({}, width, height);
        ASSERT_EQ(file.size(), 54u);
        EXPECT_EQ(field32(file, 2), 54u);
        EXPECT_EQ(field32(file, 18), static_cast<uint32_t>(width));
        EXPECT_EQ(field32(file, 22), static_cast<uint32_t>(height));
        EXPECT_EQ(field32(file, 34), 0u);
    }
}

TEST(BitmapEncode, RowsArePaddedWithZerosToFourBytes) {
    // Widths 1 to 4 need 1, 2, 3 and 0 padding bytes; the larger ones repeat
    // that cycle across the vectorised part of the row.
    for (int width = 1; width <= 40; ++width) {
        const int height = 3;
        const size_t stride = (3 * width + 3) / 4 * 4;
        std::vector<unsigned char> file = encode(pattern(width, height, width), width, height);
        ASSERT_EQ(file.size(), 54 + stride * height) << "width " << width;
        EXPECT_EQ(field32(file, 2), file.size());
        EXPECT_EQ(field32(file, 34), file.size() - 54);
        for (int row = 0; row < height; ++row)
            for (size_t pad = 3 * width; pad < stride; ++pad)
                EXPECT_EQ(file[54 + row * stride + pad], 0) << "width " << width << " row " << row;
    }
}

TEST(BitmapEncode, ImageMagickDecodesThePixelsUnchanged) {
    TempDir dir;
    struct Case {
        int width, height;
        std::vector<unsigned char> rgb;
    };
    std::vector<Case> cases;
    for (int width = 1; width <= 24; ++width)
        for (int height = 1; height <= 3; ++height)
            cases.push_back({width, height, pattern(width, height, width * 16 + height)});
    cases.push_back({1601, 5, pattern(1601, 5, 99)});
    for (const Case& c : cases) {
        std::vector<unsigned char> file = encode(c.rgb, c.width, c.height);
        std::string name = std::to_string(c.width) + "x" + std::to_string(c.height);
        write_bytes(dir.path / (name + ".bmp"), file.data(), file.size());
    }
    ASSERT_EQ(decode_with_imagemagick(dir.path), 0);
    for (const Case& c : cases) {
        std::string name = std::to_string(c.width) + "x" + std::to_string(c.height);
        EXPECT_EQ(read_bytes(dir.path / (name + ".rgb")), c.rgb) << name;
    }
}

TEST(BitmapEncode, RefusesAFileTooLongForItsSizeFields) {
    unsigned char* out = nullptr;
    unsigned char pixel[3] = {};
    // 3 * 30000 * 30000 bytes: the length would overflow the int result.
    EXPECT_THROW(bitmap_encode_rgb(pixel, 30000, 30000, &out), std::length_error);
    EXPECT_EQ(out, nullptr);
}

TEST(FlipRows, MirrorsRowsAndLeavesAnOddMiddleRow) {
    for (int width : {1, 5, 64}) {
        for (int height : {0, 1, 2, 5, 6}) {
            const std::vector<unsigned char> original = pattern(width, height, width + height);
            std::vector<unsigned char> flipped = original;
            flip_rows(flipped.data(), width, height);
            const size_t row = 3 * width;
            for (int y = 0; y < height; ++y)
                ASSERT_TRUE(std::equal(flipped.begin() + y * row, flipped.begin() + (y + 1) * row,
                                       original.begin() + (height - 1 - y) * row))
                    << width << "x" << height << " row " << y;
        }
    }
}
