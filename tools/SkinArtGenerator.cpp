// Generator of the program's internal skin "BlueGlass (internal)" and of the skin folders
// that ship with it ("Graphite" and "Amber", assets/skins/).
//
//   skin_art <repo-root> [--contact-sheet sheet.png] [--preview preview.png]
//
// Every skin is a table of colours (skinart/BlueGlass.cpp, Graphite.cpp, Amber.cpp) drawn by
// the same painters into the same masks (skinart/MaskTable.cpp). For the internal skin it
// draws the master bitmap (assets/skin/BlueGlass.bmp, 304 x 260, 8 bits) and the separately
// carried big button (assets/skin/BTN_HUGE.BMP, 288 x 192, 8 bits), and writes the skin's
// stored form between the lines "// skin begin" and "// skin end" of assets/Maruk_rom.layout,
// so rectangles and pictures always agree. Nothing but these tables decides the output: every
// run writes the same bytes.
//
// The contact sheet shows every mask at four times its size with its section and property;
// the preview lays the masks over the form's texture the way the painters do, at two times.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "tools/skinart/BlueGlass.h"
#include "tools/skinart/ContactSheet.h"
#include "tools/skinart/FolderSkin.h"
#include "tools/skinart/MaskTable.h"
#include "tools/skinart/Preview.h"
#include "tools/skinart/SkinFolderWriter.h"
#include "tools/skinart/StoredSkinWriter.h"
#include "tools/skinart/TableCheck.h"

namespace {

using namespace SkinArt;

int Run(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: skin_art <repo-root> [--contact-sheet out.png] [--preview out.png]\n");
    return 2;
  }
  const std::string root = argv[1];
  std::string sheetPath, previewPath;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--contact-sheet" && i + 1 < argc) sheetPath = argv[++i];
    else if (arg == "--preview" && i + 1 < argc) previewPath = argv[++i];
    else {
      std::fprintf(stderr, "skin_art: unknown argument '%s'\n", arg.c_str());
      return 2;
    }
  }
  const std::vector<TSection> sections = BlueGlassSections();
  const std::vector<TMask> masks = Masks(BlueGlassColours());
  CheckTables(sections, masks);
  const TPictures pictures = WriteStoredSkin(root, sections, masks);

  for (const TFolderSkin& skin : {GraphiteSkin(), AmberSkin()}) WriteFolderSkin(root, skin, sections);

  if (!sheetPath.empty()) RenderContactSheet(pictures, masks, sheetPath);
  if (!previewPath.empty()) RenderPreview(pictures, masks, previewPath);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "skin_art: %s\n", e.what());
    return 1;
  }
}
