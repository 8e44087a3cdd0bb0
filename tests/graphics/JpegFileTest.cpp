#include "platform/graphics/JpegFile.h"
#include "platform/graphics/PngFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace {

// Encodes a picture with libjpeg, no chroma subsampling; pixel(x, y) gives the stored components.
std::vector<uint8_t> EncodeJpeg(int width, int height, int components, J_COLOR_SPACE space,
                                const std::function<std::vector<uint8_t>(int, int)>& pixel,
                                bool progressive = false) {
  jpeg_compress_struct info;
  jpeg_error_mgr error;
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = JDIMENSION(width);
  info.image_height = JDIMENSION(height);
  info.input_components = components;
  info.in_color_space = space;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 95, TRUE);
  for (int i = 0; i < info.num_components; ++i) info.comp_info[i].h_samp_factor = info.comp_info[i].v_samp_factor = 1;
  if (progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<uint8_t> row(size_t(width) * components);
  while (info.next_scanline < info.image_height) {
    for (int x = 0; x < width; ++x) {
      const std::vector<uint8_t> p = pixel(x, int(info.next_scanline));
      std::copy(p.begin(), p.end(), row.begin() + x * components);
    }
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&info, &r, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<uint8_t> out(buffer, buffer + size);
  std::free(buffer);
  jpeg_destroy_compress(&info);
  return out;
}

// Flat 8 x 8 blocks, so the decoded colours stay close to the source.
COLORREF BlockColour(int x, int y) {
  const int bx = x / 8, by = y / 8;
  return RGB(bx * 70, 255 - by * 80, (bx * by * 50) & 0xFF);
}

std::vector<uint8_t> ColourJpeg(int width = 32, int height = 24, bool progressive = false) {
  return EncodeJpeg(
      width, height, 3, JCS_RGB,
      [](int x, int y) {
        const COLORREF c = BlockColour(x, y);
        return std::vector<uint8_t>{GetRValue(c), GetGValue(c), GetBValue(c)};
      },
      progressive);
}

void ExpectNear(COLORREF actual, COLORREF expected, int tolerance, int x, int y) {
  EXPECT_NEAR(GetRValue(actual), GetRValue(expected), tolerance) << "red at " << x << "," << y;
  EXPECT_NEAR(GetGValue(actual), GetGValue(expected), tolerance) << "green at " << x << "," << y;
  EXPECT_NEAR(GetBValue(actual), GetBValue(expected), tolerance) << "blue at " << x << "," << y;
}

template <typename F>
void ExpectError(F load, const std::string& fragment) {
  try {
    load();
    ADD_FAILURE() << "accepted; expected an error containing '" << fragment << "'";
  } catch (const EPictureError& e) {
    EXPECT_NE(std::string(e.what()).find(fragment), std::string::npos) << e.what();
  }
}

void ExpectJpegError(const std::vector<uint8_t>& bytes, const std::string& fragment) {
  ExpectError([&] { LoadJpeg(bytes.data(), bytes.size()); }, fragment);
}

}  // namespace

TEST(JpegFileDecode, ColourPicture) {
  const std::vector<uint8_t> bytes = ColourJpeg();
  const TDib dib = LoadJpeg(bytes.data(), bytes.size());
  ASSERT_EQ(dib.Width(), 32);
  ASSERT_EQ(dib.Height(), 24);
  EXPECT_EQ(dib.BitsPerPixel(), 24);
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 32; ++x) ExpectNear(dib.GetPixel(x, y), BlockColour(x, y), 6, x, y);
}

TEST(JpegFileDecode, GrayscaleAndCmykBecomeRgb) {
  const std::vector<uint8_t> gray =
      EncodeJpeg(16, 16, 1, JCS_GRAYSCALE, [](int x, int y) { return std::vector<uint8_t>{uint8_t(x / 8 * 100 + y / 8 * 50)}; });
  const TDib g = LoadJpeg(gray.data(), gray.size());
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const int level = x / 8 * 100 + y / 8 * 50;
      ExpectNear(g.GetPixel(x, y), RGB(level, level, level), 3, x, y);
    }

  // Written with an Adobe marker, so the stored inks are inverted: 255 means no ink.
  const std::vector<uint8_t> cmyk = EncodeJpeg(16, 8, 4, JCS_CMYK, [](int x, int) {
    return x < 8 ? std::vector<uint8_t>{255, 0, 0, 255}     // magenta + yellow: red
                 : std::vector<uint8_t>{255, 255, 0, 128};  // yellow at half black
  });
  const TDib c = LoadJpeg(cmyk.data(), cmyk.size());
  ExpectNear(c.GetPixel(3, 3), RGB(255, 0, 0), 6, 3, 3);
  ExpectNear(c.GetPixel(12, 3), RGB(128, 128, 0), 6, 12, 3);
}

