#include "tools/skinart/ContactSheet.h"

#include <algorithm>

#include "platform/graphics/DC.h"
#include "platform/graphics/PngFile.h"
#include "platform/graphics/Text.h"

namespace SkinArt {

namespace {

constexpr int kZoom = 4;

void FrameBox(TDC& dc, const TRect& r, COLORREF colour) {
  FrameRect(&dc, &r, CreateSolidBrush(colour));
}

}  // namespace

void RenderContactSheet(const TPictures& pictures, const std::vector<TMask>& masks, const std::string& path) {
  const TDib master = pictures.Master.As24(), huge = pictures.Huge.As24();
  TDib probe(1, 1);
  TDC measure(&probe);
  auto textWidth = [&](const std::string& s) {
    TSize size;
    GetTextExtentPoint32(&measure, s, &size);
    return size.cx;
  };
  constexpr int kSheetWidth = 1400, kGap = 14, kTextRows = 30;
  struct TCell {
    const TMask* Mask;
    TRect Box;
  };
  std::vector<TCell> cells;
  int x = kGap, y = kGap, rowHeight = 0;
  for (const TMask& m : masks) {
    const int w = std::max(m.R.Width() * kZoom + 2, std::max(textWidth(m.Section), textWidth(m.Property)));
    const int h = m.R.Height() * kZoom + 2 + kTextRows;
    if (x + w > kSheetWidth - kGap && x > kGap) {
      x = kGap;
      y += rowHeight + kGap;
      rowHeight = 0;
    }
    cells.push_back({&m, Bounds(x, y, w, h)});
    x += w + kGap;
    rowHeight = std::max(rowHeight, h);
  }
  TDib sheet(kSheetWidth, y + rowHeight + kGap, 24);
  sheet.Fill(RGB(0x9A, 0x9A, 0x9A));
  TDC dc(&sheet);
  SetBkMode(&dc, TRANSPARENT);
  SetTextColor(&dc, RGB(0, 0, 0));
  for (const TCell& cell : cells) {
    const TMask& m = *cell.Mask;
    TDib source = m.Carried ? huge : master;
    TDC src(&source);
    const int left = cell.Box.Left + (cell.Box.Width() - m.R.Width() * kZoom - 2) / 2;
    StretchBlt(&dc, left + 1, cell.Box.Top + 1, m.R.Width() * kZoom, m.R.Height() * kZoom, &src, m.R.Left, m.R.Top,
               m.R.Width(), m.R.Height(), SRCCOPY);
    FrameBox(dc, Bounds(left, cell.Box.Top, m.R.Width() * kZoom + 2, m.R.Height() * kZoom + 2), RGB(0x40, 0x40, 0x40));
    TRect text = {cell.Box.Left, cell.Box.Bottom - kTextRows + 2, cell.Box.Right, cell.Box.Bottom - kTextRows + 15};
    DrawText(&dc, m.Section, &text, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
    text = text.Offset(0, 13);
    DrawText(&dc, m.Property, &text, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  SavePngFile(sheet, path);
}

}  // namespace SkinArt
