// Glyph bitmaps as FreeType hands them over, converted into the tightly packed
// top-down coverage that the font engine uploads, with no GL involved (the
// fuzz harness drives the same code).

#include "GlyphBitmap.h"

#include FT_OUTLINE_H

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace {

// A glyph more than four ems across or high (plus a few pixels of edge for
// the smallest sizes) is a broken outline, not text: refusing it before it is
// rasterised keeps a damaged font from costing seconds and hundreds of
// megabytes per glyph (the fuzzer found such a font).
const long max_glyph_ems = 4;
const long glyph_edge_pixels = 8;

// Bits per pixel of the modes that convert to coverage; 0 for the others
// (LCD subpixel images and unknown modes).
int bits_per_pixel(unsigned char pixel_mode) {
    switch (pixel_mode) {
    case FT_PIXEL_MODE_MONO: return 1;
    case FT_PIXEL_MODE_GRAY2: return 2;
    case FT_PIXEL_MODE_GRAY4: return 4;
    case FT_PIXEL_MODE_GRAY: return 8;
    case FT_PIXEL_MODE_BGRA: return 32;
    default: return 0;
    }
}

// Converts one row of `width` pixels to coverage. `gray_max` is the brightest
// level of a GRAY bitmap.
void convert_row(const unsigned char* row, unsigned width, unsigned char pixel_mode, unsigned gray_max,
                 unsigned char* out) {
    switch (pixel_mode) {
    case FT_PIXEL_MODE_MONO:  // most significant bit first
        for (unsigned x = 0; x < width; ++x)
            out[x] = (row[x >> 3] >> (7 - (x & 7))) & 1 ? 255 : 0;
        break;
    case FT_PIXEL_MODE_GRAY2:
        for (unsigned x = 0; x < width; ++x)
            out[x] = static_cast<unsigned char>(((row[x >> 2] >> (6 - 2 * (x & 3))) & 3) * 85);
        break;
    case FT_PIXEL_MODE_GRAY4:
        for (unsigned x = 0; x < width; ++x)
            out[x] = static_cast<unsigned char>(((row[x >> 1] >> (4 - 4 * (x & 1))) & 15) * 17);
        break;
    case FT_PIXEL_MODE_GRAY:
        if (gray_max == 255) {
            std::memcpy(out, row, width);
        } else {
            for (unsigned x = 0; x < width; ++x)
                out[x] = static_cast<unsigned char>(std::min(255u, row[x] * 255u / gray_max));
        }
        break;
    default:  // BGRA: premultiplied colour, the alpha is the coverage
        for (unsigned x = 0; x < width; ++x)
            out[x] = row[4 * x + 3];
    }
}

}  // namespace

bool coverage_from_bitmap(const FT_Bitmap& bitmap, std::vector<unsigned char>& out) {
    out.clear();
    const unsigned width = bitmap.width;
    const unsigned rows = bitmap.rows;
    if (width == 0 || rows == 0)
        return true;
    const int bits = bits_per_pixel(bitmap.pixel_mode);
    // The row stride in bytes; the pitch's sign only gives the rows' order.
    const size_t stride = static_cast<size_t>(std::llabs(static_cast<long long>(bitmap.pitch)));
    if (bits == 0 || bitmap.buffer == nullptr || stride < (size_t{width} * bits + 7) / 8)
        return false;
    const unsigned gray_max = bitmap.num_grays >= 2 && bitmap.num_grays <= 256 ? bitmap.num_grays - 1 : 255;

    // A negative pitch stores the rows bottom-up: the top row comes last in memory.
    const unsigned char* top = bitmap.buffer + (bitmap.pitch < 0 ? stride * (rows - 1) : 0);
    out.resize(size_t{width} * rows);
    for (unsigned y = 0; y < rows; ++y) {
        const unsigned char* row = top + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
        convert_row(row, width, bitmap.pixel_mode, gray_max, &out[size_t{y} * width]);
    }
    return true;
}

bool render_glyph(FT_Face face, unsigned long code, GlyphImage& out) {
    if (FT_Load_Char(face, code, FT_LOAD_DEFAULT))
        return false;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Size_Metrics& metrics = face->size->metrics;
    const long max_side = max_glyph_ems * std::max(metrics.x_ppem, metrics.y_ppem) + glyph_edge_pixels;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        FT_BBox box;
        FT_Outline_Get_CBox(&slot->outline, &box);
        if ((box.xMax - box.xMin) / 64 > max_side || (box.yMax - box.yMin) / 64 > max_side)
            return false;
    }
    // Rasterises an outline; a glyph that is a bitmap already stays as it is.
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL))
        return false;
    if (static_cast<long>(slot->bitmap.width) > max_side || static_cast<long>(slot->bitmap.rows) > max_side)
        return false;
    if (!coverage_from_bitmap(slot->bitmap, out.coverage))
        return false;
    out.width = static_cast<int>(slot->bitmap.width);
    out.rows = static_cast<int>(slot->bitmap.rows);
    out.left = slot->bitmap_left;
    out.top = slot->bitmap_top;
    out.advance = static_cast<unsigned int>(slot->advance.x);
    return true;
}

std::string set_glyph_size(FT_Face face, int pixel_size) {
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixel_size)) == 0)
        return "";
    // FreeType picks a fixed size by its rounded y_ppem.
    std::string sizes;
    for (int i = 0; i < face->num_fixed_sizes; ++i)
        sizes += " " + std::to_string((face->available_sizes[i].y_ppem + 32) >> 6);
    return "ERROR::FREETYPE: The font has no pixel size " + std::to_string(pixel_size) +
           (sizes.empty() ? "" : " (it has" + sizes + ")") + "; text of that size is not drawn";
}
