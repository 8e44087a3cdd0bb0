#include "platform/graphics/BmpFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
void Set32(std::vector<uint8_t>& bytes, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = uint8_t(v >> (8 * i));
}

// A BMP file put together by hand, field by field.
struct TBmpBytes {
  int Width = 4;
  int Height = 2;  // negative: top-down rows
  int Bits = 8;
  uint32_t Compression = 0;
  uint32_t HeaderSize = 40;
  std::vector<COLORREF> Palette;
  int ClrUsed = -1;  // -1: the palette's size
  std::vector<uint32_t> Masks;
  std::vector<uint8_t> Pixels;  // as stored
  size_t Gap = 0;               // junk between the colour table and the pixels

  std::vector<uint8_t> Build() const {
    const bool core = HeaderSize == 12;
    const size_t masks = HeaderSize == 40 ? Masks.size() * 4 : 0;
    const size_t offBits = 14 + HeaderSize + masks + Palette.size() * (core ? 3 : 4) + Gap;
    std::vector<uint8_t> out{'B', 'M'};
    Put32(out, uint32_t(offBits + Pixels.size()));
    Put32(out, 0);
    Put32(out, uint32_t(offBits));
    Put32(out, HeaderSize);
    if (core) {
      Put16(out, uint32_t(Width));
      Put16(out, uint32_t(Height));
      Put16(out, 1);
      Put16(out, uint32_t(Bits));
    } else {
      for (uint32_t v : {uint32_t(Width), uint32_t(Height)}) Put32(out, v);
      Put16(out, 1);
      Put16(out, uint32_t(Bits));
      Put32(out, Compression);
      Put32(out, uint32_t(Pixels.size()));
      Put32(out, 0);
      Put32(out, 0);
      Put32(out, ClrUsed < 0 ? uint32_t(Palette.size()) : uint32_t(ClrUsed));
      Put32(out, 0);
      for (uint32_t m : Masks) Put32(out, m);
      out.resize(14 + HeaderSize + masks, 0);
    }
    for (COLORREF c : Palette) {
      out.insert(out.end(), {GetBValue(c), GetGValue(c), GetRValue(c)});
      if (!core) out.push_back(0);
    }
    out.resize(out.size() + Gap, 0xEE);
    out.insert(out.end(), Pixels.begin(), Pixels.end());
    return out;
  }
};

// The test picture: palette indexes for 1/4/8 bits, colours otherwise.
uint32_t Value(int x, int y, int bits) {
  if (bits <= 8) return uint32_t(x * 3 + y * 7) % (1u << bits);
  return RGB(x * 20, y * 30, x * y + 5);
}

std::vector<COLORREF> TestPalette(int count) {
  std::vector<COLORREF> palette;
  for (int i = 0; i < count; ++i) palette.push_back(RGB(i, 255 - i, (i * 37) & 0xFF));
  return palette;
}

// Rows of Value() in file order, padded to 4 bytes.
std::vector<uint8_t> StoredRows(int width, int height, int bits) {
  const int rows = std::abs(height);
  const size_t rowBytes = ((size_t(width) * bits + 31) / 32) * 4;
  std::vector<uint8_t> out(rowBytes * rows, 0);
  for (int r = 0; r < rows; ++r) {
    const int y = height > 0 ? rows - 1 - r : r;
    uint8_t* row = out.data() + r * rowBytes;
    for (int x = 0; x < width; ++x) {
      const uint32_t v = Value(x, y, bits);
      if (bits == 1) row[x / 8] |= uint8_t(v << (7 - x % 8));
      if (bits == 4) row[x / 2] |= uint8_t(v << (x % 2 ? 0 : 4));
      if (bits == 8) row[x] = uint8_t(v);
      if (bits >= 24) {
        uint8_t* p = row + x * (bits / 8);
        p[0] = GetBValue(v);
        p[1] = GetGValue(v);
        p[2] = GetRValue(v);
      }
    }
  }
  return out;
}

