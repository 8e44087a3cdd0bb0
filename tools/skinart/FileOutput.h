#pragma once
// Reading and writing the generator's files.
#include <string>

#include "platform/graphics/Dib.h"

namespace SkinArt {

std::string ReadText(const std::string& path);
void WriteText(const std::string& path, const std::string& text);
// Baseline JPEG at quality 90, the same bytes on every run.
void SaveJpegFile(const TDib& picture, const std::string& path);

}  // namespace SkinArt
