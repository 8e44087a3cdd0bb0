// Writes the program's icon for the desktop's icon theme as PNG files with transparency:
//   program_icon OUTPUT-DIR
// makes OUTPUT-DIR/hicolor/<N>x<N>/apps/org.maruk.RomViewer.png for N = 16, 32, 48 and 128,
// drawn by ProgramIconWithAlpha.
#include <sys/stat.h>

#include <cstdio>
#include <exception>
#include <string>

#include "platform/graphics/PngFile.h"
#include "viewer/ProgramIcon.h"

namespace {

void MakeDirectories(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
    mkdir(path.substr(0, slash).c_str(), 0755);
  mkdir(path.c_str(), 0755);
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
      WritePictureFile(dir + "/org.maruk.RomViewer.png", SavePngWithAlpha(ProgramIconWithAlpha(size)));
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "program_icon: %s\n", e.what());
    return 1;
  }
  return 0;
}