TBmpBytes TestFile(int width, int height, int bits) {
  TBmpBytes f;
  f.Width = width;
  f.Height = height;
  f.Bits = bits;
  if (bits <= 8) f.Palette = TestPalette(1 << bits);
  f.Pixels = StoredRows(width, height, bits);
  return f;
}

void ExpectTestPicture(const TDib& dib, int width, int height, int bits) {
  ASSERT_EQ(dib.Width(), width);
  ASSERT_EQ(dib.Height(), std::abs(height));
  for (int y = 0; y < dib.Height(); ++y)
    for (int x = 0; x < width; ++x) {
      if (bits <= 8) ASSERT_EQ(uint32_t(dib.GetIndex(x, y)), Value(x, y, bits)) << x << "," << y;
      else ASSERT_EQ(dib.GetPixel(x, y), Value(x, y, bits)) << x << "," << y;
    }
}

TDib Load(const std::vector<uint8_t>& bytes) { return LoadBmp(bytes.data(), bytes.size()); }

void ExpectRejected(const std::vector<uint8_t>& bytes, const std::string& fragment) {
  try {
    Load(bytes);
    ADD_FAILURE() << "accepted; expected an error containing '" << fragment << "'";
  } catch (const EPictureError& e) {
    EXPECT_NE(std::string(e.what()).find(fragment), std::string::npos) << e.what();
  }
}

}  // namespace

TEST(BmpFileRead, EveryDepthBothOrientations) {
  for (int bits : {1, 4, 8, 24, 32})
    for (int height : {5, -5}) {
      SCOPED_TRACE(testing::Message() << bits << " bits, height " << height);
      const TDib dib = Load(TestFile(13, height, bits).Build());
      EXPECT_EQ(dib.BitsPerPixel(), bits);
      EXPECT_EQ(dib.BottomUp(), height > 0);
      if (bits <= 8) {
        EXPECT_EQ(dib.Palette(), TestPalette(1 << bits));
      }
      ExpectTestPicture(dib, 13, height, bits);
    }
}

TEST(BmpFileRead, CoreHeaderAndLongHeaders) {
  TBmpBytes core = TestFile(9, 3, 4);
  core.HeaderSize = 12;
  const TDib dib = Load(core.Build());
  EXPECT_EQ(dib.Palette(), TestPalette(16));
  ExpectTestPicture(dib, 9, 3, 4);

  for (uint32_t size : {108u, 124u}) {
    TBmpBytes f = TestFile(6, -4, 24);
    f.HeaderSize = size;
    ExpectTestPicture(Load(f.Build()), 6, -4, 24);
  }
}

TEST(BmpFileRead, BitFieldsBecomeBgrx) {
  // Standard masks after a 40-byte header, and reversed byte order inside a V5 header.
  for (uint32_t headerSize : {40u, 124u}) {
    const bool reversed = headerSize == 124;
    TBmpBytes f = TestFile(3, 2, 32);
    f.Compression = 3;
    f.HeaderSize = headerSize;
    f.Masks = reversed ? std::vector<uint32_t>{0x0000FF00, 0x00FF0000, 0xFF000000}
                       : std::vector<uint32_t>{0x00FF0000, 0x0000FF00, 0x000000FF};
    f.Pixels.clear();
    for (int r = 0; r < 2; ++r)
      for (int x = 0; x < 3; ++x) {
        const COLORREF c = Value(x, 1 - r, 32);
        const uint32_t red = GetRValue(c), green = GetGValue(c), blue = GetBValue(c);
        Put32(f.Pixels, reversed ? (red << 8 | green << 16 | blue << 24) : (red << 16 | green << 8 | blue));
      }
    const TDib dib = Load(f.Build());
    EXPECT_EQ(dib.BitsPerPixel(), 32);
    ExpectTestPicture(dib, 3, 2, 32);
  }
}

