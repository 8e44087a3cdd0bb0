#include "skin/render/sPixelTools.h"

#include <immintrin.h>

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

bool Is24(const TDib* bitmap) { return bitmap && bitmap->BitsPerPixel() == 24 && !bitmap->Empty(); }

uint8_t* PixelAt(uint8_t* row0, int32_t rowDistance, int x, int y) {
  return row0 + std::ptrdiff_t(y) * rowDistance + std::ptrdiff_t(x) * 3;
}

// ---- Weighted blend of byte runs: d := (d * w + s * (255 - w) + 127) >> 8 ----------------
// d * w + s * (255 - w) + 127 is at most 255 * 255 + 127, so it fits 16 unsigned bits and the
// vector versions can work on 16-bit lanes without losing anything.

void BlendBytesScalar(uint8_t* d, const uint8_t* s, size_t n, unsigned w) {
  const unsigned iw = 255 - w;
  for (size_t i = 0; i < n; ++i) d[i] = uint8_t((d[i] * w + s[i] * iw + 127) >> 8);
}

// 16 bytes at a time, then the scalar formula for what is left.
void BlendBytesSse2(uint8_t* d, const uint8_t* s, size_t n, unsigned w) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i vw = _mm_set1_epi16(short(w)), viw = _mm_set1_epi16(short(255 - w)), bias = _mm_set1_epi16(127);
  size_t i = 0;
  for (; i + 16 <= n; i += 16) {
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(dv, zero), vw),
                               _mm_mullo_epi16(_mm_unpacklo_epi8(sv, zero), viw));
    __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(dv, zero), vw),
                               _mm_mullo_epi16(_mm_unpackhi_epi8(sv, zero), viw));
    lo = _mm_srli_epi16(_mm_add_epi16(lo, bias), 8);
    hi = _mm_srli_epi16(_mm_add_epi16(hi, bias), 8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_packus_epi16(lo, hi));
  }
  BlendBytesScalar(d + i, s + i, n - i, w);
}

// 32 bytes at a time, the rest through the SSE2 version. Unpacking and packing both work per
// 128-bit lane, so bytes keep their order.
__attribute__((target("avx2"))) void BlendBytesAvx2(uint8_t* d, const uint8_t* s, size_t n, unsigned w) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i vw = _mm256_set1_epi16(short(w)), viw = _mm256_set1_epi16(short(255 - w));
  const __m256i bias = _mm256_set1_epi16(127);
  size_t i = 0;
  for (; i + 32 <= n; i += 32) {
    const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
    const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
    __m256i lo = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(dv, zero), vw),
                                  _mm256_mullo_epi16(_mm256_unpacklo_epi8(sv, zero), viw));
    __m256i hi = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(dv, zero), vw),
                                  _mm256_mullo_epi16(_mm256_unpackhi_epi8(sv, zero), viw));
    lo = _mm256_srli_epi16(_mm256_add_epi16(lo, bias), 8);
    hi = _mm256_srli_epi16(_mm256_add_epi16(hi, bias), 8);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), _mm256_packus_epi16(lo, hi));
  }
  BlendBytesSse2(d + i, s + i, n - i, w);
}

// 64 bytes at a time where the processor has 512-bit byte and word operations (the AVX2
// version's work is bound by its instruction count), the rest through the AVX2 version.
__attribute__((target("avx512bw"))) void BlendBytesAvx512(uint8_t* d, const uint8_t* s, size_t n, unsigned w) {
  const __m512i zero = _mm512_setzero_si512();
  const __m512i vw = _mm512_set1_epi16(short(w)), viw = _mm512_set1_epi16(short(255 - w));
  const __m512i bias = _mm512_set1_epi16(127);
  size_t i = 0;
  for (; i + 64 <= n; i += 64) {
    const __m512i dv = _mm512_loadu_si512(d + i);
    const __m512i sv = _mm512_loadu_si512(s + i);
    __m512i lo = _mm512_add_epi16(_mm512_mullo_epi16(_mm512_unpacklo_epi8(dv, zero), vw),
                                  _mm512_mullo_epi16(_mm512_unpacklo_epi8(sv, zero), viw));
    __m512i hi = _mm512_add_epi16(_mm512_mullo_epi16(_mm512_unpackhi_epi8(dv, zero), vw),
                                  _mm512_mullo_epi16(_mm512_unpackhi_epi8(sv, zero), viw));
    lo = _mm512_srli_epi16(_mm512_add_epi16(lo, bias), 8);
    hi = _mm512_srli_epi16(_mm512_add_epi16(hi, bias), 8);
    _mm512_storeu_si512(d + i, _mm512_packus_epi16(lo, hi));
  }
  BlendBytesAvx2(d + i, s + i, n - i, w);
}

