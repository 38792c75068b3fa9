// Glyph bitmaps of every row layout into packed coverage, and a bitmap-only
// font (Debian's Terminus) through the same path as the font engine.
#include <vector>

#include <gtest/gtest.h>

#include "GlyphBitmap.h"
#include FT_BITMAP_H

namespace {

const char* const terminus = "/usr/share/fonts/opentype/terminus/terminus-normal.otb";
const char* const liberation = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";

FT_Bitmap bitmap(unsigned width, unsigned rows, int pitch, unsigned char mode, unsigned char* buffer) {
    FT_Bitmap b{};
    b.width = width;
    b.rows = rows;
    b.pitch = pitch;
    b.pixel_mode = mode;
    b.num_grays = mode == FT_PIXEL_MODE_GRAY ? 256 : 0;
    b.buffer = buffer;
    return b;
}

TEST(GlyphCoverage, MonoPaddedNegativePitchAndRejects) {
    // 10 one-bit pixels per row in 4-byte rows: the padding is never read as pixels.
    unsigned char mono[] = {0xFF, 0xC0, 0xFF, 0xFF, 0xA5, 0x40, 0xFF, 0xFF};
    std::vector<unsigned char> out;
    ASSERT_TRUE(coverage_from_bitmap(bitmap(10, 2, 4, FT_PIXEL_MODE_MONO, mono), out));
    const std::vector<unsigned char> expected_mono = {255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
                                                      255, 0, 255, 0, 0, 255, 0, 255, 0, 255};
    EXPECT_EQ(out, expected_mono);
    // Negative pitch: the bottom row comes first in memory.
    unsigned char gray[] = {7, 8, 9, 99, 1, 2, 3, 99};
    ASSERT_TRUE(coverage_from_bitmap(bitmap(3, 2, -4, FT_PIXEL_MODE_GRAY, gray), out));
    EXPECT_EQ(out, (std::vector<unsigned char>{1, 2, 3, 7, 8, 9}));
    // Rows too short for the width, and a subpixel mode, are refused.
    EXPECT_FALSE(coverage_from_bitmap(bitmap(10, 2, 1, FT_PIXEL_MODE_MONO, mono), out));
    EXPECT_FALSE(coverage_from_bitmap(bitmap(2, 2, 8, FT_PIXEL_MODE_LCD, mono), out));
    EXPECT_TRUE(out.empty());
}

TEST(GlyphCoverage, BitmapFontMatchesFreeTypesOwnConversionAndNamesMissingSizes) {
    FT_Library library;
    FT_Face face;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    ASSERT_EQ(FT_New_Face(library, terminus, 0, &face), 0) << terminus;
    EXPECT_EQ(set_glyph_size(face, 13), "ERROR::FREETYPE: The font has no pixel size 13 (it has 12 14 16 "
                                        "18 20 22 24 28 32); text of that size is not drawn");
    ASSERT_EQ(set_glyph_size(face, 20), "");
    GlyphImage image;
    FT_Bitmap reference;
    FT_Bitmap_Init(&reference);
    for (unsigned long c = 32; c < 128; ++c) {
        ASSERT_TRUE(render_glyph(face, c, image)) << c;
        ASSERT_EQ(face->glyph->bitmap.pixel_mode, FT_PIXEL_MODE_MONO);
        // FreeType's converter gives 0 or 1 per pixel in rows of exactly the width.
        ASSERT_EQ(FT_Bitmap_Convert(library, &face->glyph->bitmap, &reference, 1), 0);
        std::vector<unsigned char> expected(reference.buffer, reference.buffer + reference.width * reference.rows);
        for (unsigned char& v : expected)
            v *= 255;
        EXPECT_EQ(image.coverage, expected) << c;
        EXPECT_EQ(image.width * image.rows, static_cast<int>(expected.size()));
    }
    FT_Bitmap_Done(library, &reference);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

TEST(GlyphCoverage, OutlineFarBeyondItsEmIsRefusedBeforeRasterising) {
    FT_Library library;
    FT_Face face;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    ASSERT_EQ(FT_New_Face(library, liberation, 0, &face), 0) << liberation;
    ASSERT_EQ(set_glyph_size(face, 12), "");
    GlyphImage image;
    EXPECT_TRUE(render_glyph(face, 'B', image));
    // Blown up a hundredfold, as a damaged font's coordinates made it in a fuzz run.
    FT_Matrix grow = {100 << 16, 0, 0, 100 << 16};
    FT_Set_Transform(face, &grow, nullptr);
    EXPECT_FALSE(render_glyph(face, 'B', image));
    EXPECT_EQ(face->glyph->format, FT_GLYPH_FORMAT_OUTLINE);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

}  // namespace