TEST(BmpFileRead, ShortPaletteAndPixelOffset) {
  TBmpBytes f = TestFile(8, 2, 8);
  f.Palette.resize(3);
  f.Gap = 10;  // honoured through bfOffBits
  const TDib dib = Load(f.Build());
  EXPECT_EQ(dib.Palette(), f.Palette);
  EXPECT_EQ(dib.GetPixel(0, 0), f.Palette[0]);
  EXPECT_EQ(dib.GetIndex(1, 0), 3);
  EXPECT_EQ(dib.GetPixel(1, 0), 0u);  // past the table: black

  f.ClrUsed = 0;  // says "full table" but the offset leaves room for three entries only
  f.Gap = 0;
  EXPECT_EQ(Load(f.Build()).Palette().size(), 3u);
}

TEST(BmpFileRead, Rle8AllEscapes) {
  TBmpBytes f;
  f.Width = 6;
  f.Height = 3;
  f.Compression = 1;
  f.Palette = TestPalette(16);
  f.Pixels = {3, 5, 0, 3, 1, 2, 3, 0, 0, 0,  // run, absolute run of 3 padded, end of line
              0, 2, 2, 1,                    // delta: skip row 1, land on x = 2 of the top row
              2, 9, 0, 1};                   // run, end of bitmap
  const TDib dib = Load(f.Build());
  const std::vector<std::vector<int>> expected = {{0, 0, 9, 9, 0, 0}, {0, 0, 0, 0, 0, 0}, {5, 5, 5, 1, 2, 3}};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(dib.GetIndex(x, y), expected[y][x]) << x << "," << y;
}

TEST(BmpFileRead, Rle4TopDown) {
  TBmpBytes f;
  f.Width = 7;
  f.Height = -2;
  f.Bits = 4;
  f.Compression = 2;
  f.Palette = TestPalette(16);
  f.Pixels = {5, 0x12, 2, 0x34, 0, 0,           // alternating nibbles
              0, 5, 0xAB, 0xCD, 0xE0, 0, 2, 0xFF,  // absolute run of 5 nibbles, padded to a word
              0, 1};
  const TDib dib = Load(f.Build());
  const std::vector<std::vector<int>> expected = {{1, 2, 1, 2, 1, 3, 4}, {10, 11, 12, 13, 14, 15, 15}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 7; ++x) EXPECT_EQ(dib.GetIndex(x, y), expected[y][x]) << x << "," << y;
}

TEST(BmpFileWrite, RoundTrips) {
  // 8 bits, full palette, width not a multiple of 4.
  TDib picture(304, 260, 8);
  picture.Palette() = TestPalette(256);
  for (int y = 0; y < 260; ++y)
    for (int x = 0; x < 304; ++x) picture.SetPixel(x, y, uint32_t(x * 7 + y * 13) & 0xFF);
  const std::vector<uint8_t> bytes = SaveBmp(picture, 8);
  EXPECT_EQ(bytes[46], 0);  // biClrUsed = 256
  EXPECT_EQ(bytes[47], 1);
  const TDib back = Load(bytes);
  EXPECT_TRUE(back.BottomUp());
  EXPECT_EQ(back.Palette(), picture.Palette());
  for (int y = 0; y < 260; ++y)
    for (int x = 0; x < 304; ++x) ASSERT_EQ(back.GetIndex(x, y), picture.GetIndex(x, y)) << x << "," << y;

  // 24 bits from every depth and orientation.
  for (int bits : {1, 4, 8, 24, 32})
    for (int height : {5, -5}) {
      SCOPED_TRACE(testing::Message() << bits << " bits, height " << height);
      const TDib source = Load(TestFile(7, height, bits).Build());
      const TDib copy = Load(SaveBmp(source, 24));
      EXPECT_EQ(copy.BitsPerPixel(), 24);
      for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) ASSERT_EQ(copy.GetPixel(x, y), source.GetPixel(x, y));
    }
}

