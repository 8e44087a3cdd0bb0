#include "controls/sEditFace.h"

#include <cmath>

#include "platform/graphics/DC.h"
#include "skin/data/sSkinManager.h"
#include "skin/render/sBackground.h"
#include "skin/render/sMaskPainter.h"

namespace {

const TsGeneralData* SectionOf(const TsCommonData* link) {
  TsSkinManager* manager = link->GetSkinManager();
  if (!manager || !manager->IsValidSectionIndex(link->SectionIndex)) return nullptr;
  return &manager->Sections()[size_t(link->SectionIndex)];
}

// 0.4 of the text and 0.6 of the background, per channel.
COLORREF Dimmed(COLORREF text, COLORREF background) {
  auto mix = [](int t, int b) { return uint8_t(std::lround((2 * t + 3 * b) / 5.0)); };
  return RGB(mix(GetRValue(text), GetRValue(background)), mix(GetGValue(text), GetGValue(background)),
             mix(GetBValue(text), GetBValue(background)));
}

}  // namespace

bool TsEditFace::Skinned() const { return FLink->IsSkinned() && !FControl->InState(csDesigning); }

TPoint TsEditFace::ClientOffset() const {
  if (!FControl->HandleAllocated()) return {0, 0};
  HWND handle = FControl->Handle();
  TRect window;
  GetWindowRect(handle, &window);
  TPoint client{0, 0};
  ClientToScreen(handle, &client);
  return {client.X - window.Left, client.Y - window.Top};
}

COLORREF TsEditFace::BackgroundColour() const {
  if (FLink->CustomColor()) return ColorToRGB(FControl->Color());
  const TsGeneralData* section = SectionOf(FLink);
  if (!section) return ColorToRGB(FControl->Color());
  return ColorToRGB(FLink->StateFromInput() ? section->HotColor : section->Color);
}

COLORREF TsEditFace::TextColour() const {
  const TsGeneralData* section = SectionOf(FLink);
  COLORREF colour = ColorToRGB(FControl->Font()->Color());
  if (section && !FLink->CustomFont())
    colour = ColorToRGB(FLink->StateFromInput() ? section->HotFontColor : section->FontColor);
  return FControl->Enabled() ? colour : Dimmed(colour, BackgroundColour());
}

void TsEditFace::Rebuild() {
  TsSkinManager* manager = FLink->GetSkinManager();
  if (!manager) return;
  FLink->SizeCache();
  TDib* cache = FLink->Cache();
  const int state = FLink->StateFromInput();
  FState = state;
  FEnabled = FControl->Enabled();
  if (!cache || cache->Empty()) return;
  const int w = cache->Width(), h = cache->Height();
  TsBgSource source;
  FLink->GetParentBackground(source);
  const TPoint position{FControl->Left(), FControl->Top()};
  PaintLinkBackground(FLink, source, state, cache, position, {0, 0, w, h});
  // Without a sunken edge (no border style) the control shows no border at all.
  const TPoint offset = ClientOffset();
  if (offset.X > 0 || offset.Y > 0) PaintEdge(cache, source, position, state);
  if (!FEnabled) {
    TsBgSource again;
    FLink->GetParentBackground(again);
    PaintDisabled(cache, dkBlended, FControl->Parent(), position, again);
  }
  GlyphFillColor = ParentFillColor = TColor(kSkinKeyColor);
  // A face built while the parent was still rebuilding is built again at the next paint.
  FLink->CacheInvalid = FLink->Deferred;
}

void TsEditFace::PaintEdge(TDib* cache, const TsBgSource& source, TPoint position, int state) {
  TsSkinManager* manager = FLink->GetSkinManager();
  const int w = cache->Width(), h = cache->Height();
  // The outermost ring is what lies behind the control: the border's outline is blended
  // over it, so that rounded corners show the parent and not the face's colour.
  const bool fromParent = source.Valid && source.Image && !source.Image->Empty();
  const COLORREF parentColour = FControl->Parent() ? ColorToRGB(FControl->Parent()->Color()) : BackgroundColour();
  auto behind = [&](int x, int y) {
    if (fromParent) {
      const int sx = x + position.X + source.OffsetX, sy = y + position.Y + source.OffsetY;
      if (sx >= 0 && sy >= 0 && sx < source.Image->Width() && sy < source.Image->Height())
        return source.Image->GetPixel(sx, sy);
    }
    return parentColour;
  };
  for (int x = 0; x < w; ++x) {
    cache->SetPixel(x, 0, behind(x, 0));
    cache->SetPixel(x, h - 1, behind(x, h - 1));
  }
  for (int y = 1; y < h - 1; ++y) {
    cache->SetPixel(0, y, behind(0, y));
    cache->SetPixel(w - 1, y, behind(w - 1, y));
  }

  if (manager->IsValidMaskIndex(FLink->BorderMaskIndex)) {
    TsBgSource shifted = source;
    shifted.OffsetX += position.X;
    shifted.OffsetY += position.Y;
    PaintBorderMask(cache, {0, 0, w, h}, false, false, state, manager->Masks()[size_t(FLink->BorderMaskIndex)], shifted);
  }
}

