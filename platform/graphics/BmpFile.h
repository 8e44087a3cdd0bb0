#pragma once
// Reading and writing BMP pictures, and reducing true-colour pictures to 256 colours.
//
// The reader takes what the classic writers produce: the 12-byte core header, the 40, 52, 56,
// 108 and 124-byte info headers and the 64-byte OS/2 2.x header; 1, 2, 4, 8, 16, 24 and 32 bits
// per pixel; RLE8 and RLE4; bit fields (with or without an alpha mask) for 16 and 32 bits; rows
// stored either way up. A loaded picture keeps the file's palette and row order, and its depth
// except that 2-bit pictures come out as 4 bits (same indexes) and 16-bit ones as 24 bits. Bit
// field channels are scaled to 8 bits by rounding to nearest; alpha is not kept. Damaged files
// are rejected with an EPictureError that says what is wrong; nothing outside the given bytes is
// ever read.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/graphics/Dib.h"

// A picture file (BMP, JPEG, PNG) that cannot be read or written.
class EPictureError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

TDib LoadBmp(const uint8_t* data, size_t size);
TDib LoadBmpFile(const std::string& path);

// bitsPerPixel is 8 or 24. For 8 bits the picture must be palettised or have at most 256
// distinct colours (QuantizeTo8 first otherwise). Rows are written bottom-up.
std::vector<uint8_t> SaveBmp(const TDib& bmp, int bitsPerPixel);
void SaveBmpFile(const TDib& bmp, int bitsPerPixel, const std::string& path);

// An 8-bit palettised copy of a picture of any depth. With at most 256 distinct colours the
// palette holds exactly those, in order of first appearance (rows top to bottom); otherwise a
// median cut picks the palette and each pixel takes its nearest entry. Deterministic.
TDib QuantizeTo8(const TDib& picture);

// Whole-file helpers shared by the picture readers and writers; failures are EPictureError.
std::vector<uint8_t> ReadPictureFile(const std::string& path);
void WritePictureFile(const std::string& path, const std::vector<uint8_t>& bytes);
