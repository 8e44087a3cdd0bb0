#include "platform/graphics/BmpFile.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unordered_map>

namespace {

constexpr uint32_t BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3, BI_JPEG = 4, BI_PNG = 5,
                   BI_ALPHABITFIELDS = 6;
constexpr size_t kFileHeaderSize = 14;
constexpr size_t kCoreHeaderSize = 12;
constexpr size_t kInfoHeaderSize = 40;
constexpr size_t kOs2HeaderSize = 64;
constexpr uint64_t kMaxFileSize = uint64_t(1) << 30;

[[noreturn]] void Fail(const std::string& message) { throw EPictureError(message); }

std::string Str(uint64_t value) { return std::to_string(value); }

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", unsigned(value));
  return text;
}

[[noreturn]] void FailTruncated(const std::string& what, uint64_t needed, uint64_t present) {
  Fail("BMP file is truncated: " + what + " needs " + Str(needed) + " bytes, " + Str(present) + " present");
}

uint16_t Get16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t Get32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

enum { kRed, kGreen, kBlue, kAlpha };
const char* const kMaskNames[4] = {"red", "green", "blue", "alpha"};

struct TBmpHeader {
  uint32_t HeaderSize = 0;
  int64_t Width = 0;
  int64_t Height = 0;  // as stored: negative for top-down rows
  unsigned Planes = 1;
  unsigned BitCount = 0;
  uint32_t Compression = BI_RGB;
  uint32_t SizeImage = 0;
  uint32_t ClrUsed = 0;
  uint32_t Masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha; set for 16 bits and bit fields
  size_t End = 0;                    // offset just past the header and any separate colour masks

  bool HasMasks() const { return BitCount == 16 || Compression == BI_BITFIELDS || Compression == BI_ALPHABITFIELDS; }
};

std::string CompressionName(uint32_t compression) {
  switch (compression) {
    case BI_RGB: return "none";
    case BI_RLE8: return "RLE8";
    case BI_RLE4: return "RLE4";
    case BI_BITFIELDS: return "bit fields";
    case BI_ALPHABITFIELDS: return "alpha bit fields";
    default: return Str(compression);
  }
}

// Compression values that are not for us. The OS/2 2.x header gives 3 and 4 other meanings.
void CheckCompression(const TBmpHeader& h) {
  const uint32_t c = h.Compression;
  if (h.HeaderSize == kOs2HeaderSize) {
    if (c == 3) Fail("unsupported BMP compression: Huffman 1D (OS/2)");
    if (c == 4) Fail("unsupported BMP compression: RLE24 (OS/2)");
    if (c > BI_RLE4) Fail("unsupported BMP compression: " + Str(c));
    return;
  }
  if (c == BI_JPEG) Fail("unsupported BMP compression: JPEG (embedded JPEG data is not supported)");
  if (c == BI_PNG) Fail("unsupported BMP compression: PNG (embedded PNG data is not supported)");
  if (c > BI_ALPHABITFIELDS) Fail("unsupported BMP compression: " + Str(c));
}

// Each mask must be one run of bits inside the pixel, and no two may share a bit.
void CheckMasks(const TBmpHeader& h) {
  for (int i = 0; i < 4; ++i) {
    const uint32_t mask = h.Masks[i];
    if (mask == 0) continue;
    const std::string name = std::string("BMP ") + kMaskNames[i] + " mask " + Hex(mask);
    if (h.BitCount < 32 && (mask >> h.BitCount) != 0)
      Fail(name + " does not fit in a " + Str(h.BitCount) + "-bit pixel");
    const uint32_t run = mask >> std::countr_zero(mask);
    if ((run & (run + 1)) != 0) Fail(name + " is not one run of bits");
    for (int j = 0; j < i; ++j)
      if ((mask & h.Masks[j]) != 0)
        Fail(name + " overlaps the " + kMaskNames[j] + " mask " + Hex(h.Masks[j]));
  }
}

