#pragma once
// Reading JPEG pictures into 24-bit bitmaps.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/graphics/BmpFile.h"
#include "platform/graphics/Dib.h"

// Decodes to a 24-bit top-down picture; grayscale, CMYK and YCCK pictures come out as RGB.
// Damaged or truncated data, pictures past the TDib limits and progressive streams of more than
// 100 scans throw EPictureError; the size and the scans are checked before decoding starts.
TDib LoadJpeg(const uint8_t* data, size_t size);
TDib LoadJpegFile(const std::string& path);
