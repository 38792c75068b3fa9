#pragma once

// The FreeType half of the font engine, free of GL: choosing a face's pixel
// size and turning a glyph into the tightly packed 8-bit coverage that the
// glyph textures take, whatever FreeType's bitmap looks like.

#include <string>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

// One rendered glyph: coverage is width x rows bytes, top row first, 0 (no
// ink) to 255 (full ink); left/top and advance are FreeType's bitmap_left,
// bitmap_top and advance.x (1/64 pixel).
struct GlyphImage {
    std::vector<unsigned char> coverage;
    int width = 0;
    int rows = 0;
    int left = 0;
    int top = 0;
    unsigned int advance = 0;
};

// Converts a FreeType bitmap of any row padding or direction (positive or
// negative pitch) into tightly packed top-down coverage. MONO pixels become 0
// or 255, GRAY2/GRAY4/GRAY levels are scaled to 0..255, BGRA gives its alpha.
// Returns false, `out` emptied, for other pixel modes and for a bitmap whose
// rows are shorter than its width needs.
bool coverage_from_bitmap(const FT_Bitmap& bitmap, std::vector<unsigned char>& out);

// Loads and renders character `code` of `face` at its current size into
// `out`; false when FreeType fails, the bitmap cannot be converted, or the
// glyph is more than four ems across or high (a broken outline, refused
// before it is rasterised).
bool render_glyph(FT_Face face, unsigned long code, GlyphImage& out);

// Sets the face to `pixel_size` pixels high. A font with fixed bitmap sizes
// only may not have it: the result is then one line saying so and naming the
// sizes it has; it is empty on success.
std::string set_glyph_size(FT_Face face, int pixel_size);
