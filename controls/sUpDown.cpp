#include "controls/sUpDown.h"

#include "platform/components/PropertyBuilder.h"
#include "platform/graphics/DC.h"
#include "skin/data/sSkinManager.h"
#include "skin/render/sCommonData.h"
#include "skin/render/sMaskPainter.h"

namespace {

// The parent's cached face as a background source (Valid false when it has none).
TsBgSource ParentSource(TControl* control) {
  TsBgSource& published = PublishedBgSource();
  published.Valid = false;
  if (control->Parent()) {
    try {
      SendSkinCommand(control->Parent(), AC_GETCACHE);
    } catch (...) {
      published.Valid = false;
    }
  }
  TsBgSource source = published;
  source.Valid = source.Valid && source.Image && !source.Image->Empty();
  return source;
}

}  // namespace

TsUpDown::TsUpDown(TComponent* owner) : TCustomUpDown(owner) { SetTabStop(false); }

void TsUpDown::CreateParams(TCreateParams& params) {
  TCustomUpDown::CreateParams(params);
  // A quick second press is another press, not a double click.
  params.WindowClassStyle &= ~CS_DBLCLKS;
}

// ---- Properties -------------------------------------------------------------------------------

void TsUpDown::SetButtonSkin(const std::string& value) {
  if (value == FButtonSkin) return;
  FButtonSkin = value;
  Invalidate();
}

void TsUpDown::SetDisabledKind(uint32_t value) {
  if (value == FDisabledKind) return;
  FDisabledKind = value;
  Invalidate();
}

void TsUpDown::SetShowInaccessibility(bool value) {
  if (value == FShowInaccessibility) return;
  FShowInaccessibility = value;
  SetDrawingState(Available(FDrawingState));
  Invalidate();
}

// ---- State ------------------------------------------------------------------------------------

TUDBtnType TsUpDown::ButtonOf(bool first) const {
  // The toolkit's next button is the right one, or the top one when vertical.
  const bool next = FOrientation == udHorizontal ? !first : first;
  return next ? btNext : btPrev;
}

TsDrawingState TsUpDown::Available(TsDrawingState state) const {
  if (state == dsNormal || !FShowInaccessibility) return state;
  const bool first = state == dsFirstHot || state == dsFirstPressed;
  return AtLimit(ButtonOf(first)) ? dsNormal : state;
}

void TsUpDown::SetDrawingState(TsDrawingState value) {
  if (value == FDrawingState) return;
  FDrawingState = value;
  Invalidate();
}

void TsUpDown::PositionChanged() {
  SetDrawingState(Available(FDrawingState));
  Invalidate();
}

void TsUpDown::MouseMove(TShiftState shift, int x, int y) {
  const std::shared_ptr<bool> alive = FAlive;
  TCustomUpDown::MouseMove(shift, x, y);
  if (!*alive || InState(csDesigning)) return;
  TUDBtnType half;
  if (!ButtonAt(x, y, half)) return;
  const bool first = half == ButtonOf(true);
  if (FShowInaccessibility && AtLimit(half)) SetDrawingState(dsNormal);
  else if (!FPressed) SetDrawingState(first ? dsFirstHot : dsSecondHot);
}

void TsUpDown::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  const std::shared_ptr<bool> alive = FAlive;
  TCustomUpDown::MouseDown(button, shift, x, y);  // moves the position
  if (!*alive || button != mbLeft || InState(csDesigning)) return;
  FPressed = true;
  if (FDrawingState == dsFirstHot) SetDrawingState(Available(dsFirstPressed));
  else if (FDrawingState == dsSecondHot) SetDrawingState(Available(dsSecondPressed));
}

void TsUpDown::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  const std::shared_ptr<bool> alive = FAlive;
  TCustomUpDown::MouseUp(button, shift, x, y);
  if (!*alive || button != mbLeft || !FPressed || InState(csDesigning)) return;
  FPressed = false;
  // The button under the pointer becomes hot again, unless it is unavailable now.
  TUDBtnType half;
  if (!ButtonAt(x, y, half)) SetDrawingState(dsNormal);
  else SetDrawingState(Available(half == ButtonOf(true) ? dsFirstHot : dsSecondHot));
}

// ---- Painting ---------------------------------------------------------------------------------

