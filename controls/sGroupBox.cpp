#include "controls/sGroupBox.h"

#include <algorithm>

#include "controls/sTextWriter.h"
#include "platform/components/PropertyBuilder.h"
#include "platform/graphics/DC.h"
#include "platform/graphics/Text.h"
#include "platform/widgets/PropertyRanges.h"
#include "skin/data/sSkinManager.h"
#include "skin/render/sBackground.h"
#include "skin/render/sMaskPainter.h"
#include "skin/render/sPixelTools.h"

namespace {

// The toolkit draws its frames one pixel wide.
constexpr int kBevelWidth = 1;

TSize TextSize(const TFont* font, const std::string& text) {
  TDC probe(nullptr);
  SelectFont(&probe, font->LogFont());
  TSize size;
  GetTextExtentPoint32(&probe, text, &size);
  return size;
}

}  // namespace

TsGroupBox::TsGroupBox(TComponent* owner) : TCustomGroupBox(owner), FSkinData(this, true) {
  // The caption band shows what lies behind the box.
  ControlStyle &= ~csOpaque;
  FSkinData.ControlKind = kControlKind;
  FSkinData.AfterLoad();
}

void TsGroupBox::Loaded() {
  TCustomGroupBox::Loaded();
  FSkinData.AfterLoad();
}

// ---- Properties -------------------------------------------------------------------------------

void TsGroupBox::SetCaptionLayout(TsCaptionLayout value) {
  if (value == FCaptionLayout) return;
  FCaptionLayout = value;
  if (!Caption().empty()) FSkinData.InvalidateCache();
}

void TsGroupBox::SetCaptionYOffset(int value) {
  if (value == FCaptionYOffset) return;
  FCaptionYOffset = value;
  FSkinData.InvalidateCache();
  Realign();
}

void TsGroupBox::SetCaptionSkin(const std::string& value) {
  if (value == FCaptionSkin) return;
  FCaptionSkin = value;
  FSkinData.InvalidateCache();
}

// ---- Geometry ---------------------------------------------------------------------------------

int TsGroupBox::SkinCaptionHeight() const { return std::max(4, TextSize(Font(), "W").cy) + 2; }

TRect TsGroupBox::CaptionRect() const {
  const int w = Width();
  const int tw = TextSize(Font(), Caption()).cx;
  TRect r{0, 0, 0, SkinCaptionHeight()};
  if (FSkinData.IsSkinned()) {
    r.Bottom += FCaptionYOffset;
    if (FCaptionYOffset < 0) r.Top += FCaptionYOffset;
  }
  switch (FCaptionLayout) {
    case clTopLeft: r.Left = 6; break;
    case clTopCenter: r.Left = (w - tw - 10) / 2; break;
    case clTopRight: r.Left = w - tw - 14; break;
  }
  r.Left = std::max(r.Left, 0);
  r.Right = std::min(r.Left + tw + 8, w);
  if (r.Width() < 2 * kBevelWidth) {
    r.Left -= kBevelWidth;
    r.Right += kBevelWidth;
  }
  return r;
}

void TsGroupBox::AlignControls(TControl* control, TRect& rect) {
  rect.Top += FCaptionYOffset;
  TCustomGroupBox::AlignControls(control, rect);
}

// ---- The face ---------------------------------------------------------------------------------

