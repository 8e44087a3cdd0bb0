// Composing the frame cache and copying it to the window: borders, title, icon, caption, the
// client background.
#include <algorithm>
#include <map>

#include "controls/sTextWriter.h"
#include "frame/sSkinProvider.h"
#include "platform/graphics/DC.h"
#include "platform/graphics/Text.h"
#include "platform/windowing/Menu.h"
#include "skin/data/sSkinManager.h"
#include "skin/render/sBackground.h"
#include "skin/render/sMaskPainter.h"

namespace {

constexpr COLORREF kKey = 0xFF00FF;

// The generic program picture shown when neither the form nor the program has an icon: a
// small window with a blue title bar.
const TIconImage& GenericIcon(int size) {
  static std::map<int, TIconImage> icons;
  auto it = icons.find(size);
  if (it != icons.end()) return it->second;
  TIconImage icon;
  icon.Color = TDib(size, size);
  icon.Mask = TDib(size, size);
  icon.Color.Fill(0);
  icon.Mask.Fill(RGB(255, 255, 255));
  const int inset = std::max(1, size / 16), bar = std::max(2, size / 4);
  for (int y = inset + 1; y < size - inset; ++y)
    for (int x = inset; x < size - inset; ++x) {
      const bool edge = x == inset || x == size - inset - 1 || y == inset + 1 || y == size - inset - 1;
      const bool title = y < inset + 1 + bar;
      icon.Color.SetPixel(x, y, edge ? RGB(40, 40, 60) : title ? RGB(40, 90, 170) : RGB(255, 255, 255));
      icon.Mask.SetPixel(x, y, 0);
    }
  return icons.emplace(size, std::move(icon)).first->second;
}

}  // namespace

std::string ShortenCaption(HDC dc, const std::string& text, int room) {
  if (room <= 0) return {};
  TSize extent;
  GetTextExtentPoint32(dc, text, &extent);
  if (extent.cx <= room) return text;
  std::string prefix = text;
  while (!prefix.empty()) {
    prefix.pop_back();
    GetTextExtentPoint32(dc, prefix + "...", &extent);
    if (extent.cx <= room) break;
  }
  return prefix.empty() ? std::string() : prefix + "...";
}

TRect TsSkinProvider::MenuBarRect() const {
  if (!FForm || !FForm->HandleAllocated()) return {};
  TRect window;
  GetWindowRect(FForm->Handle(), &window);
  const int top = BorderHeight() + CaptionHeight();
  return {BorderWidth(), top, window.Width() - BorderWidth(), top + MenuBarHeight(FForm->Handle(), window.Width())};
}

int TsSkinProvider::CacheWidth() const {
  if (!FForm || !FForm->HandleAllocated()) return FForm ? FForm->Width() : 0;
  TRect r;
  GetWindowRect(FForm->Handle(), &r);
  return r.Width();
}