TBmpHeader ReadHeaders(const uint8_t* data, size_t size) {
  if (size >= 2 && (data[0] != 'B' || data[1] != 'M')) Fail("not a BMP file: the 'BM' signature is missing");
  if (size < kFileHeaderSize + 4) FailTruncated("the file header", kFileHeaderSize + 4, size);

  TBmpHeader h;
  h.HeaderSize = Get32(data + kFileHeaderSize);
  switch (h.HeaderSize) {
    case 12: case 40: case 52: case 56: case 64: case 108: case 124: break;
    default: Fail("unsupported BMP header size " + Str(h.HeaderSize));
  }
  h.End = kFileHeaderSize + h.HeaderSize;
  if (size < h.End) FailTruncated("the bitmap header", h.End, size);

  const uint8_t* p = data + kFileHeaderSize;
  if (h.HeaderSize == kCoreHeaderSize) {
    h.Width = Get16(p + 4);
    h.Height = Get16(p + 6);
    h.Planes = Get16(p + 8);
    h.BitCount = Get16(p + 10);
  } else {
    // The OS/2 2.x header starts with the same fields as the 40-byte one.
    h.Width = int32_t(Get32(p + 4));
    h.Height = int32_t(Get32(p + 8));
    h.Planes = Get16(p + 12);
    h.BitCount = Get16(p + 14);
    h.Compression = Get32(p + 16);
    h.SizeImage = Get32(p + 20);
    h.ClrUsed = Get32(p + 32);
  }

  if (h.Planes != 1) Fail("BMP planes field is " + Str(h.Planes) + ", must be 1");
  // Before the depth: files with embedded JPEG or PNG data usually give 0 bits per pixel.
  CheckCompression(h);
  switch (h.BitCount) {
    case 1: case 2: case 4: case 8: case 16: case 24: case 32: break;
    default: Fail("unsupported BMP depth: " + Str(h.BitCount) + " bits per pixel");
  }
  const bool bitFields = h.Compression == BI_BITFIELDS || h.Compression == BI_ALPHABITFIELDS;
  const bool depthFits = (h.Compression == BI_RGB) || (h.Compression == BI_RLE8 && h.BitCount == 8) ||
                         (h.Compression == BI_RLE4 && h.BitCount == 4) ||
                         (bitFields && (h.BitCount == 16 || h.BitCount == 32));
  if (!depthFits)
    Fail("BMP compression " + CompressionName(h.Compression) + " does not go with " + Str(h.BitCount) +
         " bits per pixel");

  if (bitFields) {
    const int count = h.Compression == BI_ALPHABITFIELDS ? 4 : 3;
    const uint8_t* masks = p + kInfoHeaderSize;
    if (h.HeaderSize == kInfoHeaderSize) {
      // The plain info header keeps its masks in words after it.
      h.End += 4 * count;
      if (size < h.End) FailTruncated("the colour mask table", h.End, size);
      for (int i = 0; i < count; ++i) h.Masks[i] = Get32(masks + 4 * i);
    } else {
      // Longer headers hold red, green and blue, and from 56 bytes on the alpha mask too.
      for (int i = 0; i < 3; ++i) h.Masks[i] = Get32(masks + 4 * i);
      if (h.HeaderSize >= 56) h.Masks[kAlpha] = Get32(masks + 12);
    }
    CheckMasks(h);
  } else if (h.BitCount == 16) {
    h.Masks[kRed] = 0x7C00;
    h.Masks[kGreen] = 0x03E0;
    h.Masks[kBlue] = 0x001F;
  }

  if (h.Width <= 0) Fail("BMP width " + std::to_string(h.Width) + " is invalid");
  if (h.Height == 0) Fail("BMP height is zero");
  const int64_t rows = h.Height < 0 ? -h.Height : h.Height;
  if (h.Width > TDib::kMaxSide || rows > TDib::kMaxSide || h.Width * rows > TDib::kMaxPixels)
    Fail("BMP picture is too large: " + std::to_string(h.Width) + " x " + std::to_string(rows) + " pixels");
  return h;
}

