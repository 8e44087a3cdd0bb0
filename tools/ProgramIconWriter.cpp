// Writes the program's icon for the desktop's icon theme as PNG files with transparency:
//   program_icon OUTPUT-DIR
// makes OUTPUT-DIR/hicolor/<N>x<N>/apps/org.maruk.RomViewer.png for N = 16, 32, 48 and 128,
// drawn by ProgramIconPicture. Sizes from 32 up are drawn four times larger and reduced, so
// that the tile's rounded outline is smooth; 16 keeps the picture's own pixels.
#include <sys/stat.h>

#include <cstdio>
#include <exception>
#include <string>

#include "platform/graphics/PngFile.h"
#include "viewer/ProgramIcon.h"

namespace {

constexpr COLORREF kKey = 0xFF00FF;

void MakeDirectories(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
    mkdir(path.substr(0, slash).c_str(), 0755);
  mkdir(path.c_str(), 0755);
}

// The picture at `size` with the key colour as transparency, averaged from `factor` x `factor`
// samples per pixel (colour over the opaque samples, opacity from their share).
TDib IconWithAlpha(int size, int factor) {
  const TDib big = ProgramIconPicture(size * factor);
  TDib out(size, size, 32);
  for (int y = 0; y < size; ++y) {
    uint8_t* row = out.ScanLine(y);
    for (int x = 0; x < size; ++x) {
      int r = 0, g = 0, b = 0, opaque = 0;
      for (int sy = 0; sy < factor; ++sy)
        for (int sx = 0; sx < factor; ++sx) {
          const COLORREF c = big.GetPixel(x * factor + sx, y * factor + sy);
          if (c == kKey) continue;
          r += GetRValue(c);
          g += GetGValue(c);
          b += GetBValue(c);
          ++opaque;
        }
      uint8_t* p = row + 4 * x;
      if (opaque == 0) {
        p[0] = p[1] = p[2] = p[3] = 0;
        continue;
      }
      p[0] = uint8_t((b + opaque / 2) / opaque);
      p[1] = uint8_t((g + opaque / 2) / opaque);
      p[2] = uint8_t((r + opaque / 2) / opaque);
      p[3] = uint8_t((opaque * 255 + factor * factor / 2) / (factor * factor));
    }
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: program_icon OUTPUT-DIR\n");
    return 2;
  }
  try {
    for (int size : {16, 32, 48, 128}) {
      const std::string dir = std::string(argv[1]) + "/hicolor/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
      MakeDirectories(dir);
      WritePictureFile(dir + "/org.maruk.RomViewer.png", SavePngWithAlpha(IconWithAlpha(size, size >= 32 ? 4 : 1)));
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "program_icon: %s\n", e.what());
    return 1;
  }
  return 0;
}
