#include "menus/sSkinMenus.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "controls/sTextWriter.h"
#include "platform/components/PropertyBuilder.h"
#include "platform/graphics/DC.h"
#include "platform/graphics/Text.h"
#include "platform/widgets/Forms.h"
#include "skin/data/sSkinManager.h"
#include "skin/render/sBackground.h"
#include "skin/render/sMaskPainter.h"
#include "skin/render/sPixelTools.h"

namespace {

constexpr COLORREF kKey = 0xFF00FF;
constexpr UINT kPaintItemBorder = 0xBCB3, kPaintPopupBorder = 0xBCB4;

// The popup being shown: one at a time in the whole program.
struct TPopupState {
  TDib Back;                    // the composed background of the whole popup window
  TMenuItem* FirstItem = nullptr;
  std::string ExtraSection = "EXTRALINE";
  std::string ExtraText;
  std::unique_ptr<TDib> ExtraPicture;
  bool ExtraShown = false;
  bool ExtraPrepared = false;
  TsMenuItemKind LastKind = mkNormal;
};
TPopupState& Popup() {
  static TPopupState state;
  return state;
}

// Popup windows whose procedure the painter replaced, with the procedure it replaced.
std::map<HWND, WNDPROC>& Attached() {
  static std::map<HWND, WNDPROC> windows;
  return windows;
}

TLogFont ScreenMenuFont(bool bold) {
  NONCLIENTMETRICS metrics;
  SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0);
  TLogFont font = metrics.lfMenuFont;
  if (bold) font.Style |= fsBold;
  return font;
}

int RoundEven(double v) { return int(std::nearbyint(v)); }

// Whether an item is in its popup's first column (no column break at or before it).
bool InFirstColumn(TMenuItem* item) {
  TMenuItem* parent = item->Parent();
  if (!parent) return true;
  for (int i = 0; i < parent->Count(); ++i) {
    TMenuItem* it = parent->Items(i);
    if (it->Visible() && it->Break() != TMenuItem::mbNone) return false;
    if (it == item) return true;
  }
  return true;
}

TMenuItem* FirstVisible(TMenuItem* parent) {
  for (int i = 0; parent && i < parent->Count(); ++i)
    if (parent->Items(i)->Visible()) return parent->Items(i);
  return nullptr;
}

// The item after `item` among its visible siblings, or nullptr.
TMenuItem* NextVisible(TMenuItem* item) {
  TMenuItem* parent = item->Parent();
  if (!parent) return nullptr;
  bool seen = false;
  for (int i = 0; i < parent->Count(); ++i) {
    TMenuItem* it = parent->Items(i);
    if (seen && it->Visible()) return it;
    if (it == item) seen = true;
  }
  return nullptr;
}

std::string ShortcutText(const TMenuItem* item) { return item->ShortCut() ? ShortCutToText(item->ShortCut()) : ""; }

}  // namespace

TsMenuItemKind MenuItemKind(const std::string& caption) {
  if (caption == "-") return mkSeparator;
  if (caption.size() > 1 && caption.front() == '-' && caption.back() == '-') return mkTitle;
  return mkNormal;
}

TsSkinableMenus::TsSkinableMenus(TsSkinManager* manager) : FManager(manager) {}

TsSkinableMenus::~TsSkinableMenus() = default;

const TDib& TsSkinableMenus::PopupBack() { return Popup().Back; }

void TsSkinableMenus::DropPopupBack() {
  TPopupState& p = Popup();
  p.Back = TDib();
  p.FirstItem = nullptr;
  p.ExtraShown = p.ExtraPrepared = false;
  p.ExtraPicture.reset();
}

int TsSkinableMenus::SkinBorderWidth() {
  if (FSkinBorderWidth >= 0) return FSkinBorderWidth;
  FSkinBorderWidth = 0;
  const int section = FManager ? FManager->FindSection("MAINMENU") : -1;
  const int mask = section >= 0 ? FManager->FindMask(section, "MAINMENU", "BORDERSMASK") : -1;
  if (FManager && FManager->IsValidMaskIndex(mask)) {
    const int width = FManager->Masks()[size_t(mask)].BorderWidth;
    FSkinBorderWidth = width > 0 ? width : 3;
  }
  return FSkinBorderWidth;
}