// The colour table; it may be shorter than the depth allows (the rest reads as black).
std::vector<COLORREF> ReadPalette(const uint8_t* data, size_t size, const TBmpHeader& h, uint32_t offBits) {
  if (h.BitCount > 8) return {};
  const uint64_t fullCount = uint64_t(1) << h.BitCount;
  uint64_t count = h.ClrUsed == 0 ? fullCount : std::min<uint64_t>(h.ClrUsed, fullCount);
  const uint64_t entrySize = h.HeaderSize == kCoreHeaderSize ? 3 : 4;
  const uint64_t tableEnd = h.End + count * entrySize;
  if (tableEnd > std::min<uint64_t>(offBits, size)) {
    if (offBits > size) FailTruncated("the colour table", count * entrySize, size - h.End);
    // The pixel offset says the table is shorter than declared.
    count = (offBits - h.End) / entrySize;
  }
  std::vector<COLORREF> palette(static_cast<size_t>(count));
  for (size_t i = 0; i < palette.size(); ++i) {
    const uint8_t* q = data + h.End + i * entrySize;
    palette[i] = RGB(q[2], q[1], q[0]);
  }
  return palette;
}

// One colour channel of a bit-field pixel, scaled to 8 bits.
class TChannel {
 public:
  explicit TChannel(uint32_t mask) : FMask(mask) {
    if (mask == 0) return;
    FShift = std::countr_zero(mask);
    FMax = uint64_t(mask >> FShift);
    if (FMax < 0x10000) {
      FTable.resize(size_t(FMax) + 1);
      for (uint64_t v = 0; v <= FMax; ++v) FTable[size_t(v)] = Scale(v);
    }
  }

  uint8_t Get(uint32_t pixel) const {
    if (FMask == 0) return 0;
    const uint32_t v = (pixel & FMask) >> FShift;
    return FTable.empty() ? Scale(v) : FTable[v];
  }

 private:
  // value * 255 / max rounded to nearest, halves up. max is 2^bits - 1, odd, so an exact half
  // cannot occur; the closest cases (a 16-bit 0x8000 gives 127.502) still round the right way.
  // Shifting instead would make a full 5-bit channel 248 rather than 255.
  uint8_t Scale(uint64_t value) const { return uint8_t((value * 255 + FMax / 2) / FMax); }

  uint32_t FMask = 0;
  int FShift = 0;
  uint64_t FMax = 0;
  std::vector<uint8_t> FTable;  // every value, for channels up to 16 bits
};

// 16 and 32-bit pixels through their masks into 24 or 32-bit rows (blue, green, red, zero).
// The alpha mask has been checked but is not applied: pictures come out opaque.
void DecodeBitFields(const uint8_t* src, const TBmpHeader& h, TDib& dib) {
  const TChannel red(h.Masks[kRed]), green(h.Masks[kGreen]), blue(h.Masks[kBlue]);
  const size_t srcRowBytes = size_t(DibRowBytes(dib.Width(), int(h.BitCount)));
  const size_t srcStep = h.BitCount / 8, dstStep = size_t(dib.BitsPerPixel() / 8);
  for (int r = 0; r < dib.Height(); ++r) {
    const uint8_t* s = src + r * srcRowBytes;
    uint8_t* d = dib.Bits() + size_t(r) * dib.RowBytes();
    for (int x = 0; x < dib.Width(); ++x, s += srcStep, d += dstStep) {
      const uint32_t pixel = srcStep == 2 ? Get16(s) : Get32(s);
      d[0] = blue.Get(pixel);
      d[1] = green.Get(pixel);
      d[2] = red.Get(pixel);
      if (dstStep == 4) d[3] = 0;
    }
  }
}

// 2-bit indexes widened to 4 bits, the smallest depth a TDib holds.
void Decode2Bit(const uint8_t* src, TDib& dib) {
  const size_t srcRowBytes = size_t(DibRowBytes(dib.Width(), 2));
  for (int r = 0; r < dib.Height(); ++r) {
    const uint8_t* s = src + r * srcRowBytes;
    uint8_t* d = dib.Bits() + size_t(r) * dib.RowBytes();
    for (int x = 0; x < dib.Width(); ++x) {
      const unsigned index = (s[x >> 2] >> (6 - 2 * (x & 3))) & 3;
      d[x >> 1] |= uint8_t((x & 1) ? index : index << 4);
    }
  }
}

