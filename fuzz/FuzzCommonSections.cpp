// The merge of CommonSections into a loaded skin: the input's lines are the list, merged into
// arrays that already hold a section (and, when the first byte is odd, a master bitmap).
// Every section of the list adds one record after the skin's own.
#include <cstdint>
#include <cstdlib>

#include "fuzz/FuzzSupport.h"
#include "skin/data/sCommonSections.h"
#include "skin/data/sSkinFolderReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TFuzzFolder folder;
  static const bool pictures = (WriteSkinPictures(folder), true);
  static const TDib master = StripedPicture(96, 64);
  (void)pictures;
  if (size == 0) return 0;

  TsSkinArrays arrays;
  TsGeneralData own;
  own.SectionName = "BUTTON";
  own.Color = 0x123456;
  arrays.Sections.push_back(own);
  if (data[0] & 1) arrays.MasterBitmap = std::make_unique<TDib>(master);
  const std::vector<std::string> lines =
      SplitLines(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  try {
    MergeCommonSections(lines, nullptr, folder.Path() + "/", arrays);
  } catch (const ESkinLoadError&) {
    return 0;
  }
  const size_t added = SplitSections(lines).size();
  if (arrays.Sections.size() != 1 + added) std::abort();
  if (arrays.Sections[0].SectionName != "BUTTON" || arrays.Sections[0].Color != 0x123456) std::abort();
  return 0;
}