TEST(BmpFileWrite, EightBitsFromTrueColour) {
  TDib picture(5, 2, 24, true);
  const COLORREF colours[] = {RGB(200, 0, 0), RGB(0, 0, 255), RGB(1, 2, 3)};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 5; ++x) picture.SetPixel(x, y, colours[(x + y) % 3]);
  const TDib back = Load(SaveBmp(picture, 8));
  EXPECT_EQ(back.BitsPerPixel(), 8);
  EXPECT_EQ(back.Palette(), std::vector<COLORREF>(std::begin(colours), std::end(colours)));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(back.GetPixel(x, y), picture.GetPixel(x, y));

  TDib rich(17, 17, 24);
  for (int i = 0; i < 17 * 17; ++i) rich.SetPixel(i % 17, i / 17, RGB(i, i / 3, 0));
  EXPECT_THROW(SaveBmp(rich, 8), EPictureError);
  EXPECT_THROW(SaveBmp(picture, 16), EPictureError);
  EXPECT_THROW(SaveBmp(TDib(), 24), EPictureError);
}

TEST(BmpFileQuantize, ManyColoursMapToNearestEntry) {
  TDib picture(64, 64, 24);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) picture.SetPixel(x, y, RGB(x * 4, y * 4, (x + y) * 2));
  const TDib q = QuantizeTo8(picture);
  ASSERT_EQ(q.BitsPerPixel(), 8);
  ASSERT_LE(q.Palette().size(), 256u);
  ASSERT_GE(q.Palette().size(), 200u);
  auto distance = [](COLORREF a, COLORREF b) {
    const int dr = GetRValue(a) - GetRValue(b), dg = GetGValue(a) - GetGValue(b), db = GetBValue(a) - GetBValue(b);
    return dr * dr + dg * dg + db * db;
  };
  int worst = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      const COLORREF c = picture.GetPixel(x, y);
      const int chosen = distance(c, q.GetPixel(x, y));
      for (COLORREF entry : q.Palette()) ASSERT_GE(distance(c, entry), chosen);
      worst = std::max(worst, chosen);
    }
  EXPECT_LE(worst, 3 * 12 * 12);

  const TDib again = QuantizeTo8(picture);
  EXPECT_EQ(again.Palette(), q.Palette());
  EXPECT_EQ(std::memcmp(again.Bits(), q.Bits(), q.BitsSize()), 0);
}

TEST(BmpFileReject, DamagedFiles) {
  const std::vector<uint8_t> good = TestFile(20, 10, 8).Build();  // 1078 bytes of headers, 200 of pixels
  auto patched = [&](size_t at, uint32_t v) {
    std::vector<uint8_t> b = good;
    Set32(b, at, v);
    return b;
  };
  auto cut = [&](size_t n) { return std::vector<uint8_t>(good.begin(), good.begin() + n); };

  ExpectRejected(patched(0, 0x4D42 ^ 0x0101), "signature");
  ExpectRejected(cut(10), "truncated: the file header");
  ExpectRejected(cut(30), "truncated: the bitmap header needs 54 bytes, 30 present");
  ExpectRejected(cut(200), "truncated: the colour table needs 1024 bytes, 146 present");
  ExpectRejected(cut(good.size() - 50), "truncated: pixel data needs 200 bytes, 150 present");
  ExpectRejected(patched(10, uint32_t(good.size() + 10)), "past the end");
  ExpectRejected(patched(10, 20), "points into the headers");
  ExpectRejected(patched(14, 200), "header size 200");
  ExpectRejected(patched(18, 0), "width 0");
  ExpectRejected(patched(18, uint32_t(-20)), "width -20");
  ExpectRejected(patched(22, 0), "height is zero");
  std::vector<uint8_t> huge = patched(18, 100000);
  Set32(huge, 22, 100000);
  ExpectRejected(huge, "too large");
  huge = patched(18, 30000);
  Set32(huge, 22, uint32_t(-30000));
  ExpectRejected(huge, "too large");
  ExpectRejected(patched(26, 1 | (7 << 16)), "depth: 7 bits");
  ExpectRejected(patched(26, 2 | (8 << 16)), "planes");
  ExpectRejected(patched(30, 4), "compression: JPEG");
  ExpectRejected(patched(30, 2), "compression RLE4 does not go with 8 bits");

  // Every shorter prefix of a stored picture is an error, never a read past the end.
  for (size_t n = 0; n < good.size(); n += 7) EXPECT_THROW(Load(cut(n)), EPictureError) << n;
}