// RLE8 / RLE4. Rows are counted in file order, which is also the order of the rows in memory
// for a picture made with the file's orientation.
void DecodeRle(const uint8_t* src, size_t srcSize, TDib& dib) {
  const bool rle4 = dib.BitsPerPixel() == 4;
  const int64_t width = dib.Width(), height = dib.Height();
  size_t pos = 0;
  int64_t x = 0, row = 0;

  auto need = [&](size_t n) {
    if (srcSize - pos < n)
      Fail("BMP RLE data is truncated at byte " + Str(pos) + " of " + Str(srcSize));
  };
  auto checkRun = [&](int64_t count) {
    if (row >= height) Fail("BMP RLE data runs past the last row");
    if (x + count > width)
      Fail("BMP RLE run of " + Str(count) + " pixels at column " + Str(x) + " runs past the end of row " +
           Str(row) + " (width " + Str(width) + ")");
  };
  auto put = [&](int64_t px, unsigned value) {
    uint8_t* line = dib.Bits() + size_t(row) * dib.RowBytes();
    if (!rle4) {
      line[px] = uint8_t(value);
    } else {
      uint8_t& b = line[px >> 1];
      b = (px & 1) ? uint8_t((b & 0xF0) | (value & 0x0F)) : uint8_t((b & 0x0F) | ((value & 0x0F) << 4));
    }
  };

  for (;;) {
    if (pos == srcSize) {
      if (row >= height) return;  // a writer that ends the last row but leaves out the end code
      Fail("BMP RLE data ends at row " + Str(row) + " of " + Str(height) + " without an end-of-bitmap code");
    }
    need(2);
    const unsigned count = src[pos], value = src[pos + 1];
    pos += 2;
    if (count > 0) {
      checkRun(count);
      for (unsigned i = 0; i < count; ++i) put(x + i, rle4 ? ((i & 1) ? value & 0x0F : value >> 4) : value);
      x += count;
      continue;
    }
    switch (value) {
      case 0:  // end of line
        x = 0;
        ++row;
        break;
      case 1:  // end of bitmap
        return;
      case 2: {  // delta
        need(2);
        x += src[pos];
        row += src[pos + 1];
        pos += 2;
        if (x > width || row > height) Fail("BMP RLE delta moves outside the picture");
        break;
      }
      default: {  // absolute run, padded to a word
        const size_t bytes = rle4 ? (value + 1) / 2 : value;
        need((bytes + 1) & ~size_t(1));
        checkRun(value);
        const uint8_t* s = src + pos;
        for (unsigned i = 0; i < value; ++i)
          put(x + i, rle4 ? ((i & 1) ? s[i / 2] & 0x0F : s[i / 2] >> 4) : s[i]);
        x += value;
        pos += (bytes + 1) & ~size_t(1);
        break;
      }
    }
  }
}

// Maps a picture onto the palette of its own colours in order of first appearance. Returns
// false (and leaves `out` unspecified) when there are more than 256.
bool MapExactColours(const TDib& picture, TDib& out) {
  out = TDib(picture.Width(), picture.Height(), 8, picture.BottomUp());
  std::vector<COLORREF> palette;
  std::unordered_map<COLORREF, uint8_t> index;
  for (int y = 0; y < picture.Height(); ++y) {
    uint8_t* d = out.ScanLine(y);
    for (int x = 0; x < picture.Width(); ++x) {
      const COLORREF c = picture.GetPixel(x, y);
      auto it = index.find(c);
      if (it == index.end()) {
        if (palette.size() == 256) return false;
        it = index.emplace(c, uint8_t(palette.size())).first;
        palette.push_back(c);
      }
      d[x] = it->second;
    }
  }
  out.Palette() = std::move(palette);
  return true;
}

