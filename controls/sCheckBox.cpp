#include "controls/sCheckBox.h"

#include <algorithm>

#include "controls/sTextWriter.h"
#include "platform/components/PropertyBuilder.h"
#include "platform/graphics/DC.h"
#include "platform/graphics/Text.h"
#include "platform/widgets/PropertyRanges.h"
#include "skin/data/sSkinManager.h"
#include "skin/render/sMaskPainter.h"

namespace {

constexpr int kMaxSide = int(kSizeRange.Max);

const char* BoxMaskName(TCheckBoxState state) {
  switch (state) {
    case cbChecked: return "BOXCHECKED";
    case cbGrayed: return "BOXGRAYED";
    default: return "BOXUNCHECKED";
  }
}

// A picture of three state images side by side, each above its mask, large enough to use.
bool IsBoxPicture(const TBitmap& picture) { return picture.Width() >= 3 && picture.Height() >= 2; }

}  // namespace

TsCheckBox::TsCheckBox(TComponent* owner) : TCustomCheckBox(owner), FSkinData(this, false) {
  FSkinData.ControlKind = 32;
  auto pictureChanged = [this](TObject*) {
    AdjustSize();
    FSkinData.InvalidateCache();
  };
  FGlyphChecked.OnChange = pictureChanged;
  FGlyphUnChecked.OnChange = pictureChanged;
  FSkinData.AfterLoad();
}

TsCheckBox::~TsCheckBox() { *FAlive = false; }

void TsCheckBox::BeforeDestruction() {
  StopFading();
  TCustomCheckBox::BeforeDestruction();
}

void TsCheckBox::Loaded() {
  TCustomCheckBox::Loaded();
  FSkinData.AfterLoad();
  AdjustSize();
}

// ---- Properties -------------------------------------------------------------------------------

void TsCheckBox::SetMargin(int value) {
  if (value == FMargin) return;
  FMargin = value;
  AdjustSize();
  FSkinData.InvalidateCache();
}

void TsCheckBox::SetTextIndent(int value) {
  if (value == FTextIndent) return;
  FTextIndent = value;
  AdjustSize();
  FSkinData.InvalidateCache();
}

void TsCheckBox::SetDisabledKind(uint32_t value) {
  if (value == FDisabledKind) return;
  FDisabledKind = value;
  FSkinData.InvalidateCache();
}

void TsCheckBox::SetShowFocus(bool value) {
  if (value == FShowFocus) return;
  FShowFocus = value;
  FSkinData.InvalidateCache();
}

void TsCheckBox::SetMultiLine(bool value) {
  if (value == FMultiLine) return;
  FMultiLine = value;
  // A wrapped caption keeps the size it was given.
  if (value) FAutoSize = false;
  FSkinData.InvalidateCache();
}

void TsCheckBox::SetAutoSize(bool value) {
  if (value == FAutoSize) return;
  FAutoSize = value;
  if (!value) return;
  FMultiLine = false;
  AdjustSize();
  FSkinData.InvalidateCache();
}

// ---- Geometry ---------------------------------------------------------------------------------

const TsMaskData* TsCheckBox::SkinBoxMask() const {
  TsSkinManager* manager = FSkinData.GetSkinManager();
  if (!manager) return nullptr;
  const int index = manager->FindMask(manager->Indexes().GlobalInfo, "GLOBALINFO", BoxMaskName(FState));
  if (!manager->IsValidMaskIndex(index)) return nullptr;
  const TsMaskData& mask = manager->Masks()[size_t(index)];
  if (mask.ImageCount <= 0 || mask.MaskType < 0) return nullptr;
  return &mask;
}

const TBitmap* TsCheckBox::OwnBoxPicture() const {
  if (!IsBoxPicture(FGlyphChecked)) return nullptr;
  if (FState == cbChecked) return &FGlyphChecked;
  return IsBoxPicture(FGlyphUnChecked) ? &FGlyphUnChecked : nullptr;
}

TSize TsCheckBox::SkinBoxSize() {
  if (const TBitmap* own = OwnBoxPicture()) return {own->Width() / 3, own->Height() / 2};
  if (const TsMaskData* mask = SkinBoxMask()) {
    if (mask->Bmp) return {mask->Bmp->Width() / 3, mask->Bmp->Height() / 2};
    return {mask->R.Width() / mask->ImageCount, mask->R.Height() / (mask->MaskType + 1)};
  }
  return {16, 16};
}

