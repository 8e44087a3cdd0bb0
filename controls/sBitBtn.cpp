#include "controls/sBitBtn.h"

#include <algorithm>

#include "platform/components/PropertyBuilder.h"
#include "platform/graphics/DC.h"
#include "platform/graphics/Text.h"
#include "skin/data/sSkinManager.h"
#include "skin/render/sBackground.h"
#include "skin/render/sPixelTools.h"

namespace {
constexpr int kControlKind = 94;
}  // namespace

TsBitBtn::TsBitBtn(TComponent* owner) : TBitBtn(owner), FSkinData(this, true) {
  FSkinData.ControlKind = kControlKind;
  // The parent paints under the button: its corners show what lies behind.
  ControlStyle &= ~csOpaque;
  FCacheCanvas.Font()->Assign(Font());
  FSkinData.AfterLoad();
}

TsBitBtn::~TsBitBtn() { *FAlive = false; }

void TsBitBtn::BeforeDestruction() {
  StopFading();
  TBitBtn::BeforeDestruction();
}

void TsBitBtn::Loaded() {
  TBitBtn::Loaded();
  FCacheCanvas.Font()->Assign(Font());
  FSkinData.AfterLoad();
}

void TsBitBtn::Notification(TComponent* component, TOperation operation) {
  TBitBtn::Notification(component, operation);
  if (operation == opRemove && component == FImages) SetImages(nullptr);
}

// ---- Properties -------------------------------------------------------------------------------

void TsBitBtn::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  FSkinData.InvalidateCache();
}

void TsBitBtn::SetBlend(int value) {
  value = std::clamp(value, 0, 100);
  if (value == FBlend) return;
  FBlend = value;
  FSkinData.InvalidateCache();
}

void TsBitBtn::SetDisabledGlyphKind(uint32_t value) {
  if (value == FDisabledGlyphKind) return;
  FDisabledGlyphKind = value;
  FSkinData.InvalidateCache();
}

void TsBitBtn::SetDisabledKind(uint32_t value) {
  if (value == FDisabledKind) return;
  FDisabledKind = value;
  FSkinData.InvalidateCache();
}

void TsBitBtn::SetDown(bool value) {
  if (value == FDown) return;
  FDown = value;
  FPressed = value;
  FRegionChanged = true;
  FSkinData.CacheInvalid = true;
  RepaintNow();
}

void TsBitBtn::SetGrayed(bool value) {
  if (value == FGrayed) return;
  FGrayed = value;
  FSkinData.InvalidateCache();
}

void TsBitBtn::SetImageIndex(int value) {
  if (value == FImageIndex) return;
  FImageIndex = value;
  GlyphFromImages();
  FSkinData.InvalidateCache();
}

void TsBitBtn::SetImages(TCustomImageList* value) {
  if (value == FImages) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = value;
  if (FImages) FImages->FreeNotification(this);
  GlyphFromImages();
  FSkinData.InvalidateCache();
}

void TsBitBtn::SetShowCaption(bool value) {
  if (value == FShowCaption) return;
  FShowCaption = value;
  FSkinData.InvalidateCache();
}

void TsBitBtn::SetShowFocus(bool value) {
  if (value == FShowFocus) return;
  FShowFocus = value;
  FSkinData.InvalidateCache();
}

void TsBitBtn::SetDrawOverBorder(bool value) {
  if (value == FDrawOverBorder) return;
  FDrawOverBorder = value;
  FSkinData.InvalidateCache();
}

void TsBitBtn::SetTextOffset(int value) {
  if (value == FTextOffset) return;
  FTextOffset = value;
  FSkinData.InvalidateCache();
}

void TsBitBtn::SetTextAlignment(TAlignment value) {
  if (value == FTextAlignment) return;
  FTextAlignment = value;
  FSkinData.InvalidateCache();
}

