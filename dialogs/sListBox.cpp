#include "dialogs/sListBox.h"

#include "controls/sTextWriter.h"
#include "platform/components/PropertyBuilder.h"
#include "platform/graphics/DC.h"
#include "platform/graphics/Text.h"
#include "skin/data/sSkinManager.h"
#include "skin/render/sMaskPainter.h"

namespace {
// A list is one of the kinds drawn from the "EDIT" section.
constexpr int kControlKind = 6;
// The skin's look of a chosen item.
constexpr const char* kSelectionSection = "MENUITEM";
}  // namespace

TsListBox::TsListBox(TComponent* owner) : TListBox(owner), FSkinData(this, true), FFace(this, &FSkinData) {
  FSkinData.ControlKind = kControlKind;
  FSkinData.AfterLoad();
}

void TsListBox::Loaded() {
  TListBox::Loaded();
  FSkinData.AfterLoad();
}

void TsListBox::PaintBackground(TCanvas* canvas, const TRect& client) {
  if (!FFace.Skinned()) {
    TListBox::PaintBackground(canvas, client);
    return;
  }
  FFace.PaintClient(canvas->Handle(), client);
}

COLORREF TsListBox::PaintSelection(HDC dc, const TRect& rect, TColor contours[4]) {
  TsSkinManager* manager = FSkinData.GetSkinManager();
  const int section = manager ? manager->FindSection(kSelectionSection) : -1;
  if (!manager || section < 0 || rect.IsEmpty()) {
    FillRect(dc, &rect, CreateSolidBrush(GetSysColor(COLOR_HIGHLIGHT)));
    return GetSysColor(COLOR_HIGHLIGHTTEXT);
  }
  // The band is composed over the list's own face, which shows through where it is clear.
  const TDib* face = FFace.Face();
  const TPoint offset = FFace.ClientOffset();
  const TPoint at{rect.Left + offset.X, rect.Top + offset.Y};
  TDib band(rect.Width(), rect.Height());
  if (face) {
    TDC to(&band), from(const_cast<TDib*>(face));
    BitBlt(&to, 0, 0, band.Width(), band.Height(), &from, at.X, at.Y, SRCCOPY);
  } else {
    band.Fill(FFace.BackgroundColour());
  }
  TsBgSource behind;
  behind.Image = const_cast<TDib*>(face);
  behind.Valid = face != nullptr;
  PaintSkinSection(section, kSelectionSection, behind, -1, -1, manager, &band, at, {0, 0, band.Width(), band.Height()}, 1,
                   true);
  TDC from(&band);
  BitBlt(dc, rect.Left, rect.Top, band.Width(), band.Height(), &from, 0, 0, SRCCOPY);
  const TsGeneralData& s = manager->Sections()[size_t(section)];
  contours[0] = s.HotTCLeft;
  contours[1] = s.HotTCTop;
  contours[2] = s.HotTCRight;
  contours[3] = s.HotTCBottom;
  return ColorToRGB(s.HotFontColor);
}

void TsListBox::DrawItem(int index, const TRect& rect, bool selected) {
  if (!FFace.Skinned()) {
    TListBox::DrawItem(index, rect, selected);
    return;
  }
  HDC dc = Canvas()->Handle();
  TColor contours[4] = {-1, -1, -1, -1};
  COLORREF colour = selected ? PaintSelection(dc, rect, contours) : FFace.TextColour();
  if (selected && !Enabled()) colour = FFace.TextColour();
  SetBkMode(dc, TRANSPARENT);
  const TRect text{rect.Left + 2, rect.Top, rect.Right, rect.Bottom};
  static constexpr int kDx[4] = {-1, 0, 1, 0}, kDy[4] = {0, -1, 0, 1};
  for (int side = 0; side < 4; ++side) {
    if (contours[side] == -1) continue;
    SetTextColor(dc, ColorToRGB(contours[side]));
    TRect at = text.Offset(kDx[side], kDy[side]);
    DrawText(dc, Items()->Strings()[size_t(index)], &at, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  SetTextColor(dc, colour);
  TRect at = text;
  DrawText(dc, Items()->Strings()[size_t(index)], &at, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void TsListBox::DrawItemFocus(HDC dc, const TRect& rect) {
  if (!FFace.Skinned()) {
    TListBox::DrawItemFocus(dc, rect);
    return;
  }
  TsSkinManager* manager = FSkinData.GetSkinManager();
  if (!manager->Sections()[size_t(FSkinData.SectionIndex)].ShowFocus) return;
  // The frame's dots go on its right and bottom edges too: keep them inside the item.
  DrawDottedFocusRect(Canvas(), {rect.Left, rect.Top, rect.Right - 1, rect.Bottom - 1});
}

void TsListBox::CreateParams(TCreateParams& params) {
  TListBox::CreateParams(params);
  // The skinned bar is a child window: the list paints around it.
  params.Style |= WS_CLIPCHILDREN;
}

bool TsListBox::DrawsScrollBar() const { return !(FFace.Skinned() && FBar); }

void TsListBox::ScrollStateChanged() {
  if (FUpdatingBar || InState(csDestroying | csLoading)) return;
  if (!FFace.Skinned()) {
    if (FBar) FBar->SetVisible(false);
    return;
  }
  if (!HandleAllocated()) return;
  FUpdatingBar = true;
  if (!FBar) {
    FBar = new TsScrollBar(this);
    FBar->SetVisible(false);
    FBar->SetKind(sbVertical);
    FBar->SetTabStop(false);
    FBar->SetParent(this);
    FBar->SetOwnerControl(this, [this](int) { SetTopIndex(FBar->Position()); });
  }
  if (ScrollBarVisible()) {
    const TRect r = ScrollBarRect();
    FBar->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    FBar->SmallChange = 1;
    FBar->LargeChange = std::max(1, VisibleRows() - 1);
    FBar->SetPageSize(VisibleRows());
    FBar->SetParams(TopIndex(), 0, std::max(1, MaxTopIndex()));
    FBar->SetEnabled(Enabled());
    FBar->SetVisible(true);
  } else {
    FBar->SetVisible(false);
  }
  FUpdatingBar = false;
}

void TsListBox::WndProc(TMessage& m) {
  if (m.Msg == SM_KARVOCMD) {
    FFace.HandleSkinCommand(m);
    const unsigned command = SkinCommandOf(m.WParam);
    // The bar comes and goes with the skin; the built-in one stands in without it.
    if (command == AC_SKINCHANGED || command == AC_REMOVESKIN || command == AC_REFRESH) {
      if (FBar) SendSkinCommand(FBar, command, 0, m.LParam);
      ScrollStateChanged();
      if (HandleAllocated()) Invalidate();
    } else if (FBar && command == AC_UPDATEFINISHED) {
      SendSkinCommand(FBar, command, 0, m.LParam);
    }
    return;
  }
  if (m.Msg == CM_ENABLEDCHANGED && FBar) FBar->SetEnabled(Enabled());
  if (FFace.Skinned() && FFace.HandleMessage(m)) return;
  if (!FSkinData.HandleMessage(m)) TListBox::WndProc(m);
  FFace.FollowState();
}

const TPropertyTable& TsListBox::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TCustomListBox::ClassProperties());
    TPropertyBuilder<TsListBox> b(t);
    b.Object("SkinData", [](TsListBox& c) -> TPersistent* { return c.SkinData(); });
    return t;
  }();
  return table;
}

void RegisterTsListBoxClass() { RegisterComponentClass<TsListBox>("TsListBox"); }