TRect TsCheckBox::SkinBoxRect() {
  const TSize box = SkinBoxSize();
  const int x = FAlignment == taLeftJustify ? Width() - box.cx - FMargin : FMargin;
  return Bounds(x, (Height() - box.cy) / 2, box.cx, box.cy);
}

TRect TsCheckBox::SkinCaptionRect() {
  const int a = SkinBoxSize().cx + FTextIndent + FMargin + 4;
  if (FAlignment == taLeftJustify) return {FMargin, FMargin, Width() - a - 2, Height() - FMargin};
  return {a, FMargin, Width() - FMargin - 2, Height() - FMargin};
}

int TsCheckBox::BoxImageState() const { return FPressed ? 2 : FaceState(); }

void TsCheckBox::AdjustSize() {
  if (!FAutoSize || !Skinned() || InState(csLoading | csReading | csDestroying)) return;
  const TSize box = SkinBoxSize();
  int64_t width = box.cx + 2 * int64_t(FMargin);
  int64_t height = 2 * int64_t(FMargin);
  if (!Caption().empty()) {
    TDC probe(nullptr);
    SelectFont(&probe, Font()->LogFont());
    TRect text{0, 0, 0, 0};
    DrawText(&probe, Caption(), &text, DT_LEFT | DT_SINGLELINE | DT_CALCRECT);
    width += text.Width() + int64_t(FTextIndent) + 8;
    height += text.Height();
  }
  height = std::max<int64_t>(box.cy, height) + 2;
  SetBounds(Left(), Top(), int(std::clamp<int64_t>(width, 0, kMaxSide)), int(std::clamp<int64_t>(height, 0, kMaxSide)));
}

// ---- Painting ---------------------------------------------------------------------------------

void TsCheckBox::PaintBox(TDib* cache) {
  const TRect box = SkinBoxRect();
  const int state = BoxImageState();
  if (const TBitmap* own = OwnBoxPicture()) {
    // The own picture is drawn as a skin glyph with a transparency mask would be.
    TsMaskData mask;
    mask.Bmp = std::make_unique<TDib>(own->Dib().As24());
    mask.R = {0, 0, own->Width(), own->Height()};
    mask.ImageCount = 3;
    mask.MaskType = 1;
    DrawMaskImage(cache, {box.Left, box.Top}, state, mask, 1);
  } else if (const TsMaskData* mask = SkinBoxMask()) {
    DrawMaskImage(cache, {box.Left, box.Top}, state, *mask, 1);
  }
}

void TsCheckBox::RebuildCache() {
  FSkinData.SizeCache();
  TDib* cache = FSkinData.Cache();
  if (!cache || cache->Empty()) {
    FSkinData.CacheInvalid = false;
    return;
  }
  TDC dc(cache);
  TCanvas canvas;
  canvas.SetHandle(&dc);
  canvas.Font()->Assign(Font());
  TsBgSource source;
  FSkinData.GetParentBackground(source);
  const int state = FaceState();
  const TPoint position{Left(), Top()};
  PaintLinkSkin(&FSkinData, source, true, false, cache, position, {0, 0, cache->Width(), cache->Height()}, state);

  if (!Caption().empty()) {
    TRect r = SkinCaptionRect();
    r.Bottom -= 2;
    const unsigned format = FMultiLine ? DT_WORDBREAK | DT_CENTER : DT_LEFT | DT_VCENTER | DT_SINGLELINE;
    WriteSkinText(&canvas, Caption(), true, state == 1, &FSkinData, format, r);
    if (Focused() && FShowFocus) {
      r.Top += 1;
      InflateRect(&r, 1, 1);
      DrawDottedFocusRect(&canvas, r);
    }
  }
  PaintBox(cache);
  if (!Enabled()) {
    FSkinData.GetParentBackground(source);
    PaintDisabled(cache, FDisabledKind, Parent(), position, source);
  }
  FSkinData.CacheInvalid = false;
}

void TsCheckBox::Paint() {
  if (!Skinned()) {
    TCustomCheckBox::Paint();
    return;
  }
  if (Parent()) GlyphFillColor = TColor(ColorToRGB(Parent()->Color()));
  FSkinData.SetDeferred(FSkinData.IsDeferred());
  // While a fade runs its frames show the face.
  if (!FSkinData.Deferred && !FFadeTimer) {
    RebuildCache();
    RepairAllCorners(&FSkinData, 0);
    if (TDib* cache = FSkinData.Cache(); cache && !cache->Empty()) {
      TDC source(cache);
      BitBlt(Canvas()->Handle(), 0, 0, cache->Width(), cache->Height(), &source, 0, 0, SRCCOPY);
    }
  }
  GlyphFillColor = TColor(kSkinKeyColor);
}