void TsSkinableMenus::SkinChanged() {
  FSkinBorderWidth = -1;
  DropPopupBack();
}

// ---- Switching menus to skinned drawing ------------------------------------------------------------

void TsSkinableMenus::Activate(bool on) { SwitchOwnedBy(Application, on); }

void TsSkinableMenus::SwitchOwnedBy(TComponent* root, bool on) {
  FActive = on;
  if (!FManager || FManager->InState(csDesigning) || !root) return;
  try {
    SwitchComponent(root, on);
  } catch (...) {
  }
}

void TsSkinableMenus::SwitchComponent(TComponent* component, bool on) {
  for (int i = 0; i < component->ComponentCount(); ++i) {
    TComponent* c = component->Components(i);
    if (auto* main = dynamic_cast<TMainMenu*>(c)) SwitchMainMenu(main, on);
    else if (auto* popup = dynamic_cast<TPopupMenu*>(c); popup && FManager->SkinnedPopups()) SwitchPopup(popup, on);
    else if (auto* item = dynamic_cast<TMenuItem*>(c); item && FManager->SkinnedPopups()) {
      TMenu* menu = item->GetParentMenu();
      if (!dynamic_cast<TMainMenu*>(menu)) SwitchItems(item, on);
    }
    SwitchComponent(c, on);
  }
}

void TsSkinableMenus::SwitchMainMenu(TMainMenu* menu, bool on) {
  if (!menu) return;
  TMenuItem* items = menu->Items();
  for (int i = 0; i < items->Count(); ++i) {
    TMenuItem* top = items->Items(i);
    if (on && FActive) {
      if (!top->OnDrawItem || top->HandlersOwner == this) {
        top->OnMeasureItem = [this](TObject* s, TCanvas* c, int& w, int& h) { MeasureBarItem(static_cast<TMenuItem*>(s), c, w, h); };
        top->OnDrawItem = [this](TObject* s, TCanvas* c, TRect r, bool sel) { DrawBarItem(static_cast<TMenuItem*>(s), c, r, sel); };
        top->HandlersOwner = this;
      }
    } else if (top->HandlersOwner == this) {
      top->OnMeasureItem = nullptr;
      top->OnDrawItem = nullptr;
      top->HandlersOwner = nullptr;
    }
    SwitchItems(top, on);
  }
  if (!menu->InState(csDestroying)) {
    menu->SetOwnerDraw(on && FActive);
    menu->Changed();
  }
}

void TsSkinableMenus::SwitchPopup(TPopupMenu* menu, bool on) {
  if (!menu) return;
  SwitchItems(menu->Items(), on);
  if (!menu->InState(csDestroying)) {
    menu->SetOwnerDraw(on && FActive);
    menu->Changed();
  }
}

void TsSkinableMenus::SwitchItems(TMenuItem* parent, bool on) {
  if (!parent) return;
  for (int i = 0; i < parent->Count(); ++i) {
    TMenuItem* item = parent->Items(i);
    if (on && FActive) {
      if (!item->OnDrawItem && !item->OnMeasureItem) {
        item->OnMeasureItem = [this](TObject* s, TCanvas* c, int& w, int& h) { MeasurePopupItem(static_cast<TMenuItem*>(s), c, w, h); };
        item->OnDrawItem = [this](TObject* s, TCanvas* c, TRect r, bool sel) { DrawPopupItem(static_cast<TMenuItem*>(s), c, r, sel); };
        item->HandlersOwner = this;
      }
    } else if (item->HandlersOwner == this) {
      item->OnMeasureItem = nullptr;
      item->OnDrawItem = nullptr;
      item->HandlersOwner = nullptr;
    }
    SwitchItems(item, on);
  }
  if (TMenu* menu = parent->GetParentMenu(); menu && !menu->InState(csDestroying)) menu->Changed();
}

