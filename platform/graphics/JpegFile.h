#pragma once
// Reading JPEG pictures into 24-bit bitmaps, and writing them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/graphics/BmpFile.h"
#include "platform/graphics/Dib.h"

// Decodes to a 24-bit top-down picture; grayscale, CMYK and YCCK pictures come out as RGB.
// Damaged or truncated data, pictures past the TDib limits and progressive streams of more than
// 100 scans throw EPictureError; the size and the scans are checked before decoding starts.
TDib LoadJpeg(const uint8_t* data, size_t size);
TDib LoadJpegFile(const std::string& path);

// A baseline 8-bit RGB JPEG of a picture of any depth at `quality` (1 to 100; libjpeg's own
// default is 75). An empty picture or a quality out of range throws EPictureError.
std::vector<uint8_t> SaveJpeg(const TDib& picture, int quality = 75);
void SaveJpegFile(const TDib& picture, const std::string& path, int quality = 75);
