#pragma once
// What the fuzz targets share: a private temporary folder that is removed at exit, files
// written into it, and the pictures of a small generated skin folder.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/graphics/BmpFile.h"
#include "platform/graphics/Dib.h"
#include "platform/graphics/JpegFile.h"

// A folder of its own for the whole run of a target. HOME points into it too, so that a
// drive-letter path in fuzzed input ("c:\x.bmp") resolves inside the folder.
class TFuzzFolder {
 public:
  TFuzzFolder() {
    // Memory-backed when there is such a folder: a file rewritten on disk for every input
    // costs milliseconds, in memory microseconds.
    std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string tmpl = base + "/maruk-fuzz-XXXXXX";
    if (!mkdtemp(tmpl.data())) std::abort();
    FPath = tmpl;
    setenv("HOME", FPath.c_str(), 1);
  }
  ~TFuzzFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(FPath, ignored);
  }
  TFuzzFolder(const TFuzzFolder&) = delete;
  TFuzzFolder& operator=(const TFuzzFolder&) = delete;

  const std::string& Path() const { return FPath; }
  std::string Write(const std::string& name, const uint8_t* data, size_t size) const {
    const std::string path = FPath + "/" + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
    return path;
  }
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    return Write(name, bytes.data(), bytes.size());
  }

 private:
  std::string FPath;
};

// A w x h picture of stripes in a few colours, the skin key colour among them.
inline TDib StripedPicture(int w, int h) {
  TDib dib(w, h, 24);
  const COLORREF colours[] = {0xFF00FF, 0x204080, 0xC0C0C0, 0x000000, 0xFFFFFF};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) dib.SetPixel(x, y, colours[(x / 3 + y / 2) % 5]);
  return dib;
}


// The pictures a fuzzed Options.dat or CommonSections list can name: a master bitmap, a
// border of its own, a small texture and a pattern big enough to be one, a damaged BMP and
// a damaged JPEG.
inline void WriteSkinPictures(const TFuzzFolder& folder) {
  folder.Write("Master.bmp", SaveBmp(StripedPicture(96, 64), 24));
  folder.Write("BORDER.BMP", SaveBmp(QuantizeTo8(StripedPicture(30, 20)), 8));
  folder.Write("Small.jpg", SaveJpeg(StripedPicture(16, 16)));
  folder.Write("Big.jpg", SaveJpeg(StripedPicture(300, 300)));
  std::vector<uint8_t> broken = SaveBmp(StripedPicture(8, 8), 24);
  broken.resize(broken.size() / 2);
  folder.Write("Broken.bmp", broken);
  std::vector<uint8_t> brokenJpeg = SaveJpeg(StripedPicture(16, 16));
  brokenJpeg.resize(brokenJpeg.size() / 2);
  folder.Write("Broken.jpg", brokenJpeg);
}

// The lines of a text as a list box or an options file would hold them ("\n" ends a line).
inline std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}