void TsGroupBox::RebuildCache() {
  FSkinData.SizeCache();
  TDib* cache = FSkinData.Cache();
  TsSkinManager* manager = FSkinData.GetSkinManager();
  if (!cache || cache->Empty() || !manager) {
    FSkinData.CacheInvalid = false;
    return;
  }
  const int w = Width(), h = Height();
  TsBgSource source;
  FSkinData.GetParentBackground(source);
  const TRect caption = CaptionRect();
  TDC dc(cache);
  TWinControl* parent = Parent();

  // The caption band shows what lies behind the box.
  if (source.Valid && source.Image) {
    TDC behind(source.Image);
    BitBlt(&dc, 0, 0, w, caption.Height(), &behind, Left() + source.OffsetX, Top() + source.OffsetY, SRCCOPY);
  } else if (parent) {
    FillRectColor(&dc, {0, 0, w, caption.Bottom}, parent->Color());
  }

  // The body: the section's background and its border, with the top edge through the caption.
  // It is composed on its own, at its own origin, so that the background behind it and the
  // see-through pixels of the border's corners are taken from the same place.
  const int y0 = FCaptionYOffset < 0 ? 0 : caption.Height() / 2;
  if (h > y0) {
    TDib body(w, h - y0);
    TDC bodyDC(&body);
    BitBlt(&bodyDC, 0, 0, w, h - y0, &dc, 0, y0, SRCCOPY);
    PaintLinkSkin(&FSkinData, source, false, false, &body, {Left(), Top() + y0}, {0, 0, w, h - y0}, 0);
    BitBlt(&dc, 0, y0, w, h - y0, &bodyDC, 0, 0, SRCCOPY);
  }

  if (!Caption().empty()) {
    const int state = Focused() ? 1 : 0;
    const int own = FCaptionSkin.empty() ? -1 : manager->FindSection(FCaptionSkin);
    const int plate = manager->FindSection("CHECKBOX");
    if (own >= 0) {
      TsBgSource self{cache, 0, 0, true};
      PaintSkinSection(own, FCaptionSkin, self, -1, -1, manager, cache, {0, 0}, caption, state, true);
    } else if ((source.Valid || !parent) && plate >= 0) {
      PaintSkinSection(plate, "CHECKBOX", source, -1, -1, manager, cache, {Left() + caption.Left, Top() + caption.Top},
                       caption, state, true);
    } else if (source.Valid && source.Image) {
      TDC behind(source.Image);
      BitBlt(&dc, caption.Left, caption.Top, caption.Width(), caption.Height(), &behind,
             Left() + caption.Left + source.OffsetX, Top() + caption.Top + source.OffsetY, SRCCOPY);
    } else if (parent) {
      FillRectColor(&dc, caption, parent->Color());
    }
    TCanvas canvas;
    canvas.SetHandle(&dc);
    TRect text = caption;
    WriteSkinText(&canvas, Caption(), true, false, &FSkinData, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX,
                  text);
    canvas.SetHandle(nullptr);
  }

  RepairCacheCorners(&FSkinData, 0, 2 | 8);
  FSkinData.CacheInvalid = false;
}

void TsGroupBox::PaintSkinned(HDC dc) {
  if (InState(csDestroying) || (!Visible() && !InState(csDesigning))) return;
  FSkinData.SetDeferred(FSkinData.IsDeferred());
  if (FSkinData.Deferred) return;

  const bool stale = FSkinData.PartlyHidden || FSkinData.CacheInvalid;
  TWinControl* parent = Parent();
  if (FSkinData.DependsOnParent() && parent) {
    const TRect client = parent->ClientRect();
    FSkinData.PartlyHidden = !client.Contains(Left() + 1, Top() + 1) ||
                             !client.Contains(Left() + Width() - 1, Top() + Height() - 1);
  } else {
    FSkinData.PartlyHidden = false;
  }
  if (stale && !FSkinData.RebuildSuspended) RebuildCache();

  FSkinData.PaintCacheTo({0, 0, 0, 0}, false, dc, {0, 0, Width(), Height()});
  FSkinData.Painting = true;
  try {
    PaintGraphicChildren(dc, this);
  } catch (...) {
    FSkinData.Painting = false;
    throw;
  }
  FSkinData.Painting = false;
  SendUpdateFinished();
}

void TsGroupBox::SendUpdateFinished() {
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* child = Controls(i);
    if (child->IsWindowed() && !child->InState(csDestroying)) SendSkinCommand(child, AC_UPDATEFINISHED);
  }
}

void TsGroupBox::PaintControls(HDC dc, TControl* first) {
  if (!FSkinData.IsSkinned()) {
    TCustomGroupBox::PaintControls(dc, first);
    return;
  }
  // Under the skin a windowless child is only ever painted over the face, off-screen. While the
  // face is stale the box repaints that place itself.
  if (FSkinData.CacheInvalid || FSkinData.IsDeferred()) {
    TRect box;
    GetClipBox(dc, &box);
    if (HandleAllocated()) InvalidateRect(Handle(), &box, false);
    return;
  }
  PaintGraphicChildren(dc, this);
}

// ---- Messages ---------------------------------------------------------------------------------