void TsSkinProvider::ComposeCache() {
  if (!FForm || !FForm->HandleAllocated() || FForm->InState(csLoading)) return;
  TsSkinManager* manager = FSkinData.GetSkinManager();
  TDib* cache = FSkinData.Cache();
  if (!manager || !cache) return;
  TRect window;
  GetWindowRect(FForm->Handle(), &window);
  const int w = window.Width(), h = window.Height();
  const bool minimised = IsIconic(FForm->Handle());
  const int bh = BorderHeight(), ch = CaptionHeight();
  // A minimised window is its title band: the whole of it is composed.
  const int composed = minimised ? std::max(bh + ch + 1, h) : h;
  const int state = FFormActive ? 1 : 0;
  const bool validSection = manager->IsValidSectionIndex(FSkinData.SectionIndex);
  const TsGeneralData* section = validSection ? &manager->Sections()[size_t(FSkinData.SectionIndex)] : nullptr;
  const bool titleOnly = !FFullRepaint && section && section->ReservedBoolean && FTitleCache &&
                         FTitleCache->Width() == w && cache->Height() == h && Bordered();
  if (titleOnly) {
    TDC to(cache), from(FTitleCache.get());
    BitBlt(&to, 0, 0, FTitleCache->Width(), FTitleCache->Height(), &from, 0, 0, SRCCOPY);
  } else {
    FRegionDirty = true;
    cache->SetSize(w, h);
    if (section) {
      TsBgSource none;
      // The border mask frames the whole window; what it leaves inside is the section's
      // background, which the client area shows.
      PaintSkinSection(FSkinData.SectionIndex, FSkinData.SkinSection(), none, FSkinData.HotPatternIndex,
                       FSkinData.PatternIndex, manager, cache, {0, 0}, {0, 0, w, composed}, state, false);
    } else {
      cache->Fill(ColorToRGB(FForm->Color()));
    }
    if (GripMode == gmRightBottom && !minimised) {
      const int grip = MaskIndexInGlobal("GRIPIMAGE");
      if (manager->IsValidMaskIndex(grip)) {
        const TsMaskData& m = manager->Masks()[size_t(grip)];
        const int gw = m.Bmp ? m.Bmp->Width() / 3 : m.R.Width() / std::max<int>(m.ImageCount, 1);
        const int gh = m.Bmp ? m.Bmp->Height() / 2 : m.R.Height() / (m.MaskType + 1);
        DrawMaskImage(cache, {w - gw - BorderWidth(), h - gh - BorderHeight()}, 0, m, 1);
      }
    }
    if (section && section->ReservedBoolean && (!FTitleCache || FTitleCache->Width() != w)) {
      FTitleCache = std::make_unique<TDib>(w, ch + bh);
      TDC to(FTitleCache.get()), from(cache);
      BitBlt(&to, 0, 0, w, ch + bh, &from, 0, 0, SRCCOPY);
    }
  }
  if (MainMenuShown() && !minimised) {
    // The menu bar's line: its section over the frame; the items draw themselves over it.
    const TRect line = MenuBarRect();
    const std::string name = MenuLineSkin.empty() ? "MENULINE" : MenuLineSkin;
    const int index = manager->FindSection(name);
    if (index >= 0 && !line.IsEmpty()) {
      TsBgSource self{cache, 0, 0, true};
      PaintSkinSection(index, name, self, -1, -1, manager, cache, {0, 0}, line, 0, true);
    }
    FMenuLineCache = TDib(std::max(line.Width(), 1), std::max(line.Height(), 1));
    TDC to(&FMenuLineCache), from(cache);
    BitBlt(&to, 0, 0, line.Width(), line.Height(), &from, line.Left, line.Top, SRCCOPY);
  }
  if (Bordered()) {
    // The title is laid over the frame as it is: its see-through parts show the frame's own
    // pixels at the same place.
    PaintTitleSection({0, 0, w, minimised ? composed : bh + ch}, 0, 0);
    PaintIcon(cache);
    PaintTitleBarPiece(cache);
  }
  if (Bordered()) {
    const int total = TotalButtonWidth() + BorderWidth();
    FButtonsBackLeft = std::max(w - total - 1, 0);
    const int top = TopBandHeight();
    FButtonsBack = TDib(std::min(total, w - FButtonsBackLeft), std::max(top, 1));
    TDC to(&FButtonsBack), from(cache);
    BitBlt(&to, 0, 0, FButtonsBack.Width(), FButtonsBack.Height(), &from, FButtonsBackLeft, 0, SRCCOPY);
    LayoutAndDrawButtons(cache);
    PaintCaptionText(cache, titleOnly);
  }
  if (!titleOnly) FFullRepaint = false;
  FCacheReady = true;
  FSkinData.CacheInvalid = false;
  FSkinData.Deferred = false;
}

void TsSkinProvider::ComposeFrame() {
  FFullRepaint = true;
  FSkinData.CacheInvalid = true;
  ComposeCache();
}

void TsSkinProvider::PaintTitleSection(const TRect& band, int offsetX, int offsetY) {
  TsSkinManager* manager = FSkinData.GetSkinManager();
  const std::string name = FTitleSkin.empty() ? "FORMTITLE" : FTitleSkin;
  const int index = manager->FindSection(name);
  if (index < 0 || band.IsEmpty()) return;
  TDib* cache = FSkinData.Cache();
  TsBgSource self{cache, offsetX, offsetY, true};
  PaintSkinSection(index, name, self, -1, -1, manager, cache, {0, 0}, band, FFormActive ? 1 : 0, false);
}

