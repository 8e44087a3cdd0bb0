#include "platform/graphics/PngFile.h"

#include <png.h>

#include <cstring>

namespace {

// The simplified libpng interface keeps its own state in image.opaque; this frees it on every path.
struct TPngImage {
  png_image Image;
  TPngImage() {
    std::memset(&Image, 0, sizeof Image);
    Image.version = PNG_IMAGE_VERSION;
  }
  ~TPngImage() { png_image_free(&Image); }
  TPngImage(const TPngImage&) = delete;
  TPngImage& operator=(const TPngImage&) = delete;
};

}  // namespace

std::vector<uint8_t> SavePng(const TDib& bmp) {
  if (bmp.Empty()) throw EPictureError("cannot write an empty picture as PNG");
  TDib converted;
  const TDib* src = &bmp;
  if (bmp.BitsPerPixel() != 24) {
    converted = bmp.As24();
    src = &converted;
  }
  TPngImage png;
  png.Image.width = png_uint_32(src->Width());
  png.Image.height = png_uint_32(src->Height());
  png.Image.format = PNG_FORMAT_BGR;
  // One byte per component, so the stride is the row distance in bytes; libpng takes a negative
  // one as bottom-up rows starting at the buffer.
  const png_int_32 stride = src->RowDistance();
  png_alloc_size_t size = PNG_IMAGE_PNG_SIZE_MAX(png.Image);
  std::vector<uint8_t> out(size);
  if (!png_image_write_to_memory(&png.Image, out.data(), &size, 0, src->Bits(), stride, nullptr))
    throw EPictureError(std::string("cannot encode PNG: ") + png.Image.message);
  out.resize(size);
  return out;
}

void SavePngFile(const TDib& bmp, const std::string& path) { WritePictureFile(path, SavePng(bmp)); }

std::vector<uint8_t> SavePngWithAlpha(const TDib& bgra) {
  if (bgra.Empty() || bgra.BitsPerPixel() != 32) throw EPictureError("a PNG with alpha needs a 32-bit picture");
  TPngImage png;
  png.Image.width = png_uint_32(bgra.Width());
  png.Image.height = png_uint_32(bgra.Height());
  png.Image.format = PNG_FORMAT_BGRA;
  png_alloc_size_t size = PNG_IMAGE_PNG_SIZE_MAX(png.Image);
  std::vector<uint8_t> out(size);
  if (!png_image_write_to_memory(&png.Image, out.data(), &size, 0, bgra.Bits(), bgra.RowDistance(), nullptr))
    throw EPictureError(std::string("cannot encode PNG: ") + png.Image.message);
  out.resize(size);
  return out;
}

namespace {

TDib DecodePng(const uint8_t* data, size_t size, bool alpha) {
  if (data == nullptr || size == 0) throw EPictureError("PNG data is empty");
  TPngImage png;
  if (!png_image_begin_read_from_memory(&png.Image, data, size))
    throw EPictureError(std::string("PNG data is invalid: ") + png.Image.message);
  const int64_t width = png.Image.width, height = png.Image.height;
  if (width > TDib::kMaxSide || height > TDib::kMaxSide || width * height > TDib::kMaxPixels)
    throw EPictureError("PNG picture is too large: " + std::to_string(width) + " x " + std::to_string(height) +
                        " pixels");
  png.Image.format = alpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
  TDib dib(int(width), int(height), alpha ? 32 : 24);
  if (!png_image_finish_read(&png.Image, nullptr, dib.Bits(), dib.RowBytes(), nullptr))
    throw EPictureError(std::string("PNG data is invalid: ") + png.Image.message);
  return dib;
}

}  // namespace

TDib LoadPng(const uint8_t* data, size_t size) { return DecodePng(data, size, false); }

TDib LoadPngWithAlpha(const uint8_t* data, size_t size) { return DecodePng(data, size, true); }