// Median cut over a 6-bit-per-channel histogram. Each palette entry is the mean of the real
// colours that fell into its box.
std::vector<COLORREF> MedianCutPalette(const TDib& picture) {
  constexpr int kBits = 6, kShift = 8 - kBits, kBins = 1 << (3 * kBits);
  struct TBin {
    uint32_t Key;  // r | g << 6 | b << 12, each in 6 bits
    uint64_t Count;
    uint64_t Sum[3];
    int Coord(int axis) const { return (Key >> (axis * kBits)) & ((1 << kBits) - 1); }
  };
  std::vector<uint64_t> counts(kBins, 0);
  std::vector<uint64_t> sums(size_t(kBins) * 3, 0);
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) {
      const COLORREF c = picture.GetPixel(x, y);
      const uint32_t r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
      const uint32_t key = (r >> kShift) | ((g >> kShift) << kBits) | ((b >> kShift) << (2 * kBits));
      ++counts[key];
      sums[key * 3] += r;
      sums[key * 3 + 1] += g;
      sums[key * 3 + 2] += b;
    }
  std::vector<TBin> bins;
  for (uint32_t key = 0; key < uint32_t(kBins); ++key)
    if (counts[key]) bins.push_back({key, counts[key], {sums[key * 3], sums[key * 3 + 1], sums[key * 3 + 2]}});

  struct TBox {
    size_t Begin, End;
    uint64_t Count = 0;
    int Lo[3] = {255, 255, 255}, Hi[3] = {0, 0, 0};
    int LongestAxis() const {
      int axis = 0;
      for (int a = 1; a < 3; ++a)
        if (Hi[a] - Lo[a] > Hi[axis] - Lo[axis]) axis = a;
      return axis;
    }
    int Range() const { int a = LongestAxis(); return Hi[a] - Lo[a]; }
  };
  auto makeBox = [&](size_t begin, size_t end) {
    TBox box{begin, end};
    for (size_t i = begin; i < end; ++i) {
      box.Count += bins[i].Count;
      for (int a = 0; a < 3; ++a) {
        box.Lo[a] = std::min(box.Lo[a], bins[i].Coord(a));
        box.Hi[a] = std::max(box.Hi[a], bins[i].Coord(a));
      }
    }
    return box;
  };

  std::vector<TBox> boxes{makeBox(0, bins.size())};
  while (boxes.size() < 256) {
    // Split the box whose pixels are spread the most: population times its longest side.
    size_t pick = boxes.size();
    uint64_t best = 0;
    for (size_t i = 0; i < boxes.size(); ++i) {
      const uint64_t score = boxes[i].Count * uint64_t(boxes[i].Range());
      if (boxes[i].End - boxes[i].Begin >= 2 && score > best) {
        best = score;
        pick = i;
      }
    }
    if (pick == boxes.size()) break;
    const TBox box = boxes[pick];
    const int axis = box.LongestAxis();
    std::sort(bins.begin() + box.Begin, bins.begin() + box.End, [axis](const TBin& a, const TBin& b) {
      return a.Coord(axis) != b.Coord(axis) ? a.Coord(axis) < b.Coord(axis) : a.Key < b.Key;
    });
    size_t split = box.Begin;
    uint64_t seen = 0;
    while (split < box.End && seen * 2 < box.Count) seen += bins[split++].Count;
    split = std::clamp(split, box.Begin + 1, box.End - 1);
    boxes[pick] = makeBox(box.Begin, split);
    boxes.push_back(makeBox(split, box.End));
  }

  std::vector<COLORREF> palette;
  for (const TBox& box : boxes) {
    uint64_t sum[3] = {0, 0, 0};
    for (size_t i = box.Begin; i < box.End; ++i)
      for (int a = 0; a < 3; ++a) sum[a] += bins[i].Sum[a];
    auto mean = [&](int a) { return int((sum[a] + box.Count / 2) / box.Count); };
    palette.push_back(RGB(mean(0), mean(1), mean(2)));
  }
  return palette;
}