TEST(BmpFileReject, BadRleAndMasks) {
  TBmpBytes f;
  f.Compression = 1;
  f.Palette = TestPalette(4);
  f.Pixels = {5, 1, 0, 1};
  ExpectRejected(f.Build(), "run of 5 pixels at column 0 runs past the end of row 0");
  f.Pixels = {0, 3, 1, 2};  // absolute run missing its third byte
  ExpectRejected(f.Build(), "RLE data is truncated");
  f.Pixels = {0, 0, 0, 0, 2, 1};
  ExpectRejected(f.Build(), "past the last row");
  f.Pixels = {0, 2, 1, 3};
  ExpectRejected(f.Build(), "delta");
  f.Pixels = {4, 1, 0, 0};
  ExpectRejected(f.Build(), "without an end-of-bitmap code");
  std::vector<uint8_t> lying = f.Build();
  Set32(lying, 34, 4000);  // biSizeImage
  ExpectRejected(lying, "compressed pixel data needs 4000 bytes");

  TBmpBytes fields = TestFile(2, 2, 32);
  fields.Compression = 3;
  fields.Masks = {0x00FF00FF, 0x0000FF00, 0};
  ExpectRejected(fields.Build(), "mask 0x00FF00FF");

  // Byte damage anywhere in compressed files: an error or a picture, never a stray access.
  TBmpBytes rle4;
  rle4.Width = 7;
  rle4.Bits = 4;
  rle4.Compression = 2;
  rle4.Palette = TestPalette(16);
  rle4.Pixels = {5, 0x12, 0, 0, 0, 2, 3, 0, 0, 3, 0xAB, 0xC0, 0, 0, 0, 1};
  for (const TBmpBytes& source : {f, rle4}) {
    const std::vector<uint8_t> base = source.Build();
    for (size_t at = 14; at < base.size(); ++at)
      for (uint8_t v : {0x00, 0x03, 0x7F, 0xFF}) {
        std::vector<uint8_t> b = base;
        b[at] = v;
        try {
          Load(b);
        } catch (const EPictureError&) {
        }
      }
  }
}

namespace {

constexpr uint32_t kBitFields = 3, kAlphaBitFields = 6;

// A file of hand-written stored rows; masks go after a 40-byte header, inside longer ones.
TBmpBytes HandMade(int width, int height, int bits, uint32_t compression, std::vector<uint32_t> masks,
                   std::vector<uint8_t> pixels, uint32_t headerSize = 40) {
  TBmpBytes f;
  f.Width = width;
  f.Height = height;
  f.Bits = bits;
  f.Compression = compression;
  f.HeaderSize = headerSize;
  f.Masks = std::move(masks);
  f.Pixels = std::move(pixels);
  return f;
}

void ExpectColours(const TDib& dib, const std::vector<std::vector<COLORREF>>& rows) {
  ASSERT_EQ(dib.Height(), int(rows.size()));
  for (int y = 0; y < dib.Height(); ++y) {
    ASSERT_EQ(dib.Width(), int(rows[y].size()));
    for (int x = 0; x < dib.Width(); ++x)
      EXPECT_EQ(dib.GetPixel(x, y), rows[y][x]) << x << "," << y;
  }
}

// The colour of the single pixel of a 1 x 1, 32-bit picture with the given masks.
COLORREF OnePixel(uint32_t compression, std::vector<uint32_t> masks, uint32_t pixel) {
  std::vector<uint8_t> bytes;
  Put32(bytes, pixel);
  const TDib dib = Load(HandMade(1, 1, 32, compression, std::move(masks), bytes).Build());
  EXPECT_EQ(dib.BitsPerPixel(), 32);
  EXPECT_EQ(dib.ScanLine(0)[3], 0);  // alpha is not carried over
  return dib.GetPixel(0, 0);
}

}  // namespace