void TsBitBtn::GlyphFromImages() {
  // While skinned the face draws the list's image itself; the glyph is for the plain button.
  const TDib* image = FImages ? FImages->Image(FImageIndex) : nullptr;
  if (!image || Skinned()) {
    if (FGlyphFromImages) {
      FGlyphFromImages = false;
      Glyph()->Assign(nullptr);
    }
    return;
  }
  const int w = image->Width(), h = image->Height();
  const COLORREF key = FImages->BkColor == clNone ? kKey : ColorToRGB(FImages->BkColor);
  TDib both(2 * w, h);
  TDib disabled = *image;
  if (FDisabledGlyphKind & dgGrayed) GrayscaleKeyed(&disabled, key);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      both.SetPixel(x, y, image->GetPixel(x, y));
      COLORREF c = disabled.GetPixel(x, y);
      if ((FDisabledGlyphKind & dgBlended) && c != key) {
        // Half transparent over the button face.
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        c = RGB((GetRValue(c) + GetRValue(face) + 1) / 2, (GetGValue(c) + GetGValue(face) + 1) / 2,
                (GetBValue(c) + GetBValue(face) + 1) / 2);
      }
      both.SetPixel(w + x, y, c);
    }
  // The plain button takes the bottom-left pixel as transparent.
  for (int x = 0; x < 2 * w; ++x) both.SetPixel(x, h - 1, both.GetPixel(x, h - 1) == key ? key : both.GetPixel(x, h - 1));
  both.SetPixel(0, h - 1, key);
  FGlyphFromImages = true;
  Glyph()->LoadFromDib(std::move(both));
  SetNumGlyphs(2);
}

// ---- State --------------------------------------------------------------------------------------

bool TsBitBtn::Skinned() const { return FSkinData.IsSkinned() && !InState(csDesigning); }

bool TsBitBtn::FromThisManager(const TMessage& m) const {
  return reinterpret_cast<TsSkinManager*>(m.LParam) == FSkinData.GetSkinManager();
}

int TsBitBtn::StateIndex() const {
  if (FPressed || FDown) return 2;
  if (FSkinData.StateFromInput() == 1 || FDefaultActive) return 1;
  return 0;
}

void TsBitBtn::RepaintNow() {
  if (HandleAllocated() && !InState(csDestroying)) Repaint();
}

void TsBitBtn::ChangeState(TkvAnimatEvent event, bool halve, uint8_t direction) {
  ChangePaint(FFadeTimer, &FSkinData, halve, direction, EventAnimates(event, AnimatEvents));
}

// ---- Layout -------------------------------------------------------------------------------------

TSize TsBitBtn::GlyphSize() const {
  const TBitmap* glyph = Glyph();
  if (glyph && glyph->Width() > 0 && !(FGlyphFromImages && Skinned()))
    return {glyph->Width() / std::max(NumGlyphs(), 1), glyph->Height()};
  if (FImages && FImageIndex >= 0) return {FImages->Width(), FImages->Height()};
  return {0, 0};
}

TSize TsBitBtn::CaptionExtent() const {
  if (!FShowCaption || Caption().empty()) return {0, 0};
  const TSize glyph = GlyphSize();
  int width = Width() - 2 * Margin();
  if (glyph.cx != 0) width -= glyph.cx + Spacing();
  TDib probe(1, 1);
  TDC dc(&probe);
  SelectFont(&dc, Font()->LogFont());
  TRect r{0, 0, std::max(width, 0), 0};
  DrawText(&dc, Caption(), &r, DT_WORDBREAK | DT_EXPANDTABS | DT_CALCRECT);
  return {r.Width(), r.Height()};
}

TRect TsBitBtn::CaptionRect() const {
  const TRect client = ClientRect();
  const int w = client.Width(), h = client.Height();
  const TSize g = GlyphSize(), t = CaptionExtent();
  const int gw = g.cx, gh = g.cy, tw = t.cx, th = t.cy;
  int layout = Layout();
  if (UseRightToLeftReading() && layout <= blGlyphRight) layout = layout == blGlyphLeft ? blGlyphRight : blGlyphLeft;
  const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
  int tx = 0, ty = 0;
  if (horizontal) ty = (h - th + 1) / 2;
  else tx = (w - tw + 1) / 2;
  int s = (tw == 0 || gw == 0) ? 0 : Spacing();
  int m = Margin();
  if (m == -1) {
    if (s < 0) {
      m = s = horizontal ? (w - gw - tw) / 3 : (h - gh - th) / 3;
    } else if (FAlignment == taCenter) {
      m = horizontal ? (w - gw - s - tw + 1) / 2 : (h - gh - s - th + 1) / 2;
    } else {
      m = 2;
    }
  } else if (s < 0) {
    s = horizontal ? (w - gw - m - tw) / 2 : (h - gh - m - th) / 2;
  }
  switch (layout) {
    case blGlyphLeft:
      tx = FAlignment == taLeftJustify ? m + gw + s
           : FAlignment == taRightJustify ? w - m - tw
                                          : (w - tw - s - gw) / 2 + s + gw;
      break;
    case blGlyphRight:
      tx = FAlignment == taLeftJustify ? m : FAlignment == taRightJustify ? w - m - gw - s - tw : (w - tw - s - gw) / 2;
      break;
    case blGlyphTop:
      ty = (h - gh - s - th) / 2 + gh + s;
      break;
    default:
      ty = h - m - gh - ((h - gh - s - th) / 2 - m) - s - th;
      break;
  }
  TRect r{client.Left + tx, client.Top + ty, client.Left + tx + tw, client.Top + ty + th};
  if (StateIndex() == 2) r = r.Offset(1, 1);
  return r;
}

