#pragma once
// Writing (and reading back) PNG pictures; used for screenshots.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/graphics/BmpFile.h"
#include "platform/graphics/Dib.h"

// An 8-bit RGB PNG of a picture of any depth. An empty picture throws EPictureError.
std::vector<uint8_t> SavePng(const TDib& bmp);
void SavePngFile(const TDib& bmp, const std::string& path);
// An 8-bit RGBA PNG of a 32-bit picture whose fourth byte of each pixel is its opacity
// (0 transparent, 255 opaque). Throws EPictureError for another depth or an empty picture.
std::vector<uint8_t> SavePngWithAlpha(const TDib& bgra);

// Decodes any PNG to a 24-bit top-down picture; transparent pixels are laid over black.
TDib LoadPng(const uint8_t* data, size_t size);
// Decodes any PNG to a 32-bit top-down picture whose fourth byte of each pixel is its opacity.
TDib LoadPngWithAlpha(const uint8_t* data, size_t size);
