#pragma once
// Skin folders for tests: a temporary folder that removes itself, and writers for the files
// a skin folder holds (options text, BMP and JPEG pictures).
#include <jpeglib.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/graphics/BmpFile.h"
#include "platform/graphics/Dib.h"

class TTempFolder {
 public:
  TTempFolder() {
    char tmpl[] = "/tmp/skin-folder-test-XXXXXX";
    FPath = mkdtemp(tmpl);
  }
  ~TTempFolder() { std::filesystem::remove_all(FPath); }
  const std::string& Path() const { return FPath; }
  // Creates the folders on the way; returns the file's path.
  std::string Write(const std::string& relative, const std::string& text) const {
    const std::string path = FPath + "/" + relative;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

 private:
  std::string FPath;
};

// A w x h BMP of one colour with the pixel (0, 0) set to `corner`.
inline std::string WriteBmp(const TTempFolder& folder, const std::string& relative, int w, int h,
                            COLORREF colour = RGB(40, 80, 120), COLORREF corner = RGB(1, 2, 3)) {
  TDib dib(w, h, 24);
  dib.Fill(colour);
  dib.SetPixel(0, 0, corner);
  const std::string path = folder.Write(relative, "");
  SaveBmpFile(dib, 24, path);
  return path;
}

inline std::vector<uint8_t> JpegBytes(int w, int h, COLORREF colour = RGB(200, 120, 40)) {
  jpeg_compress_struct info{};
  jpeg_error_mgr error{};
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = JDIMENSION(w);
  info.image_height = JDIMENSION(h);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<uint8_t> row(size_t(w) * 3);
  for (int x = 0; x < w; ++x) {
    row[size_t(x) * 3] = GetRValue(colour);
    row[size_t(x) * 3 + 1] = GetGValue(colour);
    row[size_t(x) * 3 + 2] = GetBValue(colour);
  }
  while (info.next_scanline < info.image_height) {
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&info, &r, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<uint8_t> bytes(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  free(buffer);
  return bytes;
}

inline std::string WriteBytes(const TTempFolder& folder, const std::string& relative, const std::vector<uint8_t>& bytes) {
  return folder.Write(relative, std::string(bytes.begin(), bytes.end()));
}
