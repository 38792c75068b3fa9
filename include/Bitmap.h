#pragma once

// True when the BMP file of a width x height image has a length that fits an
// int: the encoder takes only those (larger ones throw std::length_error).
bool bitmap_fits(int width, int height);
// Encodes width x height RGB pixels (rows top to bottom, no row padding) as a
// complete 24-bit BMP file. *out receives a new[]-allocated array that the
// caller deletes[]; the result is its length in bytes.
int bitmap_encode_rgb(const unsigned char* rgb, int width, int height, unsigned char** out);

// Mirrors an RGB frame top to bottom in place; an odd middle row stays.
void flip_rows(unsigned char* rgb, int width, int height);
