// The ROM load's reading of a file: the bytes go through a file, as a chosen ROM does, and
// every lane written must hold its bit; rows past the file keep their earlier values.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "viewer/RomFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TFuzzFolder folder;
  static const std::string path = folder.Write("image.rom", nullptr, 0);
  folder.Write("image.rom", data, size);

  TRomFile file;
  if (file.Open(path) != 0) std::abort();
  uint64_t fileSize = 0;
  if (file.Size(fileSize) != 0 || fileSize != size) std::abort();
  std::vector<uint8_t> image(size);
  if (size && file.Read(image.data(), size) != 0) std::abort();
  uint8_t extra = 0;
  if (file.Read(&extra, 1) != 100) std::abort();  // nothing past the end
  if (file.Close() != 0) std::abort();

  // Rows up to the file's end are checked, and the first row past it and row 2048, which
  // must keep the values they had (a whole-table scan per input would dominate the run).
  static TLaneTable table{};
  constexpr int32_t kEarlier = 0x5A5A5A5A;
  const size_t written = size < 2048 ? size : 2048;
  for (size_t r = 0; r <= written; ++r) table[r].fill(kEarlier);
  table[2048].fill(kEarlier);
  SplitIntoLanes(image.data(), image.size(), table);
  for (size_t r = 0; r < written; ++r)
    for (size_t k = 0; k < size_t(kLanes); ++k)
      if (table[r][k] != (((data[r] >> k) & 1) ? -1 : 0)) std::abort();
  for (size_t k = 0; k < size_t(kLanes); ++k)
    if (table[written][k] != kEarlier || table[2048][k] != kEarlier) std::abort();
  return 0;
}