uint8_t NearestEntry(const std::vector<COLORREF>& palette, COLORREF c) {
  int best = 0;
  int bestDistance = INT32_MAX;
  for (size_t i = 0; i < palette.size(); ++i) {
    const int dr = int(GetRValue(c)) - GetRValue(palette[i]);
    const int dg = int(GetGValue(c)) - GetGValue(palette[i]);
    const int db = int(GetBValue(c)) - GetBValue(palette[i]);
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = int(i);
    }
  }
  return uint8_t(best);
}

// A palettised picture as 8 bits with the same palette and indexes.
TDib WidenTo8(const TDib& picture) {
  TDib out(picture.Width(), picture.Height(), 8, picture.BottomUp());
  out.Palette() = picture.Palette();
  for (int y = 0; y < picture.Height(); ++y) {
    uint8_t* d = out.ScanLine(y);
    for (int x = 0; x < picture.Width(); ++x) d[x] = uint8_t(picture.GetIndex(x, y));
  }
  return out;
}

struct TFileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

TDib LoadBmp(const uint8_t* data, size_t size) {
  if (data == nullptr) size = 0;
  const TBmpHeader h = ReadHeaders(data, size);
  const uint32_t offBits = Get32(data + 10);
  if (offBits < h.End) Fail("BMP pixel data offset " + Str(offBits) + " points into the headers");
  std::vector<COLORREF> palette = ReadPalette(data, size, h, offBits);
  if (offBits > size)
    Fail("BMP pixel data offset " + Str(offBits) + " is past the end of the file (" + Str(size) + " bytes)");

  const bool bottomUp = h.Height > 0;
  const int width = int(h.Width), height = int(bottomUp ? h.Height : -h.Height);
  const uint8_t* pixels = data + offBits;
  const size_t present = size - offBits;

  if (h.Compression == BI_RLE8 || h.Compression == BI_RLE4) {
    const size_t packed = h.SizeImage == 0 ? present : h.SizeImage;
    if (packed > present) FailTruncated("compressed pixel data", packed, present);
    TDib dib(width, height, h.BitCount, bottomUp);
    dib.Palette() = std::move(palette);
    DecodeRle(pixels, packed, dib);
    return dib;
  }

  const uint64_t needed = uint64_t(DibRowBytes(width, int(h.BitCount))) * uint64_t(height);
  if (needed > present) FailTruncated("pixel data", needed, present);
  if (h.BitCount == 2) {
    TDib dib(width, height, 4, bottomUp);
    dib.Palette() = std::move(palette);
    Decode2Bit(pixels, dib);
    return dib;
  }
  if (h.HasMasks()) {
    TDib dib(width, height, h.BitCount == 16 ? 24 : 32, bottomUp);
    DecodeBitFields(pixels, h, dib);
    return dib;
  }
  TDib dib(width, height, int(h.BitCount), bottomUp);
  std::memcpy(dib.Bits(), pixels, dib.BitsSize());
  if (h.BitCount <= 8) dib.Palette() = std::move(palette);
  return dib;
}

TDib LoadBmpFile(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadPictureFile(path);
  try {
    return LoadBmp(bytes.data(), bytes.size());
  } catch (const EPictureError& e) {
    throw EPictureError(path + ": " + e.what());
  }
}