bool TsGroupBox::HandleSkinMessage(TMessage& m) {
  auto* sender = reinterpret_cast<TsSkinManager*>(m.LParam);
  const bool skinned = FSkinData.IsSkinned();
  switch (SkinCommandOf(m.WParam)) {
    case AC_SKINCHANGED:
      SendToChildren(this, m);
      if (sender == FSkinData.GetSkinManager()) FSkinData.HandleSkinCommand(m);
      return true;
    case AC_REMOVESKIN:
    case AC_REFRESH:
      if (sender == FSkinData.GetSkinManager()) {
        FSkinData.HandleSkinCommand(m);
        SendToChildren(this, m);
        if (!InState(csDestroying)) Repaint();
      } else {
        SendToChildren(this, m);
      }
      return true;
    case AC_STOPFADING:
      // The box answers the broadcasts for its children, so their fades stop through it.
      SendToChildren(this, m);
      return false;
    case AC_OWNBROADCAST:
      m.LParam = 1;
      return true;
    case AC_UPDATEFINISHED:
      if (skinned) {
        FSkinData.Deferred = false;
        if (Visible() || InState(csDesigning)) Repaint();
      }
      return true;
    case AC_SUSPENDREBUILD:
      if (skinned) {
        FSkinData.HandleSkinCommand(m);
        if (FSkinData.RebuildSuspended) RebuildCache();
      }
      return true;
    case AC_DEFERREDQUERY:
      // A box that is not painted from the skin has no face for its children to wait for.
      if (skinned) m.LParam = (FSkinData.CacheInvalid || FSkinData.IsDeferred()) ? 1 : 0;
      return true;
    case AC_GETCACHE:
      // Only a face painted from the skin is a background for the children.
      return !skinned;
    default:
      return false;
  }
}

void TsGroupBox::WndProc(TMessage& m) {
  if (m.Msg == SM_KARVOCMD && HandleSkinMessage(m)) return;
  if (FSkinData.IsSkinned() && !InState(csDestroying)) {
    switch (m.Msg) {
      case WM_PAINT: {
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        if (dc) {
          PaintSkinned(dc);
          return;
        }
        PAINTSTRUCT ps;
        dc = BeginPaint(Handle(), &ps);
        if (dc) PaintSkinned(dc);
        EndPaint(Handle(), &ps);
        return;
      }
      case WM_ERASEBKGND:
        m.Result = 1;
        return;
      case WM_MOVE:
        FSkinData.CacheInvalid = FSkinData.CacheInvalid || FSkinData.DependsOnParent();
        TCustomGroupBox::WndProc(m);
        return;
      case WM_SETFOCUS:
      case WM_KILLFOCUS:
        TCustomGroupBox::WndProc(m);
        return;
      case WM_WINDOWPOSCHANGED:
      case CM_VISIBLECHANGED:
        FSkinData.CacheInvalid = true;
        TCustomGroupBox::WndProc(m);
        return;
      case CM_TEXTCHANGED:
        FSkinData.InvalidateCache();
        TCustomGroupBox::WndProc(m);
        return;
      default:
        break;
    }
  }
  if (m.Msg == CM_FONTCHANGED && !Caption().empty()) FSkinData.InvalidateCache();
  if (FSkinData.HandleMessage(m)) return;
  TCustomGroupBox::WndProc(m);
  if (m.Msg == WM_SIZE && InState(csDesigning) && FSkinData.IsSkinned()) Repaint();
}

// ---- Stored properties ------------------------------------------------------------------------

const TPropertyTable& TsGroupBox::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TCustomGroupBox::ClassProperties());
    TPropertyBuilder<TsGroupBox> b(t);
    b.Enum<TsCaptionLayout>("CaptionLayout", {{"clTopLeft", clTopLeft}, {"clTopCenter", clTopCenter}, {"clTopRight", clTopRight}},
                            [](TsGroupBox& g, TsCaptionLayout v) { g.SetCaptionLayout(v); });
    b.Integer("CaptionYOffset", kPositionRange, [](TsGroupBox& g, int64_t v) { g.SetCaptionYOffset(int(v)); });
    b.Object("SkinData", [](TsGroupBox& g) -> TPersistent* { return g.SkinData(); });
    b.String("CaptionSkin", [](TsGroupBox& g, const std::string& v) { g.SetCaptionSkin(v); });
    return t;
  }();
  return table;
}

void RegisterTsGroupBoxClass() { RegisterComponentClass<TsGroupBox>("TsGroupBox"); }