void TsSkinProvider::PaintIcon(TDib* cache) {
  if (!IconShown()) return;
  const TRect r = IconRect();
  TDC dc(cache);
  const TBitmap* glyph = FTitleIcon.Glyph();
  if (!glyph->Empty()) {
    const int t = TopBandHeight();
    const int w = FTitleIcon.Width ? FTitleIcon.Width : AutoIconSize(t - 2);
    const int h = FTitleIcon.Height ? FTitleIcon.Height : AutoIconSize(t - 2);
    const TDib pixels = glyph->Dib().As24();
    TDC source(const_cast<TDib*>(&pixels));
    TransparentBlt(&dc, r.Left, r.Top, w, h, &source, 0, 0, pixels.Width(), pixels.Height(), kKey);
    return;
  }
  const TIcon* icon = !FForm->Icon()->Empty() ? FForm->Icon() : Application && !Application->Icon()->Empty() ? Application->Icon() : nullptr;
  if (r.Width() <= 0 || r.Height() <= 0) return;
  const TIconImage& image = icon ? icon->Image() : GenericIcon(r.Width());
  DrawIconEx(&dc, r.Left, r.Top, &image, r.Width(), r.Height(), 0, nullptr, DI_NORMAL);
}

// The skin's piece behind the title buttons ("TITLEBAR" of the form's section), from the
// right edge over the whole title band: as wide as the buttons plus two thirds of one state of
// the piece, so that its left end shows before the first button.
void TsSkinProvider::PaintTitleBarPiece(TDib* cache) {
  TsSkinManager* manager = FSkinData.GetSkinManager();
  const int index = MaskIndexInOwnSection("TITLEBAR");
  if (!SystemGroupExists() || !manager || !manager->IsValidMaskIndex(index)) return;
  const TsMaskData& mask = manager->Masks()[size_t(index)];
  const int third = mask.Bmp ? mask.Bmp->Width() / 9 : mask.R.Width() / std::max<int>(mask.ImageCount, 1) / 3;
  const int w = cache->Width(), t = 2 * third + TotalButtonWidth();
  TsBgSource self{cache, 0, 0, true};
  PaintBorderMask(cache, {w - t, 0, w, BorderHeight() + CaptionHeight()}, true, true, FFormActive ? 1 : 0, mask, self);
}

void TsSkinProvider::PaintCaptionText(TDib* cache, bool titleOnly) {
  TsSkinManager* manager = FSkinData.GetSkinManager();
  const int w = cache->Width();
  const int bw = BorderWidth(), bh = BorderHeight(), ch = CaptionHeight();
  const TRect icon = IconRect();
  TRect r{(IconShown() ? icon.Width() : 0) + bw + 4, titleOnly ? 0 : bh, w - TotalButtonWidth() - 6,
          titleOnly ? bh + ch : ch};
  if (r.IsEmpty()) return;
  TDC dc(cache);
  TFont font;
  font.SetLogFont(FForm->Font()->LogFont());
  if (!titleOnly) {
    // The status font's height value is taken as a point size, as it stands: -11 gives a
    // font whose cell is 15 pixels high.
    NONCLIENTMETRICS metrics;
    SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0);
    font.SetSize(metrics.lfStatusFont.Height);
  }
  font.SetStyle(font.Style() | fsBold);
  SelectFont(&dc, font.LogFont());
  SetBkMode(&dc, TRANSPARENT);
  const std::string text = ShortenCaption(&dc, FForm->Caption(), w - icon.Right - TotalButtonWidth() - 6);
  if (text.empty()) return;
  unsigned format = DT_VCENTER | DT_EXPANDTABS | DT_SINGLELINE | DT_NOPREFIX;
  TAlignment align = FCaptionAlignment;
  if (FForm->UseRightToLeftAlignment() && align != taCenter) align = align == taLeftJustify ? taRightJustify : taLeftJustify;
  format |= align == taCenter ? DT_CENTER : align == taRightJustify ? DT_RIGHT : DT_LEFT;
  const std::string name = FTitleSkin.empty() ? "FORMTITLE" : FTitleSkin;
  const int index = manager->FindSection(name);
  DrawSkinnedText(&dc, text, r, format, index < 0 ? nullptr : &manager->Sections()[size_t(index)], FFormActive,
                  FForm->Enabled(), ColorToRGB(FForm->Font()->Color()));
}

// ---- Non-client painting ----------------------------------------------------------------------