TRect TsBitBtn::GlyphRect() const {
  const TRect client = ClientRect();
  const int w = client.Width(), h = client.Height();
  const TSize g = GlyphSize(), t = CaptionExtent();
  const int gw = g.cx, gh = g.cy, tw = t.cx, th = t.cy;
  const int m = Margin() < 0 ? 0 : Margin() + 3;
  const int s = FShowCaption && gw > 0 && !Caption().empty() ? Spacing() : 0;
  const int dx = (w - gw - s - tw) / 2 - m, dy = (h - gh - s - th) / 2 - m;
  int x = 0, y = 0;
  switch (Layout()) {
    case blGlyphLeft:
      y = (h - gh) / 2;
      x = FAlignment == taLeftJustify ? m : FAlignment == taRightJustify ? m + 2 * dx : m + dx;
      break;
    case blGlyphRight:
      y = (h - gh) / 2;
      x = FAlignment == taLeftJustify ? w - m - 2 * dx - s - gw
          : FAlignment == taRightJustify ? w - gw - m
                                         : (tw + w + s - gw) / 2;
      break;
    case blGlyphTop:
      x = (w - gw) / 2 + 1;
      y = m + dy;
      break;
    default:
      x = (w - gw) / 2 + 1;
      y = h - m - dy - gh;
      break;
  }
  if (FPressed || FDown) ++x, ++y;
  return Bounds(client.Left + x, client.Top + y, gw, gh);
}

// ---- Messages -----------------------------------------------------------------------------------

void TsBitBtn::DefaultHandler(TMessage& m) {
  if (Skinned() && Enabled() && (m.Msg == WM_KEYDOWN || m.Msg == WM_KEYUP) && m.WParam == VK_SPACE) {
    if (m.Msg == WM_KEYDOWN) {
      if ((m.LParam & (LPARAM(1) << 30)) || FPressed) return;  // auto-repeat
      StopFading();
      FPressed = true;
      FRegionChanged = true;
      FSkinData.CacheInvalid = true;
      RepaintNow();
    } else if (FPressed || FDown) {
      FPressed = false;
      FRegionChanged = true;
      FSkinData.CacheInvalid = true;
      RepaintNow();
      Click();
    }
    return;
  }
  TBitBtn::DefaultHandler(m);
}