TEST(BmpFileRead, SixteenBitsDefaultToFiveFiveFive) {
  // Top-down, 3 pixels (6 bytes) per row padded to 8. The top bit of each word is unused.
  const TBmpBytes f = HandMade(3, -2, 16, 0, {},
                               {0xFF, 0x7F, 0x00, 0x7C, 0x00, 0x82, 0, 0,    // white, red 31, green 16 + top bit
                                0x0B, 0x00, 0x14, 0x00, 0x10, 0x42, 0, 0});  // blue 11, blue 20, all three 16
  const TDib dib = Load(f.Build());
  EXPECT_EQ(dib.BitsPerPixel(), 24);
  EXPECT_FALSE(dib.BottomUp());
  // 16 * 255 / 31 = 131.6; 11 * 255 / 31 = 90.48 and 20 * 255 / 31 = 164.52, the two sides of a half.
  ExpectColours(dib, {{RGB(255, 255, 255), RGB(255, 0, 0), RGB(0, 132, 0)},
                      {RGB(0, 0, 90), RGB(0, 0, 165), RGB(132, 132, 132)}});
}

TEST(BmpFileRead, SixteenBitFiveSixFiveInEveryHeader) {
  // Bottom-up: the first stored row is the lower one.
  const std::vector<uint8_t> pixels = {0x00, 0x04, 0xFF, 0xFF, 0x01, 0x00, 0, 0,   // green 32, white, blue 1
                                       0x00, 0x80, 0xE0, 0x07, 0xE0, 0x03, 0, 0};  // red 16, green 63, green 31
  // Green 32 * 255 / 63 = 129.52, green 31 gives 125.48, blue 1 gives 8.2.
  const std::vector<std::vector<COLORREF>> expected = {{RGB(132, 0, 0), RGB(0, 255, 0), RGB(0, 125, 0)},
                                                       {RGB(0, 130, 0), RGB(255, 255, 255), RGB(0, 0, 8)}};
  for (uint32_t headerSize : {40u, 52u, 56u, 108u, 124u})
    for (uint32_t compression : {kBitFields, kAlphaBitFields}) {
      if (compression == kAlphaBitFields && headerSize == 52) continue;  // no alpha field there
      SCOPED_TRACE(testing::Message() << "header " << headerSize << ", compression " << compression);
      std::vector<uint32_t> masks = {0xF800, 0x07E0, 0x001F};
      if (compression == kAlphaBitFields || headerSize >= 56) masks.push_back(0);
      const TDib dib = Load(HandMade(3, 2, 16, compression, masks, pixels, headerSize).Build());
      EXPECT_EQ(dib.BitsPerPixel(), 24);
      EXPECT_TRUE(dib.BottomUp());
      ExpectColours(dib, expected);
    }
}

TEST(BmpFileRead, SixteenBitsWithAlphaMask) {
  // 4-4-4-4 with alpha on top, masks after a 40-byte header: 8 * 255 / 15 = 136 exactly.
  TBmpBytes argb4444 = HandMade(2, 1, 16, kAlphaBitFields, {0x0F00, 0x00F0, 0x000F, 0xF000},
                                {0x00, 0xF8, 0x0F, 0x0F});
  ExpectColours(Load(argb4444.Build()), {{RGB(136, 0, 0), RGB(255, 0, 255)}});

  // 1-5-5-5 inside a V4 header; the alpha bit changes nothing.
  TBmpBytes argb1555 = HandMade(2, 1, 16, kBitFields, {0x7C00, 0x03E0, 0x001F, 0x8000}, {0x00, 0xFC, 0x10, 0x02}, 108);
  ExpectColours(Load(argb1555.Build()), {{RGB(255, 0, 0), RGB(0, 132, 132)}});
}

