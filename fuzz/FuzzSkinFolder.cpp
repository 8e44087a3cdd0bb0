// The skin-folder reader as a whole: the input is the folder's Options.dat, beside a master
// bitmap, a border picture, two JPEG patterns and two damaged pictures that it may name.
// Masks in every value form ("!file!..", "@", "^", "~", "#(..)(..)", plain file names),
// patterns and sections with their inherited keys are read; a skin that cannot be read says
// why with ESkinLoadError, and whatever is read keeps to the pictures it was cut from.
#include <cstdint>
#include <cstdlib>

#include "fuzz/FuzzSupport.h"
#include "skin/data/sSkinFolderReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TFuzzFolder folder;
  static const bool pictures = (WriteSkinPictures(folder), true);
  (void)pictures;
  folder.Write("Options.dat", data, size);

  TsSkinArrays arrays;
  TsSkinData info;
  try {
    TsSkinFolderReader(nullptr, folder.Path() + "/").Read(arrays, info);
  } catch (const ESkinLoadError&) {
    return 0;
  }
  for (const TsMaskData& m : arrays.Masks) {
    if (m.Bmp && (m.Bmp->Empty() || m.Bmp->BitsPerPixel() != 24)) std::abort();
  }
  for (const TsPatternData& p : arrays.Patterns)
    if (!p.Img || p.Img->Empty()) std::abort();
  for (const TsGeneralData& s : arrays.Sections)
    for (const TsGradPiece& piece : s.GradientArray)
      if (piece.Percent > 100) std::abort();
  return 0;
}