void TsBitBtn::WndProc(TMessage& m) {
  if (m.Msg == SM_KARVOCMD) {
    switch (SkinCommandOf(m.WParam)) {
      case AC_OWNBROADCAST:
        m.LParam = 1;
        return;
      case AC_STOPFADING:
        StopFading();
        RepaintNow();
        return;
      case AC_FADEPREPARE:
        if (FSkinData.IsSkinned()) RebuildCache();
        return;
      case AC_FADEFRAME:
        m.Result = 0;  // the fade draws its frames itself
        return;
      case AC_UPDATEFINISHED:
        if (FSkinData.IsDeferred()) {
          FSkinData.Deferred = false;
          RepaintNow();
        }
        return;
      case AC_SKINCHANGED:
        if (FromThisManager(m)) {
          FRegionChanged = true;
          StopFading();
          if (FGlyphFromImages) {
            FGlyphFromImages = false;
            Glyph()->Assign(nullptr);
          }
          FSkinData.HandleSkinCommand(m);
        }
        return;
      case AC_REMOVESKIN:
        if (FromThisManager(m) && !InState(csDestroying)) {
          StopFading();
          FSkinData.HandleSkinCommand(m);
          GlyphFromImages();
          if (HandleAllocated()) SetWindowRgn(Handle(), nullptr, true);
          FRegionChanged = true;
          RepaintNow();
        }
        return;
      case AC_REFRESH:
        if (FromThisManager(m)) {
          StopFading();
          FSkinData.HandleSkinCommand(m);
          FRegionChanged = true;
          RepaintNow();
        }
        return;
      case AC_SUSPENDREBUILD: {
        FSkinData.HandleSkinCommand(m);
        if (FSkinData.RebuildSuspended && FSkinData.IsSkinned()) RebuildCache();
        return;
      }
      default:
        FSkinData.HandleSkinCommand(m);
        return;
    }
  }
  if (!Skinned()) {
    // The link keeps its flags even while the plain button paints.
    if (!FSkinData.HandleMessage(m)) TBitBtn::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: {
      if (!Enabled()) break;
      FSkinData.Deferred = false;
      FMouseClicked = true;
      const bool left = m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK;
      if (left) {
        SetMouseCapture(true);
        if (!FPressed && !FDown) {
          FPressed = true;
          FRegionChanged = true;
          FSkinData.SetDeferred(FSkinData.IsDeferred());
          ChangeState(aeMouseDown, true, 1);
        }
      }
      // The toolkit's own handling, without the plain button's pressing.
      TCustomControl::WndProc(m);
      return;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      if (!Enabled()) break;
      const bool left = m.Msg == WM_LBUTTONUP;
      const bool clicked = FMouseClicked;
      FMouseClicked = false;  // before the capture goes, which would otherwise cancel the press
      if (left && MouseCapture()) SetMouseCapture(false);
      if (!clicked || InState(csDestroying)) return;
      if (left) {
        if (FFadeTimer && !FFadeTimer->IsFinished()) {
          StopFading();
          FSkinData.CacheInvalid = true;
          RepaintNow();
        }
        FSkinData.Deferred = false;
        FPressed = false;
        const std::weak_ptr<bool> alive = FAlive;
        const TPoint p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        if (ClientRect().Contains(p.X, p.Y)) Click();
        // The click may have freed the button.
        if (alive.expired() || InState(csDestroying)) return;
        FRegionChanged = true;
        try {
          ChangeState(aeMouseUp, true, 2);
        } catch (...) {
        }
        if (alive.expired()) return;
      }
      TCustomControl::WndProc(m);
      return;
    }
    case WM_MOUSEMOVE:
      TCustomControl::WndProc(m);
      return;
    case WM_CAPTURECHANGED:
      // A lost press ends without a click.
      TCustomControl::WndProc(m);
      if (FMouseClicked && (!HandleAllocated() || GetCapture() != Handle())) {
        FMouseClicked = false;
        if (FPressed) {
          FPressed = false;
          FRegionChanged = true;
          ChangeState(aeMouseUp, true, 2);
        }
      }
      return;
    case CM_MOUSEENTER:
      if (!FSkinData.MouseOver && !InState(csDesigning)) {
        const std::weak_ptr<bool> alive = FAlive;
        if (OnMouseEnter) OnMouseEnter(this);
        if (alive.expired()) return;
        FSkinData.MouseOver = true;
        ChangeState(aeMouseEnter, false, 1);
      }
      TBitBtn::WndProc(m);
      return;
    case CM_MOUSELEAVE:
      if (!InState(csDesigning)) {
        const std::weak_ptr<bool> alive = FAlive;
        if (OnMouseLeave) OnMouseLeave(this);
        if (alive.expired()) return;
        FSkinData.MouseOver = false;
        ChangeState(aeMouseLeave, false, 2);
      }
      TBitBtn::WndProc(m);
      return;
    case WM_MOVE: {
      FSkinData.HandleMessage(m);
      TBitBtn::WndProc(m);
      TsSkinManager* manager = FSkinData.GetSkinManager();
      if (manager && manager->IsValidSectionIndex(FSkinData.SectionIndex)) {
        const TsGeneralData& s = manager->Sections()[size_t(FSkinData.SectionIndex)];
        if (s.Transparency > 0 || (s.HotTransparency > 0 && FSkinData.StateFromInput() == 1)) {
          FSkinData.CacheInvalid = true;
          RepaintNow();
        }
      }
      return;
    }
    case WM_SIZE:
      FRegionChanged = true;
      break;
    case WM_SETFOCUS:
    case CM_ENTER:
      FSkinData.HandleMessage(m);
      TBitBtn::WndProc(m);
      if (FFadeTimer) FFadeTimer->ShowNextFrame();
      else Invalidate();
      return;
    case WM_KILLFOCUS:
    case CM_EXIT:
      if (FPressed && !FDown) FPressed = false;
      StopFading();
      FSkinData.HandleMessage(m);
      TBitBtn::WndProc(m);
      FSkinData.HasFocus = false;
      FSkinData.MouseOver = FSkinData.MouseOver && m.Msg == CM_EXIT;
      FRegionChanged = true;
      FSkinData.InvalidateCache();
      return;
    case CM_ENABLEDCHANGED:
      FSkinData.Deferred = false;
      FSkinData.InvalidateCache();
      break;
    case CM_FONTCHANGED:
      FCacheCanvas.Font()->Assign(Font());
      if (Visible()) {
        FSkinData.Deferred = false;
        FSkinData.InvalidateCache();
      }
      break;
    case CM_VISIBLECHANGED:
      FSkinData.CacheInvalid = true;
      TBitBtn::WndProc(m);
      RepaintNow();
      return;
    case CM_TEXTCHANGED:
      FSkinData.InvalidateCache();
      break;
    case CM_FOCUSCHANGED:
      if (Default()) {
        auto* focused = reinterpret_cast<TWinControl*>(m.LParam);
        const bool active = dynamic_cast<TsBitBtn*>(focused) ? focused == this : true;
        if (active != FDefaultActive) {
          FDefaultActive = active;
          FSkinData.InvalidateCache();
        }
      }
      break;
    default:
      break;
  }
  if (!FSkinData.HandleMessage(m)) TBitBtn::WndProc(m);
}