const TDib* TsEditFace::Face() {
  FLink->SetDeferred(FLink->IsDeferred());
  const TDib* cache = FLink->Cache();
  const bool fits = cache && !cache->Empty() && cache->Width() == FControl->Width() && cache->Height() == FControl->Height();
  const bool stale = FLink->CacheInvalid || FState != FLink->StateFromInput() || FEnabled != FControl->Enabled();
  // While the parent rebuilds, a face of the right size is kept as it is.
  if (stale && (!FLink->Deferred || !fits)) Rebuild();
  cache = FLink->Cache();
  return cache && !cache->Empty() ? cache : nullptr;
}

void TsEditFace::PaintClient(HDC dc, const TRect& r) {
  const TDib* face = Face();
  if (!face) {
    FillRect(dc, &r, CreateSolidBrush(BackgroundColour()));
    return;
  }
  const TPoint offset = ClientOffset();
  TDC source(const_cast<TDib*>(face));
  BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), &source, r.Left + offset.X, r.Top + offset.Y, SRCCOPY);
}

void TsEditFace::PaintNonClient(HDC dc) {
  const TDib* face = Face();
  if (!face) return;
  const TPoint offset = ClientOffset();
  const TRect client = FControl->ClientRect();
  const int saved = SaveDC(dc);
  ExcludeClipRect(dc, offset.X, offset.Y, offset.X + client.Width(), offset.Y + client.Height());
  TDC source(const_cast<TDib*>(face));
  BitBlt(dc, 0, 0, face->Width(), face->Height(), &source, 0, 0, SRCCOPY);
  RestoreDC(dc, saved);
}

void TsEditFace::Redraw() {
  FLink->CacheInvalid = true;
  if (FControl->HandleAllocated() && !FControl->InState(csDestroying))
    RedrawWindow(FControl->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_NOERASE);
}

void TsEditFace::FollowState() {
  if (!Skinned() || !FControl->HandleAllocated() || FControl->InState(csDestroying)) return;
  if (FState != FLink->StateFromInput() || FEnabled != FControl->Enabled()) Redraw();
}

void TsEditFace::HandleSkinCommand(TMessage& m) {
  const unsigned command = SkinCommandOf(m.WParam);
  const bool handled = FLink->HandleSkinCommand(m);
  if (FControl->InState(csDestroying)) return;
  switch (command) {
    case AC_REMOVESKIN:
      // Back to the toolkit's own look, the classic edge included.
      if (handled && FControl->HandleAllocated())
        RedrawWindow(FControl->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
      break;
    case AC_REFRESH:
      if (handled) Redraw();
      break;
    case AC_UPDATEFINISHED:
      if (Skinned() && FLink->Deferred) {
        FLink->Deferred = false;
        Redraw();
      }
      break;
    case AC_PARENTCHANGED:
      if (Skinned() && FLink->CacheInvalid) Redraw();
      break;
    default:
      break;
  }
}

bool TsEditFace::HandleMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_NCPAINT: {
      if (!FControl->HandleAllocated()) return true;
      HDC dc = GetWindowDC(FControl->Handle());
      PaintNonClient(dc);
      ReleaseDC(FControl->Handle(), dc);
      return true;
    }
    case WM_PRINT:
      if (m.LParam & PRF_NONCLIENT) {
        PaintNonClient(reinterpret_cast<HDC>(m.WParam));
        m.LParam &= ~PRF_NONCLIENT;
      }
      return false;
    case WM_ERASEBKGND:
      // The client paint covers everything with the face.
      m.Result = 1;
      return true;
    default:
      return false;
  }
}