using TBlendBytes = void (*)(uint8_t*, const uint8_t*, size_t, unsigned);

// The widest version this processor runs, chosen on first use.
TBlendBytes BlendBytesFunction() {
  static const TBlendBytes chosen = [] {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512bw")) return BlendBytesAvx512;
    return __builtin_cpu_supports("avx2") ? BlendBytesAvx2 : BlendBytesSse2;
  }();
  return chosen;
}

// ---- Mixing with a colour: p := round((percent * p + (100 - percent) * c) / 100) -------------
// With n the numerator plus 49 and q = n div 100, the result is (n + (q and 1)) div 100: only
// a tie (numerator mod 100 = 50) moves up, and only from an odd q, so ties go to even. n + 1
// is at most 25550, so 16-bit lanes hold it, and x div 100 is (x * 5243) >> 19 for every such x.

// What one call mixes with: the colour term (plus 49) of every 16-bit lane, laid out once for
// the vector loops. Rows start at a pixel, so byte i belongs to channel i mod 3, and blocks of
// 48 (SSE2) or 96 (AVX2) bytes bring the channels back into step.
struct TMixParams {
  int Percent = 0;
  int Channel[3] = {};
  alignas(16) uint16_t Lanes128[6][8];   // low and high halves of three 16-byte vectors
  alignas(32) uint16_t Lanes256[6][16];  // the same for three 32-byte vectors

  TMixParams(int percent, const int channel[3]) : Percent(percent) {
    for (int k = 0; k < 3; ++k) Channel[k] = channel[k];
    for (int v = 0; v < 6; ++v) {
      for (int l = 0; l < 8; ++l) Lanes128[v][l] = Term(v * 8 + l);
      // 256-bit unpacking works per 128-bit lane: the low half of vector j holds its bytes
      // 0..7 and 16..23, the high half 8..15 and 24..31.
      for (int l = 0; l < 16; ++l) Lanes256[v][l] = Term(32 * (v / 2) + (l < 8 ? l : l + 8) + (v % 2) * 8);
    }
  }
  uint16_t Term(int byte) const { return uint16_t((100 - Percent) * Channel[byte % 3] + 49); }
  uint8_t Mix(uint8_t p, size_t byte) const {
    const int n = Percent * p + Term(int(byte % 3));
    return uint8_t((n + ((n / 100) & 1)) / 100);
  }
};

inline __m128i Mix8Sse2(__m128i v, __m128i k, __m128i percent) {
  const __m128i magic = _mm_set1_epi16(5243);
  const __m128i n = _mm_add_epi16(_mm_mullo_epi16(v, percent), k);
  const __m128i q = _mm_srli_epi16(_mm_mulhi_epu16(n, magic), 3);
  const __m128i up = _mm_and_si128(q, _mm_set1_epi16(1));
  return _mm_srli_epi16(_mm_mulhi_epu16(_mm_add_epi16(n, up), magic), 3);
}

// 48 bytes at a time, then byte by byte.
void MixBytesSse2(uint8_t* p, size_t n, const TMixParams& mix) {
  const __m128i pv = _mm_set1_epi16(short(mix.Percent)), zero = _mm_setzero_si128();
  size_t i = 0;
  for (; i + 48 <= n; i += 48)
    for (int j = 0; j < 3; ++j) {
      __m128i* at = reinterpret_cast<__m128i*>(p + i + 16 * size_t(j));
      const __m128i x = _mm_loadu_si128(at);
      const __m128i klo = _mm_load_si128(reinterpret_cast<const __m128i*>(mix.Lanes128[2 * j]));
      const __m128i khi = _mm_load_si128(reinterpret_cast<const __m128i*>(mix.Lanes128[2 * j + 1]));
      const __m128i lo = Mix8Sse2(_mm_unpacklo_epi8(x, zero), klo, pv);
      const __m128i hi = Mix8Sse2(_mm_unpackhi_epi8(x, zero), khi, pv);
      _mm_storeu_si128(at, _mm_packus_epi16(lo, hi));
    }
  for (; i < n; ++i) p[i] = mix.Mix(p[i], i);
}