// ---- Input ------------------------------------------------------------------------------------

void TsCheckBox::Toggle() {
  if (FReadOnly) return;
  TCustomCheckBox::Toggle();
}

void TsCheckBox::StateChanged() {
  if (!Skinned() || InState(csLoading | csReading | csDestroying)) {
    TCustomCheckBox::StateChanged();
    return;
  }
  // The box picture may have another size.
  AdjustSize();
  if (InState(csDesigning)) FSkinData.InvalidateCache();
  else Fade(true, 2, aeMouseUp);
}

void TsCheckBox::Fade(bool halve, uint8_t direction, TkvAnimatEvent event) {
  ChangePaint(FFadeTimer, &FSkinData, halve, direction, EventAnimates(event, AnimatEvents));
}

void TsCheckBox::TakeFocus() {
  if (!Focused() && CanFocus()) {
    const bool disabled = FClicksDisabled;
    FClicksDisabled = true;
    SetFocus();
    FClicksDisabled = disabled;
  }
}

void TsCheckBox::KeyDown(WPARAM& key, TShiftState shift) {
  if (key == VK_SPACE && TakesInput()) {
    FPressed = true;
    TakeFocus();
    FSkinData.CacheInvalid = true;
    StopFading();
    Repaint();
  }
  TCustomCheckBox::KeyDown(key, shift);
}

void TsCheckBox::KeyUp(WPARAM& key, TShiftState shift) {
  if (TakesInput() && FPressed) {
    FPressed = false;
    const std::shared_ptr<bool> alive = FAlive;
    Toggle();
    // OnClick may have freed the control.
    if (!*alive) {
      key = 0;
      return;
    }
  }
  TCustomCheckBox::KeyUp(key, shift);
}

void TsCheckBox::DefaultHandler(TMessage& m) {
  // The toolkit's own Space handling would press and toggle a second time.
  if ((m.Msg == WM_KEYDOWN || m.Msg == WM_KEYUP) && m.WParam == VK_SPACE && Skinned()) {
    TCustomControl::DefaultHandler(m);
    return;
  }
  TCustomCheckBox::DefaultHandler(m);
}

bool TsCheckBox::HandleInput(TMessage& m) {
  const int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (FReadOnly) return true;
      FPressed = true;
      SetMouseCapture(true);
      Fade(true, 1, aeMouseDown);
      TakeFocus();
      if (m.Msg == WM_LBUTTONDBLCLK) DblClick();
      else MouseDown(mbLeft, KeysToShiftState(m.WParam), x, y);
      return true;
    case WM_LBUTTONUP:
      SetMouseCapture(false);
      if (FReadOnly) return true;
      // Leaving the control ends a press, so a release elsewhere does not toggle.
      if (FPressed) {
        FPressed = false;
        const std::shared_ptr<bool> alive = FAlive;
        Toggle();
        if (!*alive) return true;
      }
      MouseUp(mbLeft, KeysToShiftState(m.WParam), x, y);
      return true;
    case WM_KEYDOWN:
      // A read-only box takes no Space and lets no key up through: not even the key events.
      return FReadOnly && m.WParam == VK_SPACE;
    case WM_KEYUP:
      return FReadOnly;
    case CM_MOUSEENTER:
      if (FSkinData.MouseOver) return true;
      FSkinData.MouseOver = true;
      if (!FReadOnly) Fade(false, 1, aeMouseEnter);
      return true;
    case CM_MOUSELEAVE:
      FSkinData.MouseOver = false;
      FPressed = false;
      if (!FReadOnly) Fade(false, 2, aeMouseLeave);
      return true;
    default:
      return false;
  }
}

// ---- Messages ---------------------------------------------------------------------------------

void TsCheckBox::HandleSkinMessage(TMessage& m) {
  auto* sender = reinterpret_cast<TsSkinManager*>(m.LParam);
  const bool ours = sender == FSkinData.GetSkinManager();
  switch (SkinCommandOf(m.WParam)) {
    case AC_UPDATEFINISHED:
      if (Skinned() && (FSkinData.IsDeferred() || FSkinData.PartlyHidden)) {
        FSkinData.Deferred = false;
        Repaint();
      }
      return;
    case AC_SKINCHANGED:
      if (ours) StopFading();
      FSkinData.HandleSkinCommand(m);
      return;
    case AC_REMOVESKIN:
      if (ours) StopFading();
      FSkinData.HandleSkinCommand(m);
      if (ours && !InState(csDestroying)) Repaint();
      return;
    case AC_REFRESH:
      if (ours) StopFading();
      FSkinData.HandleSkinCommand(m);
      if (ours && !InState(csDestroying)) {
        AdjustSize();
        Repaint();
      }
      return;
    case AC_OWNBROADCAST:
      m.LParam = 1;
      return;
    case AC_STOPFADING:
      StopFading();
      if (!InState(csDestroying)) Repaint();
      return;
    case AC_FADEPREPARE:
      RebuildCache();
      return;
    default:
      FSkinData.HandleMessage(m);
      return;
  }
}

