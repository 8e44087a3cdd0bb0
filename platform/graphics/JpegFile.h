#pragma once
// Reading JPEG pictures into 24-bit bitmaps.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/graphics/BmpFile.h"
#include "platform/graphics/Dib.h"

// Decodes to a 24-bit top-down picture; grayscale, CMYK and YCCK pictures come out as RGB.
// Damaged or truncated data and pictures past the TDib limits throw EPictureError.
TDib LoadJpeg(const uint8_t* data, size_t size);
TDib LoadJpegFile(const std::string& path);