__attribute__((target("avx2"))) inline __m256i Mix16Avx2(__m256i v, __m256i k, __m256i percent) {
  const __m256i magic = _mm256_set1_epi16(5243);
  const __m256i n = _mm256_add_epi16(_mm256_mullo_epi16(v, percent), k);
  const __m256i q = _mm256_srli_epi16(_mm256_mulhi_epu16(n, magic), 3);
  const __m256i up = _mm256_and_si256(q, _mm256_set1_epi16(1));
  return _mm256_srli_epi16(_mm256_mulhi_epu16(_mm256_add_epi16(n, up), magic), 3);
}

// 96 bytes at a time; the rest goes through the SSE2 version, still in step since 96 is a
// multiple of 3.
__attribute__((target("avx2"))) void MixBytesAvx2(uint8_t* p, size_t n, const TMixParams& mix) {
  const __m256i pv = _mm256_set1_epi16(short(mix.Percent)), zero = _mm256_setzero_si256();
  size_t i = 0;
  for (; i + 96 <= n; i += 96)
    for (int j = 0; j < 3; ++j) {
      __m256i* at = reinterpret_cast<__m256i*>(p + i + 32 * size_t(j));
      const __m256i x = _mm256_loadu_si256(at);
      const __m256i klo = _mm256_load_si256(reinterpret_cast<const __m256i*>(mix.Lanes256[2 * j]));
      const __m256i khi = _mm256_load_si256(reinterpret_cast<const __m256i*>(mix.Lanes256[2 * j + 1]));
      const __m256i lo = Mix16Avx2(_mm256_unpacklo_epi8(x, zero), klo, pv);
      const __m256i hi = Mix16Avx2(_mm256_unpackhi_epi8(x, zero), khi, pv);
      _mm256_storeu_si256(at, _mm256_packus_epi16(lo, hi));
    }
  MixBytesSse2(p + i, n - i, mix);
}

using TMixBytes = void (*)(uint8_t*, size_t, const TMixParams&);

TMixBytes MixBytesFunction() {
  static const TMixBytes chosen = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? MixBytesAvx2 : MixBytesSse2;
  }();
  return chosen;
}

}  // namespace

// ---- Accessors ------------------------------------------------------------------------------

bool TkvFast24::Attach(TDib* bitmap) {
  Bitmap = bitmap;
  Width = 0;
  Height = 0;
  RowDistance = 0;
  Row0 = nullptr;
  if (!Is24(bitmap) || bitmap->Width() < 2 || bitmap->Height() < 2) return false;
  Width = bitmap->Width();
  Height = bitmap->Height();
  RowDistance = bitmap->RowDistance();
  Row0 = bitmap->Row0();
  return true;
}

TColor TkvFast24::Pixel(int x, int y) const {
  const uint8_t* p = PixelAt(Row0, RowDistance, x, y);
  return TColor(RGB(p[2], p[1], p[0]));
}

void TkvFast24::SetPixel(int x, int y, TColor color) {
  uint8_t* p = PixelAt(Row0, RowDistance, x, y);
  p[0] = GetBValue(COLORREF(color));
  p[1] = GetGValue(COLORREF(color));
  p[2] = GetRValue(COLORREF(color));
}

bool TkvFastSum24::Attach(TDib* source, TDib* destination) {
  Source = source;
  Destination = destination;
  Width = Height = 0;
  SourceRow0 = DestinationRow0 = nullptr;
  SourceRowDistance = DestinationRowDistance = 0;
  if (!Is24(source) || !Is24(destination)) return false;
  if (source->Width() < 2 || source->Height() < 2 || destination->Width() < 2 || destination->Height() < 2)
    return false;
  Width = std::min(source->Width(), destination->Width());
  Height = std::min(source->Height(), destination->Height());
  SourceRow0 = source->Row0();
  DestinationRow0 = destination->Row0();
  SourceRowDistance = source->RowDistance();
  DestinationRowDistance = destination->RowDistance();
  return true;
}

