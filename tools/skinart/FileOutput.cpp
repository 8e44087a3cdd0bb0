#include "tools/skinart/FileOutput.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

#include "platform/graphics/BmpFile.h"

namespace SkinArt {

std::string ReadText(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadPictureFile(path);
  return std::string(bytes.begin(), bytes.end());
}

void WriteText(const std::string& path, const std::string& text) {
  WritePictureFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

void SaveJpegFile(const TDib& picture, const std::string& path) {
  jpeg_compress_struct info{};
  jpeg_error_mgr error{};
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = JDIMENSION(picture.Width());
  info.image_height = JDIMENSION(picture.Height());
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 90, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<uint8_t> row(size_t(picture.Width()) * 3);
  while (info.next_scanline < info.image_height) {
    for (int x = 0; x < picture.Width(); ++x) {
      const COLORREF c = picture.GetPixel(x, int(info.next_scanline));
      row[size_t(x) * 3] = GetRValue(c);
      row[size_t(x) * 3 + 1] = GetGValue(c);
      row[size_t(x) * 3 + 2] = GetBValue(c);
    }
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&info, &r, 1);
  }
  jpeg_finish_compress(&info);
  const std::vector<uint8_t> bytes(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  WritePictureFile(path, bytes);
}

}  // namespace SkinArt