std::vector<uint8_t> SaveBmp(const TDib& bmp, int bitsPerPixel) {
  if (bitsPerPixel != 8 && bitsPerPixel != 24)
    Fail("cannot write a BMP with " + std::to_string(bitsPerPixel) + " bits per pixel (8 or 24 only)");
  if (bmp.Empty()) Fail("cannot write an empty picture as BMP");

  TDib converted;
  const TDib* src = &bmp;
  if (bitsPerPixel == 24 && bmp.BitsPerPixel() != 24) {
    converted = bmp.As24();
    src = &converted;
  } else if (bitsPerPixel == 8 && bmp.BitsPerPixel() != 8) {
    if (bmp.BitsPerPixel() < 8) {
      converted = WidenTo8(bmp);
    } else if (!MapExactColours(bmp, converted)) {
      Fail("cannot write an 8-bit BMP: the picture has more than 256 colours");
    }
    src = &converted;
  }

  std::vector<COLORREF> palette;
  if (bitsPerPixel == 8) {
    palette = src->Palette();
    if (palette.size() > 256) palette.resize(256);
    if (palette.empty()) palette.assign(256, 0);
  }
  const uint32_t width = uint32_t(src->Width()), height = uint32_t(src->Height());
  const size_t rowBytes = size_t(DibRowBytes(width, bitsPerPixel));
  const size_t imageSize = rowBytes * height;
  const size_t offBits = kFileHeaderSize + kInfoHeaderSize + palette.size() * 4;
  if (offBits + imageSize > UINT32_MAX) Fail("picture is too large for a BMP file");

  std::vector<uint8_t> out;
  out.reserve(offBits + imageSize);
  out.push_back('B');
  out.push_back('M');
  Put32(out, uint32_t(offBits + imageSize));
  Put32(out, 0);
  Put32(out, uint32_t(offBits));
  Put32(out, kInfoHeaderSize);
  Put32(out, width);
  Put32(out, height);
  Put16(out, 1);
  Put16(out, uint32_t(bitsPerPixel));
  Put32(out, BI_RGB);
  Put32(out, uint32_t(imageSize));
  Put32(out, 2835);  // 72 dpi
  Put32(out, 2835);
  Put32(out, bitsPerPixel == 8 ? uint32_t(palette.size()) : 0);
  Put32(out, 0);
  for (COLORREF c : palette) {
    out.push_back(GetBValue(c));
    out.push_back(GetGValue(c));
    out.push_back(GetRValue(c));
    out.push_back(0);
  }
  const size_t used = size_t(width) * (bitsPerPixel / 8);
  for (int y = int(height) - 1; y >= 0; --y) {
    const uint8_t* row = src->ScanLine(y);
    out.insert(out.end(), row, row + used);
    out.resize(out.size() + (rowBytes - used), 0);
  }
  return out;
}

void SaveBmpFile(const TDib& bmp, int bitsPerPixel, const std::string& path) {
  WritePictureFile(path, SaveBmp(bmp, bitsPerPixel));
}

TDib QuantizeTo8(const TDib& picture) {
  TDib out;
  if (MapExactColours(picture, out)) return out;
  const std::vector<COLORREF> palette = MedianCutPalette(picture);
  out = TDib(picture.Width(), picture.Height(), 8, picture.BottomUp());
  std::unordered_map<COLORREF, uint8_t> nearest;
  for (int y = 0; y < picture.Height(); ++y) {
    uint8_t* d = out.ScanLine(y);
    for (int x = 0; x < picture.Width(); ++x) {
      const COLORREF c = picture.GetPixel(x, y);
      auto it = nearest.find(c);
      if (it == nearest.end()) it = nearest.emplace(c, NearestEntry(palette, c)).first;
      d[x] = it->second;
    }
  }
  out.Palette() = palette;
  return out;
}

std::vector<uint8_t> ReadPictureFile(const std::string& path) {
  std::unique_ptr<std::FILE, TFileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) Fail("cannot open '" + path + "': " + std::strerror(errno));
  std::vector<uint8_t> bytes;
  uint8_t chunk[65536];
  for (;;) {
    const size_t n = std::fread(chunk, 1, sizeof chunk, file.get());
    bytes.insert(bytes.end(), chunk, chunk + n);
    if (bytes.size() > kMaxFileSize) Fail("'" + path + "' is too large for a picture file");
    if (n < sizeof chunk) break;
  }
  if (std::ferror(file.get())) Fail("cannot read '" + path + "': " + std::strerror(errno));
  return bytes;
}

void WritePictureFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::unique_ptr<std::FILE, TFileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) Fail("cannot create '" + path + "': " + std::strerror(errno));
  if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
    Fail("cannot write '" + path + "': " + std::strerror(errno));
  if (std::fclose(file.release()) != 0) Fail("cannot write '" + path + "': " + std::strerror(errno));
}
