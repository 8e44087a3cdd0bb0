#include "skin/render/sGradient.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

#include "platform/graphics/DC.h"

namespace {

// The channels of a colour in pixel order: blue, green, red.
void Channels(TColor color, int out[3]) {
  const COLORREF c = COLORREF(color);
  out[0] = GetBValue(c);
  out[1] = GetGValue(c);
  out[2] = GetRValue(c);
}

// A colour run over `steps` steps: each channel is a single-precision value that starts at
// the first colour and grows by a double-precision step, stored back as single precision.
class TColorRun {
 public:
  TColorRun(TColor from, TColor to, int steps) {
    int a[3], b[3];
    Channels(from, a);
    Channels(to, b);
    for (int k = 0; k < 3; ++k) {
      FValue[k] = float(a[k]);
      FStep[k] = (double(b[k]) - FValue[k]) / steps;
    }
  }
  void Current(uint8_t out[3]) const {
    for (int k = 0; k < 3; ++k) out[k] = uint8_t(std::clamp(std::nearbyint(double(FValue[k])), 0.0, 255.0));
  }
  void Advance() {
    for (int k = 0; k < 3; ++k) FValue[k] = float(FValue[k] + FStep[k]);
  }

 private:
  float FValue[3];
  double FStep[3];
};

void FillRow(uint8_t* row, int left, int right, const uint8_t color[3]) {
  uint8_t* p = row + std::ptrdiff_t(left) * 3;
  for (int x = left; x <= right; ++x, p += 3) {
    p[0] = color[0];
    p[1] = color[1];
    p[2] = color[2];
  }
}

// Bands from top to bottom; `r` is already cut to the bitmap.
void PaintVertical(TDib* bitmap, const TRect& r, const TsGradArray& pieces) {
  const int lastRow = r.Bottom - 1, lastColumn = r.Right - 1;
  if (lastColumn < r.Left) return;
  int y = r.Top;
  for (size_t i = 0; i < pieces.size(); ++i) {
    const int start = y;
    y = start + pieces[i].Percent * r.Height() / 100;
    y = i + 1 == pieces.size() ? lastRow : std::min(y, lastRow);
    if (y - start <= 0) continue;
    TColorRun run(pieces[i].Color1, pieces[i].Color2, y - start);
    for (int row = start; row <= y; ++row) {
      uint8_t c[3];
      run.Current(c);
      FillRow(bitmap->ScanLine(row), r.Left, lastColumn, c);
      run.Advance();
    }
  }
}

// Bands from left to right: every row gets the same colours, so one row is computed and
// copied to the others.
void PaintHorizontal(TDib* bitmap, const TRect& r, const TsGradArray& pieces) {
  if (r.IsEmpty()) return;
  const int lastColumn = r.Right - 1;
  std::vector<uint8_t> line(size_t(r.Width()) * 3);
  int painted = -1;  // last column that a piece reached
  int x = r.Left;
  for (size_t i = 0; i < pieces.size(); ++i) {
    const int start = x;
    x = int(std::nearbyint(pieces[i].Percent * (r.Width() / 100.0) + start));
    x = i + 1 == pieces.size() ? lastColumn : std::min(x, lastColumn);
    if (x - start <= 0) continue;
    TColorRun run(pieces[i].Color1, pieces[i].Color2, x - start);
    for (int column = start; column <= x; ++column) {
      run.Current(&line[size_t(column - r.Left) * 3]);
      run.Advance();
    }
    painted = std::max(painted, x);
  }
  // Columns that no piece reached keep their pixels.
  if (painted < r.Left) return;
  const size_t bytes = size_t(painted - r.Left + 1) * 3;
  for (int row = r.Top; row < r.Bottom; ++row)
    std::memcpy(bitmap->ScanLine(row) + std::ptrdiff_t(r.Left) * 3, line.data(), bytes);
}

// Four triangles from the corners to the centre, coloured by the first colours of up to five
// pieces (a vertex without a piece repeats the colour before it).
void PaintTriangles(TDib* bitmap, const TRect& r, const TsGradArray& pieces) {
  TRIVERTEX v[5] = {
      {r.Left, r.Top, 0, 0, 0, 0},
      {r.Left + r.Width() / 2, r.Top + r.Height() / 2, 0, 0, 0, 0},
      {r.Right, r.Top, 0, 0, 0, 0},
      {r.Right, r.Bottom, 0, 0, 0, 0},
      {r.Left, r.Bottom, 0, 0, 0, 0},
  };
  COLORREF color = 0;
  for (size_t i = 0; i < 5; ++i) {
    if (i < pieces.size()) color = COLORREF(pieces[i].Color1);
    v[i].Red = COLOR16(GetRValue(color) << 8);
    v[i].Green = COLOR16(GetGValue(color) << 8);
    v[i].Blue = COLOR16(GetBValue(color) << 8);
    v[i].Alpha = 0;
  }
  const GRADIENT_TRIANGLE mesh[4] = {{0, 1, 2}, {1, 2, 3}, {0, 1, 4}, {4, 1, 3}};
  TDC dc(bitmap);
  GradientFill(&dc, v, 5, mesh, 4, GRADIENT_FILL_TRIANGLE);
}

}  // namespace

void PaintGradient(TDib* bitmap, TRect r, const TsGradArray& pieces) {
  if (!bitmap || bitmap->BitsPerPixel() != 24 || bitmap->Empty()) return;
  r.Right = std::min(r.Right, bitmap->Width());
  r.Bottom = std::min(r.Bottom, bitmap->Height());
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  if (pieces.empty()) return;
  switch (pieces[0].Mode) {
    case 0: PaintVertical(bitmap, r, pieces); break;
    case 1: PaintHorizontal(bitmap, r, pieces); break;
    case 2: PaintTriangles(bitmap, r, pieces); break;
    default: break;
  }
}