bool TsUpDown::FindLooks(TButtonLook& first, TButtonLook& second) const {
  TsSkinManager* manager = DefaultManager();
  if (!manager || manager->InState(csDestroying)) return false;
  const TsPresetIndexes& preset = manager->Indexes();
  auto scrollButton = [](TButtonLook& look, const char* name, int section, int mask, int pattern, int hotPattern,
                         int glyph) {
    look.Section = name;
    look.SectionIndex = section;
    look.BorderMask = mask;
    look.Pattern = pattern;
    look.HotPattern = hotPattern;
    look.Glyph = glyph;
  };
  if (FOrientation == udHorizontal) {
    scrollButton(first, "SCROLLBTNLEFT", preset.ScrollBtnLeft, preset.ScrollBtnLeftMask, preset.ScrollBtnLeftPattern,
                 preset.ScrollBtnLeftHotPattern, preset.ScrollBtnLeftGlyph);
    scrollButton(second, "SCROLLBTNRIGHT", preset.ScrollBtnRight, preset.ScrollBtnRightMask,
                 preset.ScrollBtnRightPattern, preset.ScrollBtnRightHotPattern, preset.ScrollBtnRightGlyph);
  } else {
    scrollButton(first, "SCROLLBTNTOP", preset.ScrollBtnTop, preset.ScrollBtnTopMask, preset.ScrollBtnTopPattern,
                 preset.ScrollBtnTopHotPattern, preset.ScrollBtnTopGlyph);
    scrollButton(second, "SCROLLBTNBOTTOM", preset.ScrollBtnBottom, preset.ScrollBtnBottomMask,
                 preset.ScrollBtnBottomPattern, preset.ScrollBtnBottomHotPattern, preset.ScrollBtnBottomGlyph);
  }
  if (!manager->IsValidSectionIndex(first.SectionIndex) || !manager->IsValidSectionIndex(second.SectionIndex))
    return false;
  // A button skin the active skin lacks leaves the scroll-button sections in place.
  const std::string own = UpperCase(FButtonSkin);
  const int ownIndex = own.empty() ? -1 : manager->FindSection(own);
  if (manager->IsValidSectionIndex(ownIndex)) {
    for (TButtonLook* look : {&first, &second}) {
      look->Section = own;
      look->SectionIndex = ownIndex;
      look->BorderMask = manager->FindMask(ownIndex, own, "BORDERSMASK");
      look->Pattern = manager->FindTexture(ownIndex, own, "PATTERN");
      look->HotPattern = manager->FindTexture(ownIndex, own, "HOTPATTERN");
    }
  }
  return true;
}

bool TsUpDown::MustWait() {
  TsSkinManager* manager = DefaultManager();
  if (!manager || !manager->SkinData().Ready) return true;
  return Parent() && AskSkinQuery(Parent(), AC_DEFERREDQUERY);
}

void TsUpDown::PaintButton(const TButtonLook& look, bool first, TDib& bitmap, TPoint offset) {
  TsSkinManager* manager = DefaultManager();
  const int bw = bitmap.Width(), bh = bitmap.Height();
  const TRect r{0, 0, bw, bh};
  const TPoint p{Left() + offset.X, Top() + offset.Y};
  const TUDBtnType button = ButtonOf(first);
  int state = 0;
  if (FDrawingState == (first ? dsFirstHot : dsSecondHot)) state = 1;
  else if (FDrawingState == (first ? dsFirstPressed : dsSecondPressed)) state = 2;
  const TColor parentColor = Parent() ? TColor(ColorToRGB(Parent()->Color())) : TColor(ColorToRGB(Color()));

  TsBgSource source = ParentSource(this);
  // Without a face behind the buttons, the parent's colour shows through them.
  const bool fill = !source.Valid;
  if (fill) GlyphFillColor = ParentFillColor = parentColor;
  PaintSectionBackgroundFixed(look.SectionIndex, look.Pattern, look.HotPattern, manager, &bitmap, p, r, state, source,
                              look.Section);
  if (manager->IsValidMaskIndex(look.BorderMask)) {
    source = ParentSource(this);
    source.OffsetX += p.X;
    source.OffsetY += p.Y;
    PaintBorderMask(&bitmap, r, true, true, state, manager->Masks()[size_t(look.BorderMask)], source);
  }
  if (fill) GlyphFillColor = ParentFillColor = TColor(kSkinKeyColor);

  if (manager->IsValidMaskIndex(look.Glyph)) {
    const TsMaskData& arrow = manager->Masks()[size_t(look.Glyph)];
    int x = -1, y = -1;
    if (arrow.Bmp) {
      const int gw = arrow.Bmp->Width() / 3, gh = arrow.Bmp->Height() / 2;
      if (gh >= bh) x = y = 0;
      else x = (bw - gw) / 2, y = (bh - gh) / 2;
    } else if (arrow.ImageCount > 0 && arrow.MaskType >= 0) {
      x = (bw - arrow.R.Width() / arrow.ImageCount) / 2;
      y = (bh - arrow.R.Height() / (arrow.MaskType + 1)) / 2;
    }
    if (x >= 0 && y >= 0) DrawMaskImage(&bitmap, {x, y}, state, arrow, 1);
  }

  if (!Enabled() || (FShowInaccessibility && AtLimit(button))) {
    source = ParentSource(this);
    if (source.Valid) PaintDisabled(&bitmap, FDisabledKind, Parent(), p, source);
    else PaintShadow(&bitmap, {0, 0, bw + 1, bh + 1}, 60, 0, 0, parentColor);
  }
}