TEST(BmpFileRead, ThirtyTwoBitChannelsOfAnyWidthRoundToNearest) {
  // 10-10-10-2: 3 * 255 / 1023 = 0.748 and 2 * 255 / 1023 = 0.4985, where a shift would give 0 for both.
  const std::vector<uint32_t> tenBits = {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000};
  EXPECT_EQ(OnePixel(kAlphaBitFields, tenBits, 0xFFF00C02), RGB(255, 1, 0));
  EXPECT_EQ(OnePixel(kAlphaBitFields, tenBits, 0x20001FFE), RGB(128, 2, 255));  // 512, 7, 1022

  // 16-bit channels: 0x8000 gives 127.502, 0x7FFF gives 127.498. No green mask: green reads 0.
  EXPECT_EQ(OnePixel(kBitFields, {0xFFFF0000, 0, 0x0000FFFF}, 0x80007FFF), RGB(128, 0, 127));
  // One channel as wide as the pixel, on both sides of the half.
  EXPECT_EQ(OnePixel(kBitFields, {0xFFFFFFFF, 0, 0}, 0x80000000), RGB(128, 0, 0));
  EXPECT_EQ(OnePixel(kBitFields, {0xFFFFFFFF, 0, 0}, 0x7FFFFFFF), RGB(127, 0, 0));
  // One-bit and narrow channels, the other bits set but not covered by any mask.
  EXPECT_EQ(OnePixel(kBitFields, {0x00000001, 0x00000700, 0x00030000}, 0xFFFFF5FF), RGB(255, 182, 255));
  // Alpha in the low byte, colours above it.
  EXPECT_EQ(OnePixel(kAlphaBitFields, {0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF}, 0x10203040),
            RGB(0x10, 0x20, 0x30));
}

TEST(BmpFileRead, TwoBitPalette) {
  TBmpBytes f = HandMade(5, 2, 2, 0, {},
                         {0xF1, 0x40, 0, 0,    // bottom row: 3 3 0 1 1
                          0x1B, 0x80, 0, 0});  // top row: 0 1 2 3 2
  f.Palette = {RGB(10, 20, 30), RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200)};
  const TDib dib = Load(f.Build());
  EXPECT_EQ(dib.BitsPerPixel(), 4);
  EXPECT_EQ(dib.Palette(), f.Palette);
  const std::vector<std::vector<int>> indexes = {{0, 1, 2, 3, 2}, {3, 3, 0, 1, 1}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(dib.GetIndex(x, y), indexes[y][x]) << x << "," << y;
  ExpectColours(dib, {{RGB(10, 20, 30), RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200), RGB(0, 200, 0)},
                      {RGB(0, 0, 200), RGB(0, 0, 200), RGB(10, 20, 30), RGB(200, 0, 0), RGB(200, 0, 0)}});
}

TEST(BmpFileRead, Os2InfoHeader) {
  TBmpBytes indexed = HandMade(3, 1, 8, 0, {}, {2, 0, 1, 0}, 64);
  indexed.Palette = {RGB(1, 2, 3), RGB(40, 50, 60), RGB(255, 128, 0)};  // four bytes per entry
  ExpectColours(Load(indexed.Build()), {{RGB(255, 128, 0), RGB(1, 2, 3), RGB(40, 50, 60)}});
}

