// The BMP reader over any bytes; a picture it accepts must come back unchanged through the
// writer, pixel for pixel.
#include <cstdint>
#include <cstdlib>

#include "platform/graphics/BmpFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TDib picture;
  try {
    picture = LoadBmp(data, size);
  } catch (const EPictureError&) {
    return 0;
  }
  if (picture.Width() < 0 || picture.Height() < 0) std::abort();
  if (picture.Empty() || int64_t(picture.Width()) * picture.Height() > 65536) return 0;
  const std::vector<uint8_t> saved = SaveBmp(picture, 24);
  const TDib copy = LoadBmp(saved.data(), saved.size());
  if (copy.Width() != picture.Width() || copy.Height() != picture.Height()) std::abort();
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x)
      if ((copy.GetPixel(x, y) & 0xFFFFFF) != (picture.GetPixel(x, y) & 0xFFFFFF)) std::abort();
  return 0;
}