void TsUpDown::Paint() {
  TButtonLook first, second;
  if (!FindLooks(first, second)) {
    TCustomUpDown::Paint();
    return;
  }
  FWaiting = MustWait();
  if (FWaiting) return;
  HDC dc = Canvas()->Handle();
  const TRect client = ClientRect();
  const int w = client.Width(), h = client.Height();
  const bool horizontal = FOrientation == udHorizontal;
  const TRect firstRect = horizontal ? TRect{0, 0, w / 2, h} : TRect{0, 0, w, h / 2};
  const TRect secondRect = horizontal ? TRect{w / 2, 0, w, h} : TRect{0, h / 2, w, h};
  for (bool isFirst : {true, false}) {
    const TRect& r = isFirst ? firstRect : secondRect;
    if (r.IsEmpty()) continue;
    TDib bitmap(r.Width(), r.Height());
    PaintButton(isFirst ? first : second, isFirst, bitmap, {r.Left, r.Top});
    TDC memory(&bitmap);
    BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), &memory, 0, 0, SRCCOPY);
  }
}

// ---- Messages ---------------------------------------------------------------------------------

void TsUpDown::WndProc(TMessage& m) {
  switch (m.Msg) {
    case SM_KARVOCMD: {
      const unsigned command = SkinCommandOf(m.WParam);
      if (command == AC_OWNBROADCAST) {
        m.LParam = 1;
      } else if (command == AC_UPDATEFINISHED) {
        // The parent's face is complete now: paint what was held back.
        if (FWaiting && !InState(csDestroying)) Repaint();
      } else if ((command == AC_REMOVESKIN || command == AC_REFRESH) &&
                 reinterpret_cast<TsSkinManager*>(m.LParam) == DefaultManager()) {
        Invalidate();
      }
      return;
    }
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_NCPAINT:
      return;
    case CM_MOUSELEAVE:
      TCustomUpDown::WndProc(m);
      FPressed = false;
      SetDrawingState(dsNormal);
      return;
    case CM_ENABLEDCHANGED:
      TCustomUpDown::WndProc(m);
      FPressed = false;
      SetDrawingState(dsNormal);
      return;
    default:
      break;
  }
  TCustomUpDown::WndProc(m);
}

// ---- Stored properties ------------------------------------------------------------------------

const TPropertyTable& TsUpDown::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TCustomUpDown::ClassProperties());
    TPropertyBuilder<TsUpDown> b(t);
    b.String("ButtonSkin", [](TsUpDown& u, const std::string& v) { u.SetButtonSkin(v); });
    b.Set("DisabledKind", {{"dkBlended", dkBlended}, {"dkGrayed", dkGrayed}},
          [](TsUpDown& u, uint32_t v) { u.SetDisabledKind(v); });
    b.Boolean("ShowInaccessibility", [](TsUpDown& u, bool v) { u.SetShowInaccessibility(v); });
    return t;
  }();
  return table;
}

void RegisterTsUpDownClass() { RegisterComponentClass<TsUpDown>("TsUpDown"); }