void TsSkinableMenus::PrepareItem(TMenuItem* item, bool on) {
  if (!item) return;
  TMenu* menu = item->GetParentMenu();
  if (menu) menu->SetOwnerDraw(on && FActive);
  if (!on || !FActive) {
    if (item->HandlersOwner == this) {
      item->OnMeasureItem = nullptr;
      item->OnDrawItem = nullptr;
      item->HandlersOwner = nullptr;
    }
    return;
  }
  const bool bar = dynamic_cast<TMainMenu*>(menu) && item->Parent() == menu->Items();
  if (bar) {
    item->OnMeasureItem = [this](TObject* s, TCanvas* c, int& w, int& h) { MeasureBarItem(static_cast<TMenuItem*>(s), c, w, h); };
    item->OnDrawItem = [this](TObject* s, TCanvas* c, TRect r, bool sel) { DrawBarItem(static_cast<TMenuItem*>(s), c, r, sel); };
    item->HandlersOwner = this;
  } else if (FManager->SkinnedPopups() && !item->OnDrawItem && !item->OnMeasureItem) {
    item->OnMeasureItem = [this](TObject* s, TCanvas* c, int& w, int& h) { MeasurePopupItem(static_cast<TMenuItem*>(s), c, w, h); };
    item->OnDrawItem = [this](TObject* s, TCanvas* c, TRect r, bool sel) { DrawPopupItem(static_cast<TMenuItem*>(s), c, r, sel); };
    item->HandlersOwner = this;
  }
}

bool TsSkinableMenus::HandleAppMessage(TMessage& m) {
  if (m.Msg == kPaintItemBorder) {
    if (Popup().Back.Empty()) return false;
    if (auto* item = reinterpret_cast<TMenuItem*>(m.LParam); item && item->GetParentMenu()) {
      HMENU menu = item->GetParentMenu()->Handle();
      if (HWND popup = GetMenuWindow(menu)) PaintPopupBorder(popup);
    }
    return true;
  }
  if (m.Msg == kPaintPopupBorder) {
    if (auto popup = reinterpret_cast<HWND>(m.LParam); popup && IsWindow(popup)) PaintPopupBorder(popup);
    return true;
  }
  return false;
}

// ---- Geometry ------------------------------------------------------------------------------------------

TSize TsSkinableMenus::GlyphSize(TMenuItem*) { return {16, 16}; }

int TsSkinableMenus::ExtraLineWidth(bool inside) {
  if (!FManager || !FManager->MenuSupport()->UseExtraLine || !Popup().ExtraShown) return 0;
  int width = FManager->MenuSupport()->ExtraLineWidth;
  const int skin = SkinBorderWidth();
  if (inside && skin < BorderWidth) width -= BorderWidth - skin;
  return std::max(width, 0);
}

void TsSkinableMenus::PrepareExtraLine(TMenuItem* first) {
  TPopupState& p = Popup();
  if (p.ExtraPrepared) return;
  p.ExtraPrepared = true;
  if (first && first->Name() == "SkinSelectItem") {
    p.ExtraShown = false;
    return;
  }
  p.ExtraShown = true;
  p.ExtraSection = "EXTRALINE";
  p.ExtraPicture.reset();
  p.ExtraText = "Don`t forget OnGetExtraLineData event...";
  if (FManager && FManager->OnGetMenuExtraLineData)
    FManager->OnGetMenuExtraLineData(FManager, first, p.ExtraText, p.ExtraSection, p.ExtraShown);
  p.ExtraText.erase(std::remove(p.ExtraText.begin(), p.ExtraText.end(), '&'), p.ExtraText.end());
  if (!p.ExtraShown) p.ExtraPicture.reset();
}

// ---- Measuring -----------------------------------------------------------------------------------------

