// The JPEG reader over any bytes: a clear error or a 24-bit picture within the limits.
#include <cstdint>
#include <cstdlib>

#include "platform/graphics/JpegFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const TDib picture = LoadJpeg(data, size);
    if (picture.BitsPerPixel() != 24 || picture.Empty()) std::abort();
    if (int64_t(picture.Width()) * picture.Height() > TDib::kMaxPixels) std::abort();
  } catch (const EPictureError&) {
  }
  return 0;
}