TEST(BmpFileReject, CompressionsWeDoNotRead) {
  ExpectRejected(HandMade(4, 2, 0, 4, {}, {0xFF, 0xD8, 0xFF, 0xD9}).Build(), "embedded JPEG data is not supported");
  ExpectRejected(HandMade(4, 2, 0, 5, {}, {0x89, 'P', 'N', 'G'}).Build(), "embedded PNG data is not supported");
  ExpectRejected(HandMade(1, 1, 24, 7, {}, {0, 0, 0, 0}).Build(), "unsupported BMP compression: 7");
  // The OS/2 2.x header gives 3 and 4 other meanings, and has no bit fields.
  ExpectRejected(HandMade(8, 1, 1, 3, {}, {0, 0, 0, 0}, 64).Build(), "Huffman 1D");
  ExpectRejected(HandMade(1, 1, 24, 4, {}, {0, 0, 0, 0}, 64).Build(), "RLE24");
  ExpectRejected(HandMade(1, 1, 32, 6, {}, {0, 0, 0, 0}, 64).Build(), "unsupported BMP compression: 6");

  ExpectRejected(HandMade(1, 1, 24, kBitFields, {0xFF0000, 0xFF00, 0xFF}, {0, 0, 0, 0}).Build(),
                 "compression bit fields does not go with 24 bits");
}

TEST(BmpFileReject, BadMasksAndShortData) {
  const std::vector<uint8_t> two = {0, 0, 0, 0};
  ExpectRejected(HandMade(1, 1, 16, kBitFields, {0xF800, 0x0FE0, 0x001F}, two).Build(),
                 "green mask 0x00000FE0 overlaps the red mask 0x0000F800");
  ExpectRejected(HandMade(1, 1, 16, kBitFields, {0x7C00, 0x03E0, 0x10000}, two).Build(),
                 "blue mask 0x00010000 does not fit in a 16-bit pixel");
  ExpectRejected(HandMade(1, 1, 16, kBitFields, {0x7C00, 0x0360, 0x001F}, two).Build(),
                 "green mask 0x00000360 is not one run of bits");
  ExpectRejected(HandMade(1, 1, 32, kAlphaBitFields, {0xFF0000, 0xFF00, 0xFF, 0x800000FF}, two).Build(),
                 "alpha mask 0x800000FF is not one run of bits");
  ExpectRejected(HandMade(1, 1, 32, kBitFields, {0xFF0000, 0xFF00, 0xFF, 0x000000FF}, two, 124).Build(),
                 "alpha mask 0x000000FF overlaps the blue mask 0x000000FF");

  // The four masks of a 40-byte header end at byte 70; the pixels of 16 and 2-bit files are counted.
  const std::vector<uint8_t> full = HandMade(1, 1, 16, kAlphaBitFields, {0x7C00, 0x03E0, 0x001F, 0x8000}, two).Build();
  ExpectRejected(std::vector<uint8_t>(full.begin(), full.begin() + 64),
                 "truncated: the colour mask table needs 70 bytes, 64 present");
  ExpectRejected(HandMade(3, 2, 16, 0, {}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}).Build(),
                 "truncated: pixel data needs 16 bytes, 10 present");
  TBmpBytes twoBit = HandMade(17, 2, 2, 0, {}, {0, 0, 0, 0, 0, 0, 0, 0, 0});
  twoBit.Palette = TestPalette(4);
  ExpectRejected(twoBit.Build(), "truncated: pixel data needs 16 bytes, 9 present");

  // Byte damage anywhere in a bit-field file: an error or a picture, never a stray access.
  const std::vector<uint8_t> base =
      HandMade(3, 2, 16, kAlphaBitFields, {0x0F00, 0x00F0, 0x000F, 0xF000}, std::vector<uint8_t>(16, 0x5A)).Build();
  for (size_t at = 14; at < base.size(); ++at)
    for (uint8_t v : {0x00, 0x03, 0x7F, 0xFF}) {
      std::vector<uint8_t> b = base;
      b[at] = v;
      try {
        Load(b);
      } catch (const EPictureError&) {
      }
    }
}