void TsCheckBox::WndProc(TMessage& m) {
  if (m.Msg == SM_KARVOCMD) {
    HandleSkinMessage(m);
    return;
  }
  if (!Skinned()) {
    if (!FSkinData.HandleMessage(m)) TCustomCheckBox::WndProc(m);
    return;
  }
  if (TakesInput() && HandleInput(m)) return;
  switch (m.Msg) {
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_NCPAINT:
    case WM_ENABLE:
      return;
    case WM_SETFOCUS:
      FSkinData.HandleMessage(m);
      TCustomCheckBox::WndProc(m);
      FSkinData.CacheInvalid = true;
      if (FFadeTimer) FFadeTimer->ShowNextFrame();
      else Repaint();
      return;
    case WM_KILLFOCUS:
      StopFading();
      FSkinData.HandleMessage(m);
      TCustomCheckBox::WndProc(m);
      FSkinData.HasFocus = false;
      FSkinData.MouseOver = false;
      // A key released elsewhere must not toggle the box later.
      FPressed = false;
      FSkinData.InvalidateCache();
      return;
    case CM_ENABLEDCHANGED:
      StopFading();
      FSkinData.HandleMessage(m);
      TCustomCheckBox::WndProc(m);
      FPressed = false;
      Repaint();
      return;
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      TCustomCheckBox::WndProc(m);
      AdjustSize();
      FSkinData.InvalidateCache();
      return;
    default:
      break;
  }
  if (FSkinData.HandleMessage(m)) return;
  TCustomCheckBox::WndProc(m);
}

// ---- Stored properties ------------------------------------------------------------------------

const TPropertyTable& TsCheckBox::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TCustomCheckBox::ClassProperties());
    TPropertyBuilder<TsCheckBox> b(t);
    b.Integer("Margin", kSizeRange, [](TsCheckBox& c, int64_t v) { c.SetMargin(int(v)); });
    b.Set("AnimatEvents",
          {{"aeMouseEnter", 1u << aeMouseEnter}, {"aeMouseLeave", 1u << aeMouseLeave},
           {"aeMouseDown", 1u << aeMouseDown}, {"aeMouseUp", 1u << aeMouseUp}, {"aeGlobalDef", 1u << aeGlobalDef}},
          [](TsCheckBox& c, uint32_t v) { c.AnimatEvents = v; });
    b.Object("SkinData", [](TsCheckBox& c) -> TPersistent* { return c.SkinData(); });
    b.Set("DisabledKind", {{"dkBlended", dkBlended}, {"dkGrayed", dkGrayed}},
          [](TsCheckBox& c, uint32_t v) { c.SetDisabledKind(v); });
    b.Object("GlyphChecked", [](TsCheckBox& c) -> TPersistent* { return c.GlyphChecked(); });
    b.Object("GlyphUnChecked", [](TsCheckBox& c) -> TPersistent* { return c.GlyphUnChecked(); });
    b.Integer("ImgChecked", [](TsCheckBox& c, int64_t v) { c.ImgChecked = int(v); });
    b.Integer("ImgUnchecked", [](TsCheckBox& c, int64_t v) { c.ImgUnchecked = int(v); });
    b.Boolean("MultiLine", [](TsCheckBox& c, bool v) { c.SetMultiLine(v); });
    b.Boolean("ReadOnly", [](TsCheckBox& c, bool v) { c.SetReadOnly(v); });
    b.Boolean("ShowFocus", [](TsCheckBox& c, bool v) { c.SetShowFocus(v); });
    b.Integer("TextIndent", kSizeRange, [](TsCheckBox& c, int64_t v) { c.SetTextIndent(int(v)); });
    b.Boolean("AutoSize", [](TsCheckBox& c, bool v) { c.SetAutoSize(v); });
    return t;
  }();
  return table;
}

void RegisterTsCheckBoxClass() { RegisterComponentClass<TsCheckBox>("TsCheckBox"); }