void TkvFastSum24::Blend() {
  if (!SourceRow0 || !DestinationRow0) return;
  // Both rectangles share their size and top-left corner; cut them together to both pictures.
  TRect s = SourceRect, d = DestinationRect;
  const int w0 = std::min(s.Width(), d.Width()), h0 = std::min(s.Height(), d.Height());
  s.Right = s.Left + w0;
  s.Bottom = s.Top + h0;
  const int cutLeft = std::max({0, -s.Left, -d.Left}), cutTop = std::max({0, -s.Top, -d.Top});
  const int w = std::min({w0 - cutLeft, Source->Width() - s.Left - cutLeft, Destination->Width() - d.Left - cutLeft});
  const int h = std::min({h0 - cutTop, Source->Height() - s.Top - cutTop, Destination->Height() - d.Top - cutTop});
  if (w <= 0 || h <= 0) return;
  const size_t bytes = size_t(w) * 3;
  const TBlendBytes blendBytes = BlendBytesFunction();
  for (int y = 0; y < h; ++y) {
    uint8_t* dp = PixelAt(DestinationRow0, DestinationRowDistance, d.Left + cutLeft, d.Top + cutTop + y);
    const uint8_t* sp = PixelAt(SourceRow0, SourceRowDistance, s.Left + cutLeft, s.Top + cutTop + y);
    blendBytes(dp, sp, bytes, Weight);
  }
}

TkvFast24& SharedFast24A() {
  static TkvFast24 a;
  return a;
}
TkvFast24& SharedFast24B() {
  static TkvFast24 b;
  return b;
}
TkvFastSum24& SharedFastSum24() {
  static TkvFastSum24 s;
  return s;
}

// ---- Tools ----------------------------------------------------------------------------------

void FillRectColor(HDC dc, const TRect& r, TColor color) {
  if (!dc) return;
  const int saved = SaveDC(dc);
  FillRect(dc, &r, CreateSolidBrush(ColorToRGB(color)));
  RestoreDC(dc, saved);
}

std::unique_ptr<TDib> CreateBitmap24(int width, int height) {
  return std::make_unique<TDib>(std::max(width, 0), std::max(height, 0), 24);
}

void MixColor(TDib* bitmap, TRect r, int percent, TColor color) {
  if (!Is24(bitmap)) return;
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  r.Right = std::min(r.Right, bitmap->Width() - 1);
  r.Bottom = std::min(r.Bottom, bitmap->Height() - 1);
  if (r.Right < r.Left || r.Bottom < r.Top) return;
  percent = std::clamp(percent, 0, 100);
  const COLORREF c = ColorToRGB(color);
  const int channel[3] = {GetBValue(c), GetGValue(c), GetRValue(c)};
  const TMixParams mix(percent, channel);
  uint8_t* row0 = bitmap->Row0();
  const int32_t dist = bitmap->RowDistance();
  const size_t bytes = size_t(r.Right - r.Left + 1) * 3;
  const TMixBytes mixBytes = MixBytesFunction();
  for (int y = r.Top; y <= r.Bottom; ++y) mixBytes(PixelAt(row0, dist, r.Left, y), bytes, mix);
}

void BlendImage(TDib* destination, TDib* source, int weight, TPoint point, TRect sourceRect) {
  if (!Is24(destination) || !Is24(source)) return;
  if (point.X < 0) {
    sourceRect.Left -= point.X;
    point.X = 0;
  }
  if (point.Y < 0) {
    sourceRect.Top -= point.Y;
    point.Y = 0;
  }
  if (sourceRect.Left < 0) {
    point.X -= sourceRect.Left;
    sourceRect.Left = 0;
  }
  if (sourceRect.Top < 0) {
    point.Y -= sourceRect.Top;
    sourceRect.Top = 0;
  }
  sourceRect.Right = std::min({sourceRect.Right, source->Width(), sourceRect.Left + destination->Width() - point.X});
  sourceRect.Bottom =
      std::min({sourceRect.Bottom, source->Height(), sourceRect.Top + destination->Height() - point.Y});
  if (sourceRect.IsEmpty()) return;
  TkvFastSum24& sum = SharedFastSum24();
  if (!sum.Attach(source, destination)) return;
  sum.Weight = uint8_t(weight);
  sum.SourceRect = sourceRect;
  sum.DestinationRect = Bounds(point.X, point.Y, sourceRect.Width(), sourceRect.Height());
  sum.Blend();
}

