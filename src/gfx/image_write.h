// image_write: writes the image in scratch_array to disk as a PNG (through libpng) or an uncompressed
// 24-bit BMP. The screenshot code calls them after grabbing a frame; both block until the file is closed.
// Invariant: the buffer is read as rows of exactly `width` pixels, bottom row first, and is never changed;
// a file is replaced whole or not at all (a failed write leaves an earlier file of that name as it was).

#pragma once

#include <string>

// bytes_per_pixel 4 writes RGBA (colour type 6); any other value reads 3 bytes per pixel and writes RGB.
// A file that cannot be created is skipped without a message; libpng's own errors, a failed write
// among them, show "PNG error!" and the log names the reason.
void write_png_to_disk(std::string path, int width, int height, int bytes_per_pixel);

// A three-letter extension is replaced by ".bmp" (else ".bmp" is appended). A file that cannot be
// created ends the program with the "I could not create this file!" alert; a failed write shows
// "BMP error!" as a failed PNG write shows "PNG error!", and the log names the reason.
void write_bmp_to_disk(std::string path, int width, int height);
