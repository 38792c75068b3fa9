// Glyph bitmaps of every row layout into packed coverage, and real fonts (Debian's
// Terminus bitmap font, Liberation outlines) through the font engine's path.
#include <vector>

#include <gtest/gtest.h>

#include "GlyphBitmap.h"
#include FT_BITMAP_H

namespace {

using Bytes = std::vector<unsigned char>;

struct Font {  // one face of a font file, on a library of its own
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    explicit Font(const char* path) {
        EXPECT_FALSE(FT_Init_FreeType(&library) || FT_New_Face(library, path, 0, &face)) << path;
    }
    ~Font() { FT_Done_Face(face), FT_Done_FreeType(library); }
};

FT_Bitmap bitmap(unsigned rows, unsigned width, int pitch, unsigned char* buffer, unsigned char mode) {
    const unsigned short levels = mode == FT_PIXEL_MODE_GRAY ? 256 : 0;
    return {rows, width, pitch, buffer, levels, mode, 0, nullptr};
}

TEST(GlyphCoverage, MonoPaddedNegativePitchAndRejects) {
    // 10 one-bit pixels in 4-byte rows.
    unsigned char mono[] = {0xFF, 0xC0, 0xFF, 0xFF, 0xA5, 0x40, 0xFF, 0xFF};
    Bytes out;
    ASSERT_TRUE(coverage_from_bitmap(bitmap(2, 10, 4, mono, FT_PIXEL_MODE_MONO), out));
    EXPECT_EQ(out, (Bytes{255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
                          255, 0, 255, 0, 0, 255, 0, 255, 0, 255}));
    // Negative pitch: the bottom row comes first in memory.
    unsigned char gray[] = {7, 8, 9, 99, 1, 2, 3, 99};
    ASSERT_TRUE(coverage_from_bitmap(bitmap(2, 3, -4, gray, FT_PIXEL_MODE_GRAY), out));
    EXPECT_EQ(out, (Bytes{1, 2, 3, 7, 8, 9}));
    // Rows too short for the width, and a subpixel mode, are refused.
    EXPECT_FALSE(coverage_from_bitmap(bitmap(2, 10, 1, mono, FT_PIXEL_MODE_MONO), out));
    EXPECT_FALSE(coverage_from_bitmap(bitmap(2, 2, 8, mono, FT_PIXEL_MODE_LCD), out));
}

TEST(GlyphCoverage, BitmapFontMatchesFreeTypesOwnConversionAndNamesMissingSizes) {
    Font font("/usr/share/fonts/opentype/terminus/terminus-normal.otb");
    EXPECT_EQ(set_glyph_size(font.face, 13), "ERROR::FREETYPE: The font has no pixel size 13 (it has 12 14 "
                                             "16 18 20 22 24 28 32); text of that size is not drawn");
    ASSERT_EQ(set_glyph_size(font.face, 20), "");
    GlyphImage image;
    FT_Bitmap reference;
    FT_Bitmap_Init(&reference);
    for (unsigned long c = 32; c < 128; ++c) {
        ASSERT_TRUE(render_glyph(font.face, c, image)) << c;
        ASSERT_EQ(font.face->glyph->bitmap.pixel_mode, FT_PIXEL_MODE_MONO);
        // FreeType's converter gives 0 or 1 per pixel in rows of exactly the width.
        ASSERT_EQ(FT_Bitmap_Convert(font.library, &font.face->glyph->bitmap, &reference, 1), 0);
        Bytes expected(reference.buffer, reference.buffer + reference.width * reference.rows);
        for (unsigned char& v : expected)
            v *= 255;
        EXPECT_EQ(image.coverage, expected) << c;
    }
    FT_Bitmap_Done(font.library, &reference);
}

TEST(GlyphCoverage, OutlineFarBeyondItsEmIsRefusedBeforeRasterising) {
    Font font("/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf");
    ASSERT_EQ(set_glyph_size(font.face, 12), "");
    GlyphImage image;
    EXPECT_TRUE(render_glyph(font.face, 'B', image));
    // Blown up a hundredfold, as a damaged font's coordinates made it in a fuzz run.
    FT_Matrix grow = {100 << 16, 0, 0, 100 << 16};
    FT_Set_Transform(font.face, &grow, nullptr);
    EXPECT_FALSE(render_glyph(font.face, 'B', image));
    EXPECT_EQ(font.face->glyph->format, FT_GLYPH_FORMAT_OUTLINE);
}

}  // namespace