void TsSkinableMenus::MeasurePopupItem(TMenuItem* item, TCanvas* canvas, int& width, int& height) {
  TPopupState& p = Popup();
  TMenuItem* first = item->Parent() ? FirstVisible(item->Parent()) : item;
  if (first != p.FirstItem) {
    DropPopupBack();
    p.FirstItem = first;
  }
  PrepareExtraLine(first);
  canvas->Font()->SetLogFont(ScreenMenuFont(item->Default()));
  const TSize glyph = GlyphSize(item);
  const TsMenuItemKind kind = MenuItemKind(item->Caption());
  p.LastKind = kind;
  HDC dc = canvas->Handle();
  SelectFont(dc, canvas->Font()->LogFont());
  auto textWidth = [&](const std::string& t) {
    TSize s;
    GetTextExtentPoint32(dc, t, &s);
    return s.cx;
  };
  switch (kind) {
    case mkTitle:
      width = 2 * glyph.cx + textWidth("-" + item->Caption() + "-") + 3 * Margin + Spacing;
      break;
    case mkSeparator:
      width = 2 * glyph.cx + 3 * Margin + Spacing;
      break;
    default: {
      std::string text = item->Caption();
      const std::string shortcut = ShortcutText(item);
      if (!shortcut.empty()) text += "\t" + shortcut;
      TRect r{0, 0, 0, 0};
      DrawText(dc, text, &r, DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS | DT_SINGLELINE);
      width = 2 * glyph.cx + r.Width() + 3 * Margin + Spacing;
      break;
    }
  }
  if (InFirstColumn(item)) width += ExtraLineWidth(false);
  TSize w;
  GetTextExtentPoint32(dc, "W", &w);
  const int line = RoundEven(1.25 * w.cy);
  if (kind == mkSeparator) height = 2;
  else if (kind == mkTitle) height = line + 2 * Margin;
  else height = std::max(line, int(glyph.cy)) + 2 * Margin;
}

void TsSkinableMenus::MeasureBarItem(TMenuItem* item, TCanvas* canvas, int& width, int& height) {
  canvas->Font()->SetLogFont(ScreenMenuFont(item->Default()));
  HDC dc = canvas->Handle();
  SelectFont(dc, canvas->Font()->LogFont());
  std::string text = item->Caption();
  const std::string shortcut = ShortcutText(item);
  if (!shortcut.empty()) text += "\t" + shortcut;
  TRect r{0, 0, 0, 0};
  DrawText(dc, text, &r, DT_CALCRECT | DT_EXPANDTABS | DT_SINGLELINE);
  height = GetSystemMetrics(SM_CYMENU) - 1;
  // At least the text; with room for the margins the caption is drawn inside and a gap.
  width = std::max(width, r.Width() + 2 * Margin + 8);
}

// ---- The popup's background ------------------------------------------------------------------------------

