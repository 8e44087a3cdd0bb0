#include "controls/sHintWindow.h"

#include <algorithm>

#include "controls/sTextWriter.h"
#include "platform/graphics/Text.h"
#include "skin/data/sSkinManager.h"
#include "skin/render/sMaskPainter.h"

namespace {
constexpr char kSection[] = "HINT";
// Between the border mask's inner edge and the text.
constexpr int kTextGapX = 2, kTextGapY = 1;
}  // namespace

TsSkinManager* TsHintWindow::SkinFor(int& section) {
  TsSkinManager* manager = DefaultManager();
  section = -1;
  if (!manager || !manager->Active() || !manager->SkinData().Ready) return nullptr;
  section = manager->FindSection(kSection);
  return section >= 0 ? manager : nullptr;
}

TRect TsHintWindow::MaskBorders(TsSkinManager* manager, int section) {
  const int mask = manager->FindMask(section, kSection, "BORDERSMASK");
  if (!manager->IsValidMaskIndex(mask)) return {};
  return {manager->MaskBorderLeft(mask), manager->MaskBorderTop(mask), manager->MaskBorderRight(mask),
          manager->MaskBorderBottom(mask)};
}

TRect TsHintWindow::CalcHintRect(int maxWidth, const std::string& text) {
  int section;
  TsSkinManager* manager = SkinFor(section);
  if (!manager) return THintWindow::CalcHintRect(maxWidth, text);
  const TRect b = MaskBorders(manager, section);
  const int extraX = b.Left + b.Right + 2 * kTextGapX + 2, extraY = b.Top + b.Bottom + 2 * kTextGapY;
  const TSize t = MeasureHintText(text, maxWidth - extraX);
  return {0, 0, t.cx + extraX, t.cy + extraY};
}

void TsHintWindow::Paint() {
  int section;
  TsSkinManager* manager = SkinFor(section);
  if (!manager) {
    THintWindow::Paint();
    return;
  }
  const int w = std::max(Width(), 1), h = std::max(Height(), 1);
  TDib face(w, h);
  TsBgSource none;
  PaintSkinSection(section, kSection, none, -1, -1, manager, &face, {0, 0}, {0, 0, w, h}, 0, true);
  TDC dc(&face);
  SelectFont(&dc, HintFont());
  TEXTMETRIC metrics;
  GetTextMetrics(&dc, &metrics);
  const TRect b = MaskBorders(manager, section);
  const TsGeneralData* data = &manager->Sections()[size_t(section)];
  // Line by line: the skin's text painter writes one line at a time.
  const std::string text = Caption();
  int top = b.Top + kTextGapY;
  for (size_t start = 0; start <= text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const TRect line{b.Left + kTextGapX + 1, top, w - b.Right - kTextGapX, top + metrics.tmHeight};
    DrawSkinnedText(&dc, text.substr(start, end - start), line, DT_LEFT | DT_NOPREFIX, data, false, true,
                    GetSysColor(COLOR_INFOTEXT));
    top += metrics.tmHeight;
    start = end + 1;
  }
  BitBlt(Canvas()->Handle(), 0, 0, w, h, &dc, 0, 0, SRCCOPY);
}

void TsHintWindow::Resized() {
  if (!HandleAllocated()) return;
  int section;
  TsSkinManager* manager = SkinFor(section);
  const int mask = manager ? manager->FindMask(section, kSection, "BORDERSMASK") : -1;
  std::vector<TRect> holes;
  if (manager && manager->IsValidMaskIndex(mask))
    holes = BorderMaskCornerHoles(manager->Masks()[size_t(mask)], manager->MasterBitmap(), Width(), Height());
  if (holes.empty()) {
    SetWindowRgn(Handle(), nullptr, false);
    return;
  }
  TRegion outline(TRect{0, 0, Width(), Height()});
  for (const TRect& r : holes) outline = outline.Subtract(TRegion(r));
  SetWindowRgn(Handle(), &outline, false);
}

void RegisterSkinnedHints() {
  HintWindowClass() = [](TComponent* owner) -> THintWindow* { return new TsHintWindow(owner); };
}