TEST(JpegFileReject, DamagedData) {
  const std::vector<uint8_t> good = ColourJpeg(64, 48);
  for (size_t keep : {size_t(30), good.size() / 2, good.size() * 9 / 10, good.size() - 2})
    ExpectJpegError(std::vector<uint8_t>(good.begin(), good.begin() + keep), "JPEG data is truncated");

  const std::string gif = "GIF89a, not a JPEG at all";
  ExpectJpegError(std::vector<uint8_t>(gif.begin(), gif.end()), "JPEG data is invalid");
  ExpectJpegError({}, "empty");

  size_t sof = 0;
  while (sof + 1 < good.size() && !(good[sof] == 0xFF && good[sof + 1] == 0xC0)) ++sof;
  ASSERT_LT(sof + 9, good.size());
  for (unsigned side : {60000u, 30000u}) {
    std::vector<uint8_t> huge = good;
    for (size_t at : {sof + 5, sof + 7}) {
      huge[at] = uint8_t(side >> 8);
      huge[at + 1] = uint8_t(side);
    }
    ExpectJpegError(huge, "too large");
  }
}

namespace {

size_t CountScanMarkers(const std::vector<uint8_t>& jpeg) {
  size_t count = 0;
  for (size_t i = 0; i + 1 < jpeg.size(); ++i) count += jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA;
  return count;
}

// The stream with its last scan (the last FF DA up to the end marker; entropy-coded data never
// holds FF DA) repeated `extra` more times.
std::vector<uint8_t> RepeatLastScan(const std::vector<uint8_t>& jpeg, int extra) {
  size_t sos = 0;
  for (size_t i = 0; i + 1 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) sos = i;
  std::vector<uint8_t> out(jpeg.begin(), jpeg.end() - 2);
  for (int i = 0; i < extra; ++i) out.insert(out.end(), jpeg.begin() + sos, jpeg.end() - 2);
  out.insert(out.end(), {0xFF, 0xD9});
  return out;
}

void ExpectBlockColours(const std::vector<uint8_t>& bytes) {
  const TDib dib = LoadJpeg(bytes.data(), bytes.size());
  ASSERT_EQ(dib.Width(), 32);
  ASSERT_EQ(dib.Height(), 24);
  for (int y = 0; y < 24; y += 5)
    for (int x = 0; x < 32; x += 5) ExpectNear(dib.GetPixel(x, y), BlockColour(x, y), 6, x, y);
}

}  // namespace

TEST(JpegFileReject, RepeatedScans) {
  // Flat blocks have no AC coefficients, so repeating the last refinement scan changes nothing.
  const std::vector<uint8_t> progressive = ColourJpeg(32, 24, true);
  ASSERT_EQ(CountScanMarkers(progressive), 10u);  // libjpeg's script for three components
  ExpectBlockColours(progressive);
  ExpectBlockColours(RepeatLastScan(progressive, 90));  // 100 scans: the most allowed
  ExpectJpegError(RepeatLastScan(progressive, 91), "too many scans (more than 100)");
  ExpectJpegError(RepeatLastScan(progressive, 1000), "too many scans (more than 100)");

  // Marker-like bytes inside a segment (an application block, a thumbnail) are not scans.
  std::vector<uint8_t> padded(progressive.begin(), progressive.begin() + 2);
  const std::vector<uint8_t> fakeScan = {0xFF, 0xDA, 0x00, 0x02};
  padded.insert(padded.end(), {0xFF, 0xEF, 0x03, 0x22});  // APP15, 2 + 200 * 4 bytes
  for (int i = 0; i < 200; ++i) padded.insert(padded.end(), fakeScan.begin(), fakeScan.end());
  padded.insert(padded.end(), progressive.begin() + 2, progressive.end());
  ExpectBlockColours(padded);
}

TEST(JpegFileReject, SizeIsCheckedBeforeDecoding) {
  // 4097 x 4096 is one row of 4097 pixels over the 16 Mpixel limit; the data is for 64 x 48.
  std::vector<uint8_t> huge = ColourJpeg(64, 48);
  size_t sof = 0;
  while (sof + 1 < huge.size() && !(huge[sof] == 0xFF && huge[sof + 1] == 0xC0)) ++sof;
  ASSERT_LT(sof + 9, huge.size());
  huge[sof + 5] = 0x10;  // height 4096
  huge[sof + 6] = 0x00;
  huge[sof + 7] = 0x10;  // width 4097
  huge[sof + 8] = 0x01;
  ExpectJpegError(huge, "JPEG picture is too large: 4097 x 4096 pixels");
  huge[sof + 5] = 0x00;  // height 16, width 16385: too long a side
  huge[sof + 6] = 0x10;
  huge[sof + 7] = 0x40;
  huge[sof + 8] = 0x01;
  ExpectJpegError(huge, "JPEG picture is too large: 16385 x 16 pixels");
}