// ---- Stored properties --------------------------------------------------------------------------

const TPropertyTable& TsBitBtn::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TBitBtn::ClassProperties());
    TPropertyBuilder<TsBitBtn> b(t);
    using B = TsBitBtn;
    b.template Event<TBmpPaintEvent>("OnPaint", [](B& c, TBmpPaintEvent e) { c.OnPaint = std::move(e); });
    b.template Event<TNotifyEvent>("OnMouseEnter", [](B& c, TNotifyEvent e) { c.OnMouseEnter = std::move(e); });
    b.template Event<TNotifyEvent>("OnMouseLeave", [](B& c, TNotifyEvent e) { c.OnMouseLeave = std::move(e); });
    b.Set("AnimatEvents",
          {{"aeMouseEnter", 1u << aeMouseEnter}, {"aeMouseLeave", 1u << aeMouseLeave}, {"aeMouseDown", 1u << aeMouseDown},
           {"aeMouseUp", 1u << aeMouseUp}, {"aeGlobalDef", 1u << aeGlobalDef}},
          [](B& c, uint32_t v) { c.AnimatEvents = v; });
    b.Enum<TAlignment>("Alignment", {{"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}},
                       [](B& c, TAlignment v) { c.SetAlignment(v); });
    b.Integer("Blend", TIntRange{0, 100}, [](B& c, int64_t v) { c.SetBlend(int(v)); });
    b.Object("SkinData", [](B& c) -> TPersistent* { return c.SkinData(); });
    b.Set("DisabledGlyphKind", {{"dgBlended", dgBlended}, {"dgGrayed", dgGrayed}},
          [](B& c, uint32_t v) { c.SetDisabledGlyphKind(v); });
    b.Set("DisabledKind", {{"dkBlended", dkBlended}, {"dkGrayed", dkGrayed}}, [](B& c, uint32_t v) { c.SetDisabledKind(v); });
    b.Boolean("Down", [](B& c, bool v) { c.SetDown(v); });
    b.Integer("FocusMargin", TIntRange{-1000, 1000}, [](B& c, int64_t v) { c.FocusMargin = int(v); });
    b.Boolean("Grayed", [](B& c, bool v) { c.SetGrayed(v); });
    b.Integer("ImageIndex", TIntRange{-1, 32767}, [](B& c, int64_t v) { c.SetImageIndex(int(v)); });
    b.template Reference<TCustomImageList>("Images", [](B& c, TCustomImageList* v) { c.SetImages(v); });
    b.Boolean("ShowCaption", [](B& c, bool v) { c.SetShowCaption(v); });
    b.Boolean("ShowFocus", [](B& c, bool v) { c.SetShowFocus(v); });
    b.Boolean("DrawOverBorder", [](B& c, bool v) { c.SetDrawOverBorder(v); });
    b.Integer("TextOffset", TIntRange{-1000, 1000}, [](B& c, int64_t v) { c.SetTextOffset(int(v)); });
    b.Enum<TAlignment>("TextAlignment",
                       {{"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}},
                       [](B& c, TAlignment v) { c.SetTextAlignment(v); });
    return t;
  }();
  return table;
}

void RegisterTsBitBtnClass() { RegisterComponentClass<TsBitBtn>("TsBitBtn"); }
