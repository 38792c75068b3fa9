// The BMP encoder: RGB frames into complete 24-bit BMP files in memory, and the row flip.
#include "Bitmap.h"

#include <algorithm>
#include <cassert>
#include <climits>
#include <cstddef>
#include <cstring>
#include <stdexcept>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#endif

namespace {

const unsigned int header_size = 54;
const unsigned int info_header_size = 40;
const unsigned short colour_planes = 1;
const unsigned short bits_per_pixel = 24;
const unsigned int no_compression = 0;
const unsigned int pixels_per_metre = 2835;  // about 72 dots per inch

void insert_2_bytes(std::vector<unsigned char>& bytes, const unsigned short& value) {
    bytes.push_back(static_cast<unsigned char>(value & 0xff));
    bytes.push_back(static_cast<unsigned char>(value >> 8));
}

void insert_4_bytes(std::vector<unsigned char>& bytes, const unsigned int& value) {
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<unsigned char>((value >> shift) & 0xff));
}

// Copies n pixels from RGB to BGR order.
void swap_red_blue(const unsigned char* src, unsigned char* dst, int n) {
    for (int j = 0; j < n; ++j, src += 3, dst += 3) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
    }
}

#if defined(__x86_64__) || defined(__i386__)
// The same with one byte shuffle per 5 pixels. Each step loads and stores 16
// bytes but advances 15, so it stops while a whole 16 bytes are left in the row.
__attribute__((target("ssse3"))) void swap_red_blue_ssse3(const unsigned char* src,
                                                          unsigned char* dst, int n) {
    const __m128i order = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
    int j = 0;
    for (; j + 6 <= n; j += 5, src += 15, dst += 15) {
        __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm_shuffle_epi8(pixels, order));
    }
    swap_red_blue(src, dst, n - j);
}

void swap_red_blue_row(const unsigned char* src, unsigned char* dst, int n) {
    static const bool has_ssse3 = __builtin_cpu_supports("ssse3");
    if (has_ssse3)
        swap_red_blue_ssse3(src, dst, n);
    else
        swap_red_blue(src, dst, n);
}
#else
void swap_red_blue_row(const unsigned char* src, unsigned char* dst, int n) {
    swap_red_blue(src, dst, n);
}
#endif

size_t bitmap_file_size(int width, int height) {
    assert(width >= 0 && height >= 0);
    const size_t stored_row_bytes = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    return header_size + stored_row_bytes * static_cast<size_t>(height);
}

}  // namespace

bool bitmap_fits(int width, int height) {
    // The result and the header's size fields must hold the length.
    return bitmap_file_size(width, height) <= static_cast<size_t>(INT_MAX);
}

int bitmap_encode_rgb(const unsigned char* rgb, int width, int height, unsigned char** out) {
    if (!bitmap_fits(width, height))
        throw std::length_error("bitmap larger than 2 GiB");
    const size_t row_bytes = static_cast<size_t>(width) * 3;
    const size_t stored_row_bytes = (row_bytes + 3) / 4 * 4;
    const unsigned int file_size = static_cast<unsigned int>(bitmap_file_size(width, height));
    const unsigned int image_size = file_size - header_size;

    std::vector<unsigned char> header;
    header.reserve(header_size);
    header.push_back('B');
    header.push_back('M');
    insert_4_bytes(header, file_size);
    insert_2_bytes(header, 0);
    insert_2_bytes(header, 0);
    insert_4_bytes(header, header_size);
    insert_4_bytes(header, info_header_size);
    insert_4_bytes(header, static_cast<unsigned int>(width));
    insert_4_bytes(header, static_cast<unsigned int>(height));
    insert_2_bytes(header, colour_planes);
    insert_2_bytes(header, bits_per_pixel);
    insert_4_bytes(header, no_compression);
    insert_4_bytes(header, image_size);
    insert_4_bytes(header, pixels_per_metre);
    insert_4_bytes(header, pixels_per_metre);
    insert_4_bytes(header, 0);
    insert_4_bytes(header, 0);
    assert(header.size() == header_size);

    unsigned char* file = new unsigned char[file_size];
    std::memcpy(file, header.data(), header_size);
    // Rows bottom-up, each as B, G, R and zero-padded to a multiple of 4 bytes.
    unsigned char* dst = file + header_size;
    for (int row = height - 1; row >= 0; --row, dst += stored_row_bytes) {
        swap_red_blue_row(rgb + row_bytes * static_cast<size_t>(row), dst, width);
        std::memset(dst + row_bytes, 0, stored_row_bytes - row_bytes);
    }
    *out = file;
    return static_cast<int>(file_size);
}

void flip_rows(unsigned char* rgb, int width, int height) {
    assert(width >= 0 && height >= 0);
    const size_t row_bytes = static_cast<size_t>(width) * 3;
    for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
        unsigned char* upper = rgb + row_bytes * static_cast<size_t>(top);
        std::swap_ranges(upper, upper + row_bytes, rgb + row_bytes * static_cast<size_t>(bottom));
    }
}