// The writer takes pictures of any depth; read back, flat 8 x 8 blocks keep their colours away
// from their edges (the colour planes are stored at half resolution), and a
// lower quality gives a smaller file. Empty pictures and qualities out of range are refused.
TEST(JpegFileEncode, WritesWhatTheReaderReadsBack) {
  for (const int depth : {8, 24, 32}) {
    SCOPED_TRACE("depth " + std::to_string(depth));
    TDib picture(40, 16, depth);
    if (depth == 8) {
      // A palette picture: entry 1 on the left 16 columns, entry 2 on the rest.
      picture.Palette() = {RGB(0, 0, 0), RGB(40, 40, 40), RGB(200, 200, 200)};
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 40; ++x) picture.SetPixel(x, y, x < 16 ? 1 : 2);
    } else {
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 40; ++x) picture.SetPixel(x, y, BlockColour(x, y));
    }
    const std::vector<uint8_t> bytes = SaveJpeg(picture, 95);
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xD8);
    const TDib back = LoadJpeg(bytes.data(), bytes.size());
    ASSERT_EQ(back.Width(), 40);
    ASSERT_EQ(back.Height(), 16);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 40; ++x) {
        if (x % 8 < 2 || x % 8 > 5 || y % 8 < 2 || y % 8 > 5) continue;
        const COLORREF want = depth == 8 ? (x < 16 ? RGB(40, 40, 40) : RGB(200, 200, 200)) : BlockColour(x, y);
        ExpectNear(back.GetPixel(x, y), want, 8, x, y);
      }
  }
  TDib noisy(64, 64, 24);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) noisy.SetPixel(x, y, RGB((x * 37 + y * 11) & 0xFF, (x * y) & 0xFF, (x ^ y) * 4 & 0xFF));
  EXPECT_LT(SaveJpeg(noisy, 20).size(), SaveJpeg(noisy, 95).size());

  ExpectError([] { SaveJpeg(TDib()); }, "empty picture");
  ExpectError([&] { SaveJpeg(noisy, 0); }, "quality must be 1 to 100, not 0");
  ExpectError([&] { SaveJpeg(noisy, 101); }, "not 101");
  ExpectError([&] { SaveJpegFile(noisy, "/nonexistent-folder/x.jpg"); }, "/nonexistent-folder/x.jpg");
}

TEST(PngFile, RoundTripsExactly) {
  for (bool bottomUp : {false, true}) {
    TDib picture(7, 5, 24, bottomUp);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 7; ++x) picture.SetPixel(x, y, RGB(x * 30, y * 50, (x * y * 11) & 0xFF));
    const std::vector<uint8_t> bytes = SavePng(picture);
    ASSERT_GT(bytes.size(), 8u);
    EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 4), "PNG");
    const TDib back = LoadPng(bytes.data(), bytes.size());
    EXPECT_EQ(back.BitsPerPixel(), 24);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 7; ++x) ASSERT_EQ(back.GetPixel(x, y), picture.GetPixel(x, y)) << x << "," << y;
  }

  TDib indexed(9, 3, 4, true);
  indexed.Palette() = {RGB(1, 2, 3), RGB(250, 0, 10), RGB(0, 128, 255)};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 9; ++x) indexed.SetPixel(x, y, uint32_t(x + y) % 3);
  const std::vector<uint8_t> bytes = SavePng(indexed);
  const TDib back = LoadPng(bytes.data(), bytes.size());
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 9; ++x) ASSERT_EQ(back.GetPixel(x, y), indexed.GetPixel(x, y)) << x << "," << y;
}

TEST(PngFile, RejectsBadData) {
  TDib picture(40, 30, 24);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) picture.SetPixel(x, y, RGB(x * 6, y * 8, x ^ y));
  const std::vector<uint8_t> good = SavePng(picture);
  const std::vector<uint8_t> half(good.begin(), good.begin() + good.size() / 2);
  ExpectError([&] { LoadPng(half.data(), half.size()); }, "PNG data is invalid");
  const std::vector<uint8_t> garbage(100, 0x42);
  ExpectError([&] { LoadPng(garbage.data(), garbage.size()); }, "PNG data is invalid");
  ExpectError([] { SavePng(TDib()); }, "empty");
}