void BlendSameSize(TDib* destination, TDib* source, int weight) {
  if (!Is24(destination) || !Is24(source)) return;
  if (destination->Width() != source->Width() || destination->Height() != source->Height()) return;
  TkvFastSum24& sum = SharedFastSum24();
  if (!sum.Attach(source, destination)) return;
  sum.Weight = uint8_t(weight);
  sum.SourceRect = source->BoundsRect();
  sum.DestinationRect = destination->BoundsRect();
  sum.Blend();
}

void BlendKeyed(TDib* destination, int x, int y, TColor key, double factor, TRect sourceRect, TDib* source) {
  if (!Is24(destination) || !Is24(source)) return;
  if (sourceRect.Left < 0) {
    x -= sourceRect.Left;
    sourceRect.Left = 0;
  }
  if (sourceRect.Top < 0) {
    y -= sourceRect.Top;
    sourceRect.Top = 0;
  }
  sourceRect.Right = std::min(sourceRect.Right, source->Width());
  sourceRect.Bottom = std::min(sourceRect.Bottom, source->Height());
  if (sourceRect.IsEmpty()) return;
  const bool keyed = uint32_t(key) < 0xFF000000u;
  const uint8_t kb = GetBValue(COLORREF(key)), kg = GetGValue(COLORREF(key)), kr = GetRValue(COLORREF(key));
  // Destination columns that exist: x + i in [0, width).
  const int i0 = std::max(0, -x), i1 = std::min(sourceRect.Width(), destination->Width() - x);
  const int j0 = std::max(0, -y), j1 = std::min(sourceRect.Height(), destination->Height() - y);
  if (i0 >= i1 || j0 >= j1) return;
  uint8_t* dRow0 = destination->Row0();
  const uint8_t* sRow0 = source->Row0();
  const int32_t dDist = destination->RowDistance(), sDist = source->RowDistance();
  for (int j = j0; j < j1; ++j) {
    uint8_t* d = PixelAt(dRow0, dDist, x + i0, y + j);
    const uint8_t* s = sRow0 + std::ptrdiff_t(sourceRect.Top + j) * sDist + std::ptrdiff_t(sourceRect.Left + i0) * 3;
    for (int i = i0; i < i1; ++i, d += 3, s += 3) {
      if (keyed && s[0] == kb && s[1] == kg && s[2] == kr) continue;
      for (int k = 0; k < 3; ++k) d[k] = uint8_t(std::nearbyint(s[k] - factor * (s[k] - d[k])));
    }
  }
}

namespace {

void GrayscaleImpl(TDib* bitmap, bool keyed, COLORREF key) {
  if (!Is24(bitmap)) return;
  const uint8_t kb = GetBValue(key), kg = GetGValue(key), kr = GetRValue(key);
  uint8_t* row0 = bitmap->Row0();
  const int32_t dist = bitmap->RowDistance();
  for (int y = 0; y < bitmap->Height(); ++y) {
    uint8_t* p = row0 + std::ptrdiff_t(y) * dist;
    for (int x = 0; x < bitmap->Width(); ++x, p += 3) {
      if (keyed && p[0] == kb && p[1] == kg && p[2] == kr) continue;
      p[0] = p[1] = p[2] = uint8_t((p[0] + p[1] + p[2]) / 3);
    }
  }
}

}  // namespace

void Grayscale(TDib* bitmap) { GrayscaleImpl(bitmap, false, 0); }

void GrayscaleKeyed(TDib* bitmap, TColor key) { GrayscaleImpl(bitmap, true, COLORREF(key)); }

void MixMasked(TDib* target, TDib* mask, TColor color) {
  if (!Is24(target) || !Is24(mask)) return;
  if (target->Width() != mask->Width() || target->Height() != mask->Height()) return;
  const COLORREF c = ColorToRGB(color);
  const int channel[3] = {GetBValue(c), GetGValue(c), GetRValue(c)};
  uint8_t* tRow0 = target->Row0();
  const uint8_t* mRow0 = mask->Row0();
  const int32_t tDist = target->RowDistance(), mDist = mask->RowDistance();
  for (int y = 0; y < target->Height(); ++y) {
    uint8_t* t = tRow0 + std::ptrdiff_t(y) * tDist;
    const uint8_t* m = mRow0 + std::ptrdiff_t(y) * mDist;
    for (int i = 0; i < target->Width() * 3; ++i) {
      const int ch = channel[i % 3];
      t[i] = uint8_t(std::clamp((ch * 256 + m[i] * (t[i] - ch)) >> 8, 0, 255));
    }
  }
}