void TsSkinProvider::PaintNonClient() {
  if (!FForm || !FForm->Visible() || !FForm->HandleAllocated() || InState(csLoading) ||
      FForm->InState(csLoading | csDestroying))
    return;
  FSkinData.SetDeferred(FSkinData.IsDeferred());
  if (FSkinData.Deferred) return;
  if (FSkinData.CacheInvalid) ComposeCache();
  if (FRegionDirty && !FInRegionUpdate && (Bordered() || (GetWindowStyle(FForm->Handle()) & WS_THICKFRAME))) {
    RebuildRegion();
    FRegionDirty = false;
    ApplyRegion();
  }
  if (!FMenuOwnerDrawDone && Skinned()) {
    // Once per activation: the main menu is the painter's, items added since included.
    FMenuOwnerDrawDone = true;
    ApplyMenuOwnerDraw();
  }
  HDC dc = GetWindowDC(FForm->Handle());
  if (dc) {
    const int saved = SaveDC(dc);
    CopyBands(dc);
    RestoreDC(dc, saved);
    ReleaseDC(FForm->Handle(), dc);
  }
  FInRegionUpdate = false;
}

void TsSkinProvider::CopyBands(HDC dc) {
  TDib* cache = FSkinData.Cache();
  if (!dc || !cache || cache->Empty()) return;
  if (FSkinData.CacheInvalid) ComposeCache();
  TDC source(cache);
  TRect window;
  GetWindowRect(FForm->Handle(), &window);
  const int w = window.Width(), h = window.Height();
  auto copy = [&](int x, int y, int cw, int ch) {
    if (cw > 0 && ch > 0) BitBlt(dc, x, y, cw, ch, &source, x, y, SRCCOPY);
  };
  if (Bordered() || !(GetWindowStyle(FForm->Handle()) & WS_THICKFRAME)) {
    const int top = TopBandHeight(), side = SideBandWidth(), bottom = BottomBandHeight();
    const int y0 = (IsIconic(FForm->Handle()) ? 1 : 0) + BorderHeight() + CaptionHeight() +
                   (MainMenuShown() ? MenuBarRect().Height() : 0) + FForm->BorderWidth;
    copy(0, 0, w, top);
    if (MainMenuShown() && !IsIconic(FForm->Handle())) PaintMenuBarItems(FForm->Handle(), dc, MenuBarRect(), false);
    copy(0, y0, side, h - y0);
    copy(side, h - bottom, w - side, bottom);
    copy(cache->Width() - side, y0, side, h - y0);
  } else {
    const int t = FForm->BorderWidth + 3;
    copy(0, 0, w, t);
    copy(0, t, t, h - t);
    copy(t, h - t, w - t, t);
    copy(cache->Width() - t, t, t, h - t);
  }
}

// ---- Client background -------------------------------------------------------------------------

void TsSkinProvider::PaintClient() {
  HWND handle = FForm->Handle();
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(handle, &ps);
  struct TEnd {
    HWND Handle;
    PAINTSTRUCT* Ps;
    ~TEnd() { EndPaint(Handle, Ps); }
  } end{handle, &ps};
  if (!dc || FSkinData.Painting) return;
  FSkinData.SetDeferred(FSkinData.IsDeferred());
  if (FSkinData.Deferred || FForm->InState(csDestroying)) return;
  const int saved = SaveDC(dc);
  TRect client;
  GetClientRect(handle, &client);
  const TPoint offset = ClientOffset();
  TControl* single = FSkinData.SingleChild;
  if (!single) {
    if (FSkinData.CacheInvalid && !FSkinData.RebuildSuspended) ComposeCache();
    FSkinData.PaintCacheTo({SideBandWidth(), offset.Y, 0, 0}, false, dc, client);
    FSkinData.Painting = true;
    try {
      PaintGraphicChildren(dc, FForm);
    } catch (...) {
      FSkinData.Painting = false;
      throw;
    }
    FSkinData.Painting = false;
  } else if (single->Parent() == FForm) {
    FSkinData.Painting = true;
    const int inner = SaveDC(dc);
    OffsetViewportOrgEx(dc, single->Left(), single->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, single->Width(), single->Height());
    if (single->ControlStyle & csOpaque) {
      single->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    } else {
      TDib picture(single->Width(), single->Height());
      TDC pdc(&picture), from(FSkinData.Cache());
      BitBlt(&pdc, 0, 0, picture.Width(), picture.Height(), &from, single->Left() + offset.X, single->Top() + offset.Y, SRCCOPY);
      single->Perform(WM_PAINT, reinterpret_cast<WPARAM>(&pdc), 0);
      BitBlt(dc, 0, 0, picture.Width(), picture.Height(), &pdc, 0, 0, SRCCOPY);
    }
    RestoreDC(dc, inner);
    FSkinData.Painting = false;
  }
  RestoreDC(dc, saved);
  if (FForm->OnPaint) FForm->OnPaint(FForm);
}
