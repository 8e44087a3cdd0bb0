#include "tools/skinart/FileOutput.h"

#include <cstdint>
#include <vector>

#include "platform/graphics/BmpFile.h"
#include "platform/graphics/JpegFile.h"

namespace SkinArt {

std::string ReadText(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadPictureFile(path);
  return std::string(bytes.begin(), bytes.end());
}

void WriteText(const std::string& path, const std::string& text) {
  WritePictureFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

void SaveJpegFile(const TDib& picture, const std::string& path) { ::SaveJpegFile(picture, path, 90); }

}  // namespace SkinArt
