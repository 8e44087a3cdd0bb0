// Writes the program's icon for the desktop's icon theme as PNG files with transparency:
//   program_icon OUTPUT-DIR
// makes OUTPUT-DIR/hicolor/<N>x<N>/apps/org.maruk.RomViewer.png for N = 16, 32, 48 and 128,
// drawn by ProgramIconWithAlpha;
//   program_icon --source FILE.cpp
// writes the 16 and 32 pixel icons as the C++ source of StoredProgramIcon, which the program
// gives the window manager without drawing them at every start.
#include <sys/stat.h>

#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

#include "platform/graphics/PngFile.h"
#include "viewer/ProgramIcon.h"

namespace {

void MakeDirectories(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
    mkdir(path.substr(0, slash).c_str(), 0755);
  mkdir(path.c_str(), 0755);
}

bool WriteSource(const std::string& path) {
  std::ofstream out(path);
  out << "// Written by tools/program_icon --source: the program's icon at 16 and 32 pixels.\n"
         "#include <cstring>\n\n#include \"viewer/ProgramIcon.h\"\n\nnamespace {\n";
  for (int size : {16, 32}) {
    const TDib icon = ProgramIconWithAlpha(size);
    out << "const unsigned char kIcon" << size << "[] = {";
    for (int y = 0; y < size; ++y)
      for (int i = 0; i < size * 4; ++i) out << (i % 24 == 0 ? "\n    " : " ") << int(icon.ScanLine(y)[i]) << ",";
    out << "};\n";
  }
  out << "}  // namespace\n\n"
         "TDib StoredProgramIcon(int size) {\n"
         "  const unsigned char* rows = size == 16 ? kIcon16 : size == 32 ? kIcon32 : nullptr;\n"
         "  if (!rows) return ProgramIconWithAlpha(size);\n"
         "  TDib icon(size, size, 32);\n"
         "  for (int y = 0; y < size; ++y) std::memcpy(icon.ScanLine(y), rows + y * size * 4, size_t(size) * 4);\n"
         "  return icon;\n"
         "}\n";
  return bool(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--source") {
    if (WriteSource(argv[2])) return 0;
    std::fprintf(stderr, "program_icon: cannot write %s\n", argv[2]);
    return 1;
  }
  if (argc != 2) {
    std::fprintf(stderr, "usage: program_icon OUTPUT-DIR | program_icon --source FILE.cpp\n");
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
