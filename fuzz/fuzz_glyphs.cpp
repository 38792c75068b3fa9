// Fuzzes glyph loading: the input is a font file, opened from memory by
// FreeType and rendered into coverage for character codes 0..127 at a few
// pixel sizes, as the font engine does before its upload.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "GlyphBitmap.h"

namespace {
// 12 and 20 are sizes of the Terminus seed, 33 is not; the shipped font scales to all.
const int pixel_sizes[] = {12, 20, 33};
const unsigned long glyph_count = 128;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FT_Library library = [] {
        FT_Library l;
        if (FT_Init_FreeType(&l))
            abort();
        return l;
    }();
    FT_Face face;
    if (FT_New_Memory_Face(library, data, static_cast<FT_Long>(size), 0, &face))
        return 0;
    GlyphImage image;
    for (int pixel_size : pixel_sizes) {
        if (!set_glyph_size(face, pixel_size).empty())
            continue;
        for (unsigned long c = 0; c < glyph_count; ++c) {
            if (render_glyph(face, c, image) &&
                image.coverage.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.rows))
                abort();
        }
    }
    FT_Done_Face(face);
    return 0;
}