void TsSkinableMenus::ComposePopupBack(TMenuItem* first, int width, int height) {
  TPopupState& p = Popup();
  if (!FManager || width <= 0 || height <= 0) return;
  if (p.FirstItem == first && p.Back.Width() == width && p.Back.Height() == height) return;
  PrepareExtraLine(first);
  p.FirstItem = first;
  p.Back = TDib(width, height);
  const int section = FManager->FindSection("MAINMENU");
  TsBgSource none;
  if (section >= 0) {
    PaintSkinSection(section, "MAINMENU", none, -1, -1, FManager, &p.Back, {0, 0}, {0, 0, width, height}, 0, false);
  } else {
    p.Back.Fill(GetSysColor(COLOR_MENU));
  }
  const int skin = SkinBorderWidth();
  const int extraSection = FManager->FindSection(p.ExtraSection);
  if (p.ExtraShown && FManager->MenuSupport()->UseExtraLine && extraSection >= 0) {
    const int bandWidth = FManager->MenuSupport()->ExtraLineWidth, bandHeight = height - 2 * skin;
    if (bandWidth > 0 && bandHeight > 0) {
      TDib band(bandWidth, bandHeight);
      TsBgSource behind{&p.Back, 0, 0, true};
      PaintSkinSection(extraSection, p.ExtraSection, behind, -1, -1, FManager, &band, {skin, skin},
                       {0, 0, bandWidth, bandHeight}, 0, true);
      TDC dc(&band);
      int bottom = bandHeight - 12;
      if (p.ExtraPicture && !p.ExtraPicture->Empty()) {
        const TDib& pic = *p.ExtraPicture;
        CopyKeyedBitmap(&band, pic, (bandWidth - pic.Width()) / 2, kKey, bandHeight - 12 - pic.Height());
        bottom = bandHeight - pic.Height() - 20;
      }
      if (!p.ExtraText.empty()) {
        // Written upwards along the band.
        const TLogFont f = FManager->MenuSupport()->ExtraLineFont()->LogFont();
        TDib text(std::max(bottom, 1), bandWidth);
        text.Fill(kKey);
        TDC tdc(&text);
        SelectFont(&tdc, f);
        SetBkMode(&tdc, TRANSPARENT);
        SetTextColor(&tdc, ColorToRGB(FManager->Sections()[size_t(extraSection)].FontColor));
        TRect r{0, 0, text.Width(), text.Height()};
        DrawText(&tdc, p.ExtraText, &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        for (int y = 0; y < text.Height(); ++y)
          for (int x = 0; x < text.Width(); ++x) {
            const COLORREF c = text.GetPixel(x, y);
            const int bx = y, by = bottom - 1 - x;
            if (c != kKey && bx < bandWidth && by >= 0) band.SetPixel(bx, by, c);
          }
      }
      TDC to(&p.Back);
      BitBlt(&to, skin, skin, bandWidth, bandHeight, &dc, 0, 0, SRCCOPY);
    }
  }
  const int iconSection = FManager->FindSection(FManager->MenuSupport()->IcoLineSkin);
  if (iconSection >= 0) {
    const int columnWidth = Margin + GlyphSize(first).cx + Spacing, columnHeight = height - 2 * skin;
    if (columnWidth > 0 && columnHeight > 0) {
      TDib band(columnWidth, columnHeight);
      TsBgSource behind{&p.Back, 0, 0, true};
      const int x = ExtraLineWidth(false) + skin;
      PaintSkinSection(iconSection, FManager->MenuSupport()->IcoLineSkin, behind, -1, -1, FManager, &band, {x, skin},
                       {0, 0, columnWidth, columnHeight}, 0, true);
      TDC to(&p.Back), from(&band);
      BitBlt(&to, x, skin, columnWidth, columnHeight, &from, 0, 0, SRCCOPY);
    }
  }
  // The corners of the popup's outline.
  FCornerRects.clear();
  const int mask = section >= 0 ? FManager->FindMask(section, "MAINMENU", "BORDERSMASK") : -1;
  if (FManager->IsValidMaskIndex(mask))
    FCornerRects = BorderMaskCornerHoles(FManager->Masks()[size_t(mask)], FManager->MasterBitmap(), width, height);
}

void TsSkinableMenus::PaintPopupBorder(HWND popup) {
  const TDib& back = Popup().Back;
  if (back.Empty() || !IsWindow(popup)) return;
  TRect window, client;
  GetWindowRect(popup, &window);
  GetClientRect(popup, &client);
  if (window.Width() != back.Width() || window.Height() != back.Height()) return;
  HDC dc = GetWindowDC(popup);
  if (!dc) return;
  const int saved = SaveDC(dc);
  TPoint origin{0, 0};
  ClientToScreen(popup, &origin);
  const int cx = origin.X - window.Left, cy = origin.Y - window.Top;
  ExcludeClipRect(dc, cx, cy, cx + client.Width(), cy + client.Height());
  TDC source(const_cast<TDib*>(&back));
  BitBlt(dc, 0, 0, back.Width(), back.Height(), &source, 0, 0, SRCCOPY);
  RestoreDC(dc, saved);
  ReleaseDC(popup, dc);
}

void TsSkinableMenus::AttachPopupWindow(HWND popup) {
  if (!popup || !IsWindow(popup)) return;
  auto& attached = Attached();
  if (!attached.count(popup)) {
    WNDPROC old = GetWindowProc(popup);
    attached[popup] = old;
    SetWindowProc(popup, [this, old](HWND h, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
      switch (msg) {
        case WM_ERASEBKGND:
          return 1;
        case WM_NCPAINT:
          // The border is the composed background's, not the plain one.
          PaintPopupBorder(h);
          return 0;
        case WM_DESTROY: {
          DropPopupBack();
          Attached().erase(h);
          SetWindowProc(h, old);
          return CallWindowProc(old, h, msg, wp, lp);
        }
        default:
          return CallWindowProc(old, h, msg, wp, lp);
      }
    });
  }
  // The outline: the rectangle less the border mask's transparent corners.
  TRect window;
  GetWindowRect(popup, &window);
  TRegion outline(TRect{0, 0, window.Width(), window.Height()});
  for (const TRect& r : FCornerRects) outline = outline.Subtract(TRegion(r));
  TRegion current;
  const bool has = GetWindowRgn(popup, &current) != RGN_ERROR;
  if (!FCornerRects.empty() && (!has || !(current == outline))) SetWindowRgn(popup, &outline, false);
  PaintPopupBorder(popup);
}

// ---- Painting ------------------------------------------------------------------------------------------------

void TsSkinableMenus::DrawPopupItem(TMenuItem* item, TCanvas* canvas, const TRect& rect, bool selected) {
  if (!FManager || !item) return;
  HDC dc = canvas->Handle();
  if (!dc) return;
  if (Application) {
    if (TControl* hot = Application->MouseControl()) hot->Perform(CM_MOUSELEAVE);
  }
  TPopupState& p = Popup();
  TMenuItem* first = item->Parent() ? FirstVisible(item->Parent()) : item;
  HWND popup = WindowFromDC(dc);
  if (popup) {
    TRect window;
    GetWindowRect(popup, &window);
    ComposePopupBack(first, window.Width(), window.Height());
    AttachPopupWindow(popup);
  } else if (p.Back.Empty()) {
    ComposePopupBack(first, rect.Right + 2 * BorderWidth, rect.Bottom + 2 * BorderWidth);
  }
  if (p.Back.Empty()) return;
  const int border = 3;
  const TsMenuItemKind kind = MenuItemKind(item->Caption());
  const bool firstColumn = InFirstColumn(item);
  const int extra = firstColumn ? ExtraLineWidth(true) : 0;
  TDC backDC(&p.Back);

  if (kind == mkTitle) return;
  if (kind == mkSeparator) {
    TDib picture(std::max(rect.Width(), 1), std::max(rect.Height(), 1));
    TDC pdc(&picture);
    BitBlt(&pdc, 0, 0, picture.Width(), picture.Height(), &backDC, rect.Left + border, rect.Top + border, SRCCOPY);
    int divider = FManager->FindMask(FManager->FindSection("DIVIDERV"), "DIVIDERV", "BORDERSMASK");
    if (!FManager->IsValidMaskIndex(divider))
      divider = FManager->FindMask(FManager->FindSection("TRACKBAR"), "TRACKBAR", "SLIDERCHANNEL");
    const int left = extra + Margin + Spacing, right = picture.Width() - (extra + 2 * Margin + Spacing);
    if (FManager->IsValidMaskIndex(divider) && right > left) {
      TsBgSource behind{&p.Back, rect.Left + border, rect.Top + border, true};
      PaintBorderMask(&picture, {left, 0, right, picture.Height()}, true, true, 0, FManager->Masks()[size_t(divider)],
                      behind);
    } else {
      const int y = picture.Height() / 2 - 1;
      FillRectColor(&pdc, {left, y, right, y + 1}, TColor(0x808080));
      FillRectColor(&pdc, {left, y + 1, right, y + 2}, clWhite);
    }
    BitBlt(dc, rect.Left, rect.Top, rect.Width(), rect.Height(), &pdc, 0, 0, SRCCOPY);
    return;
  }

  // The end of a column shows the background down to six pixels above the popup's bottom; a
  // column that starts here gets the divider strip left of it.
  TMenuItem* next = NextVisible(item);
  const int bottomLimit = p.Back.Height() - 2 * border - 6 + 3;
  if ((next && next->Break() != TMenuItem::mbNone) || (!next && rect.Bottom < bottomLimit)) {
    if (bottomLimit > rect.Bottom)
      BitBlt(dc, rect.Left, rect.Bottom, rect.Width(), bottomLimit - rect.Bottom, &backDC, rect.Left + border,
             rect.Bottom + border, SRCCOPY);
  }
  if (item->Break() != TMenuItem::mbNone && rect.Left >= 4)
    BitBlt(dc, rect.Left - 4, rect.Top, 4, rect.Height(), &backDC, rect.Left - 4 + border, rect.Top + border, SRCCOPY);

  const int w = std::max(rect.Width() - extra, 1), h = std::max(rect.Height(), 1);
  TDib picture(w, h);
  TDC pdc(&picture);
  const bool enabled = item->Enabled();
  const int state = enabled && selected ? 1 : 0;
  const int menuItem = FManager->FindSection("MENUITEM");
  TsBgSource behind{&p.Back, border, border, true};
  if (menuItem >= 0) {
    PaintSkinSection(menuItem, "MENUITEM", behind, -1, -1, FManager, &picture, {rect.Left + extra, rect.Top},
                     {0, 0, w, h}, state, true);
  } else {
    BitBlt(&pdc, 0, 0, w, h, &backDC, rect.Left + extra + border, rect.Top + border, SRCCOPY);
  }
  const TSize glyph = GlyphSize(item);
  if (item->Checked()) {
    const int global = FManager->FindSection("GLOBALINFO");
    int mask = FManager->FindMask(global, "GLOBALINFO", item->RadioItem() ? "RADIOCHECKED" : "CHECK");
    if (!FManager->IsValidMaskIndex(mask)) mask = FManager->FindMask(global, "GLOBALINFO", "BOXCHECKED");
    if (FManager->IsValidMaskIndex(mask)) {
      const TsMaskData& m = FManager->Masks()[size_t(mask)];
      const int mh = m.Bmp ? m.Bmp->Height() / 2 : m.R.Height() / (m.MaskType + 1);
      DrawMaskImage(&picture, {Margin, (h - mh) / 2}, state, m, 1);
    }
  }
  TLogFont font = ScreenMenuFont(item->Default());
  SelectFont(&pdc, font);
  const TsGeneralData* section = menuItem >= 0 ? &FManager->Sections()[size_t(menuItem)] : nullptr;
  std::string caption = item->Caption();
  unsigned format = DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP | DT_HIDEPREFIX;
  TAlignment align = Alignment;
  if (!caption.empty() && caption.front() == '\b') {
    caption = caption.substr(1) + "      ";
    align = taRightJustify;
  }
  format |= align == taCenter ? DT_CENTER : align == taRightJustify ? DT_RIGHT : DT_LEFT;
  const TRect textRect{glyph.cx + 2 * Margin + Spacing, 0, w, h};
  const bool hot = enabled && selected;
  DrawSkinnedText(&pdc, caption, textRect, format, section, hot, true, ColorToRGB(clMenuText));
  const std::string shortcut = ShortcutText(item);
  if (!shortcut.empty()) {
    SelectFont(&pdc, font);
    DrawSkinnedText(&pdc, shortcut, {textRect.Left, 0, w - 8, h}, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX, section, hot,
                    true, ColorToRGB(clMenuText));
  }
  if (OnDrawItem) {
    TCanvas pictureCanvas;
    pictureCanvas.SetHandle(&pdc);
    unsigned drawState = (selected ? 1u : 0u) | (item->Checked() ? 8u : 0u) | (item->Default() ? 0x20u : 0u);
    OnDrawItem(item, &pictureCanvas, kind, drawState, {0, 0, w, h});
    pictureCanvas.SetHandle(nullptr);
  }
  if (!enabled)
    BlendKeyed(&picture, 0, 0, kKey, 0.4, Bounds(rect.Left + extra + border, rect.Top + border, w, h), &p.Back);
  BitBlt(dc, rect.Left + extra, rect.Top, w, h, &pdc, 0, 0, SRCCOPY);
  if (extra > 0) BitBlt(dc, rect.Left, rect.Top, extra, h, &backDC, rect.Left + border, rect.Top + border, SRCCOPY);
}

void TsSkinableMenus::DrawBarItem(TMenuItem* item, TCanvas* canvas, const TRect& rect, bool selected) {
  if (!FManager || !item || item->Name() == "sMDICII") return;
  HDC dc = canvas->Handle();
  if (!dc || rect.IsEmpty()) return;
  TDib picture(rect.Width(), rect.Height());
  TDC pdc(&picture);
  BitBlt(&pdc, 0, 0, rect.Width(), rect.Height(), dc, rect.Left, rect.Top, SRCCOPY);
  const int menuItem = FManager->FindSection("MENUITEM");
  const int state = selected && item->Enabled() ? 1 : 0;
  if (menuItem >= 0) {
    TsBgSource behind{&picture, 0, 0, true};
    if (state) PaintSkinSection(menuItem, "MENUITEM", behind, -1, -1, FManager, &picture, {0, 0}, {0, 0, rect.Width(), rect.Height()}, state, true);
  }
  SelectFont(&pdc, ScreenMenuFont(item->Default()));
  const int line = FManager->FindSection("MENULINE");
  const TsGeneralData* section = line >= 0 ? &FManager->Sections()[size_t(line)] : nullptr;
  const TRect text{Margin, 0, rect.Width() - Margin, rect.Height()};
  DrawSkinnedText(&pdc, item->Caption(), text, DT_CENTER | DT_VCENTER | DT_EXPANDTABS | DT_HIDEPREFIX, section, false,
                  true, ColorToRGB(clMenuText));
  if (OnDrawItem) {
    TCanvas pictureCanvas;
    pictureCanvas.SetHandle(&pdc);
    OnDrawItem(item, &pictureCanvas, mkBarItem, selected ? 1u : 0u, {0, 0, rect.Width(), rect.Height()});
    pictureCanvas.SetHandle(nullptr);
  }
  if (!item->Enabled()) {
    TDib behind(rect.Width(), rect.Height());
    TDC bdc(&behind);
    BitBlt(&bdc, 0, 0, rect.Width(), rect.Height(), dc, rect.Left, rect.Top, SRCCOPY);
    BlendKeyed(&picture, 0, 0, kKey, 0.4, behind.BoundsRect(), &behind);
  }
  BitBlt(dc, rect.Left, rect.Top, rect.Width(), rect.Height(), &pdc, 0, 0, SRCCOPY);
}

// ---- Stored properties ---------------------------------------------------------------------------------------

const TPropertyTable& TsSkinableMenus::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TPersistent::ClassProperties());
    TPropertyBuilder<TsSkinableMenus> b(t);
    using M = TsSkinableMenus;
    b.Enum<TAlignment>("Alignment", {{"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}},
                       [](M& m, TAlignment v) { m.Alignment = v; });
    b.Integer("BevelWidth", TIntRange{0, 100}, [](M& m, int64_t v) { m.BevelWidth = int(v); });
    b.Integer("BorderWidth", TIntRange{0, 100}, [](M& m, int64_t v) { m.BorderWidth = int(v); });
    b.Object("CaptionFont", [](M& m) -> TPersistent* { return m.CaptionFont(); });
    b.Integer("Margin", TIntRange{0, 100}, [](M& m, int64_t v) { m.Margin = int(v); });
    b.Integer("Spacing", TIntRange{0, 100}, [](M& m, int64_t v) { m.Spacing = int(v); });
    return t;
  }();
  return table;
}

void RegisterSkinableMenus() {
  TsMenuPainter::Factory() = [](TsSkinManager* manager) -> std::unique_ptr<TsMenuPainter> {
    return std::make_unique<TsSkinableMenus>(manager);
  };
}
