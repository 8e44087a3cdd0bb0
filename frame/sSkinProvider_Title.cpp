// Title-bar buttons: glyphs from the skin, layout from the right edge, hit testing, hot and
// pressed tracking with single-button repaints, and the commands they send.
#include <algorithm>

#include "frame/sSkinProvider.h"
#include "menus/sSystemMenu.h"
#include "platform/graphics/DC.h"
#include "skin/data/sSkinManager.h"
#include "skin/render/sMaskPainter.h"

namespace {

// True between a press on a title button and its release or cancellation; one for the whole
// program, so a press in one window is not released in another.
bool gButtonPressed = false;

constexpr int kDefaultButtonSize = 21;

// The size of one state of a glyph mask.
TSize StateSize(const TsMaskData& m) {
  const int n = std::max<int>(m.ImageCount, 1);
  if (m.Bmp) return {m.Bmp->Width() / n, m.Bmp->Height() / 2};
  return {m.R.Width() / n, m.R.Height() / (m.MaskType + 1)};
}

}  // namespace

int TsSkinProvider::MaskIndexInGlobal(const char* name) const {
  TsSkinManager* manager = FSkinData.GetSkinManager();
  if (!manager) return -1;
  const int global = manager->FindSection("GLOBALINFO");
  return global < 0 ? -1 : manager->FindMask(global, "GLOBALINFO", name);
}

int TsSkinProvider::MaskIndexInOwnSection(const char* name) const {
  TsSkinManager* manager = FSkinData.GetSkinManager();
  if (!manager || FSkinData.SectionIndex < 0) return -1;
  return manager->FindMask(FSkinData.SectionIndex, FSkinData.SkinSection(), name);
}

void TsSkinProvider::ResolveButtonGlyphs() {
  TsSkinManager* manager = FSkinData.GetSkinManager();
  if (!manager || manager->FindSection("GLOBALINFO") < 0) return;
  auto form = [&](const char* name) {
    const int section = manager->FindSection("FORM");
    return section < 0 ? -1 : manager->FindMask(section, "FORM", name);
  };
  int close = MaskIndexInGlobal("BICONCLOSE");
  if (close < 0) {
    FButtonMin.ImageIndex = form("BICONMIN");
    FButtonMax.ImageIndex = form("BICONMAX");
    FButtonClose.ImageIndex = form("BICONCLOSE");
    FButtonHelp.ImageIndex = form("BICONHELP");
  } else {
    const TFormBorderStyle s = FForm ? FForm->BorderStyle() : bsSizeable;
    if (s == bsSingle || s == bsSizeable) {
      FButtonMin.ImageIndex = MaskIndexInGlobal("BICONMIN");
      FButtonMax.ImageIndex = MaskIndexInGlobal("BICONMAX");
      FButtonClose.ImageIndex = MaskIndexInGlobal("BICONCLOSE");
    } else {
      FButtonClose.ImageIndex = MaskIndexInGlobal("SICONCLOSE");
      FButtonMin.ImageIndex = MaskIndexInGlobal("SICONMIN");
      FButtonMax.ImageIndex = MaskIndexInGlobal("SICONMAX");
    }
    FButtonHelp.ImageIndex = MaskIndexInGlobal("BICONHELP");
    if (FButtonClose.ImageIndex < 0) {
      FButtonClose.ImageIndex = MaskIndexInGlobal("BICONCLOSE");
      FButtonMin.ImageIndex = MaskIndexInGlobal("BICONMIN");
      FButtonMax.ImageIndex = MaskIndexInGlobal("BICONMAX");
      FButtonHelp.ImageIndex = MaskIndexInGlobal("BICONHELP");
    }
  }
  FTitleButtonMask = MaskIndexInGlobal("TITLEBUTTON");
}

int TsSkinProvider::ButtonHeight() const {
  TsSkinManager* manager = FSkinData.GetSkinManager();
  if (!manager || !manager->IsValidMaskIndex(FButtonClose.ImageIndex)) return kDefaultButtonSize;
  return StateSize(manager->Masks()[size_t(FButtonClose.ImageIndex)]).cy;
}

int TsSkinProvider::ButtonWidth(const TsButtonRecord& record) const {
  TsSkinManager* manager = FSkinData.GetSkinManager();
  if (!manager || !manager->IsValidMaskIndex(record.ImageIndex)) return kDefaultButtonSize;
  return StateSize(manager->Masks()[size_t(record.ImageIndex)]).cx;
}

int TsSkinProvider::UserButtonWidth(const TsTitleButton& button) const {
  TsSkinManager* manager = FSkinData.GetSkinManager();
  const int glyph = button.Glyph()->Empty() ? 0 : button.Glyph()->Width() + 2;
  const int mask = manager && manager->IsValidMaskIndex(FTitleButtonMask)
                       ? StateSize(manager->Masks()[size_t(FTitleButtonMask)]).cx
                       : kDefaultButtonSize;
  return std::max(glyph, mask);
}

int TsSkinProvider::TotalButtonWidth() const {
  int total = 0;
  if (SystemGroupExists()) {
    total += ButtonWidth(FButtonClose);
    if (MaximizeShown()) total += ButtonWidth(FButtonMax);
    if (MinimizeShown()) total += ButtonWidth(FButtonMin);
    if (HelpShown()) total += ButtonWidth(FButtonHelp);
  }
  for (int i = 0; i < FTitleButtons.Count(); ++i) total += UserButtonWidth(*FTitleButtons.Items(i));
  return total;
}

void TsSkinProvider::PlaceRecord(TDib* cache, TsButtonRecord& record, int& x, int width, int glyph, bool enabled) {
  TsSkinManager* manager = FSkinData.GetSkinManager();
  const int h = ButtonHeight();
  record.R.Right = x;
  record.R.Left = x - width;
  record.R.Top = (CaptionHeight() + BorderHeight() - h) / 2 + (h < 16 ? 2 : 0);
  record.R.Bottom = record.R.Top + h;
  if (record.State < 0) record.State = 0;
  x = record.R.Left;
  if (!manager || !manager->IsValidMaskIndex(glyph)) return;
  const int mode = !FFormActive || !enabled ? 2 : 1;
  DrawMaskImage(cache, {record.R.Left, record.R.Top}, record.State, manager->Masks()[size_t(glyph)], mode);
}

void TsSkinProvider::LayoutAndDrawButtons(TDib* cache) {
  TsSkinManager* manager = FSkinData.GetSkinManager();
  if (!manager) return;
  int x = cache->Width() - BorderWidth();
  const TWindowState ws = FForm->WindowState();
  auto normGlyph = [&] {
    const int g = MaskIndexInGlobal("BICONNORM");
    return g >= 0 ? g : MaskIndexInOwnSection("BICONNORM");
  };
  if (BorderIcons & biSystemMenu) {
    if (manager->IsValidMaskIndex(FButtonClose.ImageIndex))
      PlaceRecord(cache, FButtonClose, x, ButtonWidth(FButtonClose), FButtonClose.ImageIndex, true);
    if (MaximizeShown()) {
      const bool maximised = ws == wsMaximized;
      const int glyph = maximised ? normGlyph() : FButtonMax.ImageIndex;
      if (manager->IsValidMaskIndex(glyph))
        PlaceRecord(cache, FButtonMax, x, ButtonWidth(FButtonMax), glyph, maximised ? CanRestore() : CanMaximize());
    }
    if (MinimizeShown()) {
      const bool minimised = ws == wsMinimized;
      const int glyph = minimised ? normGlyph() : FButtonMin.ImageIndex;
      if (manager->IsValidMaskIndex(glyph))
        PlaceRecord(cache, FButtonMin, x, ButtonWidth(FButtonMin), glyph, minimised ? CanRestore() : CanMinimize());
    }
    if (HelpShown() && manager->IsValidMaskIndex(FButtonHelp.ImageIndex))
      PlaceRecord(cache, FButtonHelp, x, ButtonWidth(FButtonHelp), FButtonHelp.ImageIndex, true);
  }
  for (int i = 0; i < FTitleButtons.Count(); ++i) {
    TsTitleButton* b = FTitleButtons.Items(i);
    const bool skinGlyph = b->UseSkinData && manager->IsValidMaskIndex(FTitleButtonMask);
    b->Record.ImageIndex = skinGlyph ? FTitleButtonMask : -1;
    PlaceRecord(cache, b->Record, x, UserButtonWidth(*b), b->Record.ImageIndex, b->Enabled);
    if (!b->Glyph()->Empty()) {
      const TDib pixels = b->Glyph()->Dib().As24();
      const TRect& r = b->Record.R;
      CopyKeyedBitmap(cache, pixels, r.Left + (r.Width() - pixels.Width()) / 2, TColor(pixels.GetPixel(0, pixels.Height() - 1)),
                      r.Top + (r.Height() - pixels.Height()) / 2);
    }
  }
}

TsButtonRecord* TsSkinProvider::RecordOf(int code) {
  switch (code) {
    case HTMINBUTTON: return &FButtonMin;
    case HTMAXBUTTON: return &FButtonMax;
    case HTCLOSE: return &FButtonClose;
    case HTHELP: return &FButtonHelp;
    default:
      if (code >= 1000 && code - 1000 < FTitleButtons.Count()) return &FTitleButtons.Items(code - 1000)->Record;
      return nullptr;
  }
}

const TsButtonRecord& TsSkinProvider::ButtonRecord(int hitCode) const {
  static const TsButtonRecord none;
  const TsButtonRecord* r = const_cast<TsSkinProvider*>(this)->RecordOf(hitCode);
  return r ? *r : none;
}

void TsSkinProvider::RepaintButton(int code) {
  TsButtonRecord* record = RecordOf(code);
  TsSkinManager* manager = FSkinData.GetSkinManager();
  TDib* cache = FSkinData.Cache();
  if (!record || record->State < 0 || !manager || !cache || cache->Empty() || !FForm->HandleAllocated()) return;
  const TRect& r = record->R;
  if (IconRect().Right < r.Left) {
    for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, cache->Height()); ++y)
      for (int x = std::max(r.Left, 0); x < std::min(r.Right, cache->Width()); ++x) {
        const int bx = x - FButtonsBackLeft;
        if (bx >= 0 && bx < FButtonsBack.Width() && y < FButtonsBack.Height()) cache->SetPixel(x, y, FButtonsBack.GetPixel(bx, y));
      }
  }
  const TWindowState ws = FForm->WindowState();
  int glyph = record->ImageIndex;
  bool enabled = true;
  auto fromGlobalOrOwn = [&](const char* name) {
    const int g = MaskIndexInGlobal(name);
    return g >= 0 ? g : MaskIndexInOwnSection(name);
  };
  if (code == HTMAXBUTTON && ws == wsMaximized) {
    glyph = MaskIndexInGlobal("BICONNORM");
  } else if (ws == wsMinimized) {
    if (code == HTMINBUTTON) glyph = fromGlobalOrOwn("BICONNORM");
    else if (code == HTMAXBUTTON) {
      glyph = fromGlobalOrOwn("BICONMAX");
      enabled = CanMaximize();
    }
  }
  if (manager->IsValidMaskIndex(glyph)) {
    const bool user = code >= 1000;
    const bool faded = user ? (record->State == 0 && !FFormActive)
                            : (!enabled || (record->State == 0 && !FFormActive));
    if (!user || FTitleButtons.Items(code - 1000)->UseSkinData)
      DrawMaskImage(cache, {r.Left, r.Top}, record->State, manager->Masks()[size_t(glyph)], faded ? 2 : 1);
  }
  if (code >= 1000) {
    const TsTitleButton* b = FTitleButtons.Items(code - 1000);
    if (!b->Glyph()->Empty()) {
      const TDib pixels = b->Glyph()->Dib().As24();
      const int shift = record->State == 2 ? 1 : 0;
      CopyKeyedBitmap(cache, pixels, r.Left + (r.Width() - pixels.Width()) / 2 + shift,
                      TColor(pixels.GetPixel(0, pixels.Height() - 1)), r.Top + (r.Height() - pixels.Height()) / 2 + shift);
    }
  }
  HDC dc = GetWindowDC(FForm->Handle());
  if (!dc) return;
  const int saved = SaveDC(dc);
  TDC source(cache);
  BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), &source, r.Left, r.Top, SRCCOPY);
  RestoreDC(dc, saved);
  ReleaseDC(FForm->Handle(), dc);
}

void TsSkinProvider::SetHot(int code) {
  if (code == FHotCode) return;
  if (TsButtonRecord* old = RecordOf(FHotCode); old && old->State >= 0) {
    old->State = 0;
    RepaintButton(FHotCode);
  }
  FHotCode = code;
  if (TsButtonRecord* record = RecordOf(code); record && record->State >= 0) record->State = 1;
  gButtonPressed = false;
  RepaintButton(code);
}

void TsSkinProvider::SetPressed(int code) {
  if (code != FHotCode) {
    if (TsButtonRecord* old = RecordOf(FHotCode); old && old->State >= 0) {
      old->State = 0;
      RepaintButton(FHotCode);
    }
  }
  FHotCode = code;
  if (TsButtonRecord* record = RecordOf(code); record && record->State >= 0) {
    const bool maximised = FForm->WindowState() == wsMaximized;
    if (code != HTMAXBUTTON || CanMaximize() || (maximised && CanRestore())) record->State = 2;
  }
  gButtonPressed = true;
  RepaintButton(code);
}

LRESULT TsSkinProvider::HitTest(TPoint screen, LRESULT incoming) {
  TRect window;
  GetWindowRect(FForm->Handle(), &window);
  const int x = screen.X - window.Left, y = screen.Y - window.Top;
  const int h = ButtonHeight();
  const int band = (CaptionHeight() + BorderHeight() - h) / 2;
  const bool minimised = FForm->WindowState() == wsMinimized;
  if (y >= band && y <= band + h) {
    const TRect icon = IconRect();
    if (x >= BorderWidth() && x <= BorderWidth() + icon.Width() && IconShown()) {
      SetHot(HTSYSMENU);
      return HTSYSMENU;
    }
    std::vector<const TsButtonRecord*> walk;
    if (SystemGroupExists()) {
      walk.push_back(&FButtonClose);
      if (MaximizeShown()) walk.push_back(&FButtonMax);
      if (MinimizeShown()) walk.push_back(&FButtonMin);
      if (HelpShown()) walk.push_back(&FButtonHelp);
    }
    for (int i = 0; i < FTitleButtons.Count(); ++i) walk.push_back(&FTitleButtons.Items(i)->Record);
    int k = 0;
    for (size_t i = 0; i < walk.size(); ++i)
      if (walk[i]->State >= 0 && walk[i]->R.Left <= x && x <= walk[i]->R.Right) {
        k = int(i) + 1;
        break;
      }
    const int m = (SystemGroupExists() ? int(CloseShown()) + int(MaximizeShown()) + int(MinimizeShown() || minimised) +
                                             int(HelpShown())
                                       : 0);
    const int users = FTitleButtons.Count();
    if (k == 0 || k > m) {
      if (k > m && k <= m + users && FTitleButtons.Items(k - m - 1)->Enabled) {
        SetHot(1000 + (k - m - 1));
        return 1000 + (k - m - 1);
      }
      return HTCAPTION;
    }
    LRESULT code = -100;
    switch (k) {
      case 1:
        if (CloseShown()) code = HTCLOSE;
        break;
      case 2:
        if (MaximizeShown()) code = CanMaximize() || CanRestore() ? HTMAXBUTTON : HTCAPTION;
        else if (MinimizeShown() || minimised) code = CanMinimize() ? HTMINBUTTON : HTCAPTION;
        else if (HelpShown()) code = HTHELP;
        break;
      case 3:
        if (MinimizeShown() || minimised) code = minimised || CanMinimize() ? HTMINBUTTON : HTCAPTION;
        else if (HelpShown()) code = HTHELP;
        break;
      case 4:
        if (HelpShown() && MaximizeShown()) code = HTHELP;
        break;
      default:
        break;
    }
    if (code != -100) {
      SetHot(int(code));
      return code;
    }
  } else {
    if (GripMode == gmRightBottom) {
      TsSkinManager* manager = FSkinData.GetSkinManager();
      const int grip = MaskIndexInGlobal("GRIPIMAGE");
      if (manager && manager->IsValidMaskIndex(grip)) {
        const TSize size = StateSize(manager->Masks()[size_t(grip)]);
        const int gx = window.Width() - size.cx - BorderWidth(), gy = window.Height() - size.cy - BorderHeight();
        if (x > gx && y > gy) return HTBOTTOMRIGHT;
      }
    }
    SetHot(0);
  }
  if (FForm->WindowState() == wsMaximized && !(x >= 2 && y >= 2 && x < window.Width() - 4 && y < window.Height() - 4)) {
    SetHot(0);
    return HTTRANSPARENT;
  }
  return incoming;
}

void TsSkinProvider::ShowSystemMenuBelowIcon() {
  SetHot(0);
  TRect window;
  GetWindowRect(FForm->Handle(), &window);
  if (FSysMenu)
    FSysMenu->ShowAt(window.Left + BorderWidth(), window.Top + IconRect().Height() + BorderHeight() + FForm->BorderWidth);
}

bool TsSkinProvider::TitleMouseMessage(TMessage& m) {
  HWND handle = FForm->Handle();
  const TPoint screen{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  TsSkinManager* manager = FSkinData.GetSkinManager();
  const bool skinnedPopups = manager && manager->SkinnedPopups();
  switch (m.Msg) {
    case WM_NCLBUTTONDOWN: {
      const int code = int(m.WParam);
      if (code == HTMINBUTTON || code == HTMAXBUTTON || code == HTCLOSE || code == HTHELP) {
        SetPressed(code);
        return true;
      }
      if (code >= 1000 && code - 1000 < FTitleButtons.Count()) {
        SetPressed(code);
        const std::weak_ptr<bool> alive = FAlive;
        TsTitleButton* b = FTitleButtons.Items(code - 1000);
        if (b->OnMouseDown) b->OnMouseDown(b, mbLeft, 0, screen.X, screen.Y);
        (void)alive;
        return true;
      }
      if (code == HTSYSMENU) {
        if (!skinnedPopups) return false;
        ShowSystemMenuBelowIcon();
        return true;
      }
      if (code == HTCAPTION || (code >= HTLEFT && code <= HTBOTTOMRIGHT)) {
        SetHot(0);
        // A maximised window does not move; a press on its caption only activates it.
        if (IsZoomed(handle) && code == HTCAPTION) {
          TRect window;
          GetWindowRect(handle, &window);
          if (screen.Y - window.Top <= BorderHeight() + CaptionHeight()) {
            if (GetActiveWindow() != handle) SetActiveWindow(handle);
            return true;
          }
        }
      }
      return false;
    }
    case WM_NCLBUTTONUP:
    case WM_LBUTTONUP: {
      const int code = int(m.WParam);
      TRect window;
      GetWindowRect(handle, &window);
      const TPoint local{screen.X - window.Left, screen.Y - window.Top};
      const std::weak_ptr<bool> alive = FAlive;
      switch (code) {
        case HTMINBUTTON:
          if (!gButtonPressed) {
            SetHot(0);
            break;
          }
          if (!FButtonMin.R.Contains(local.X, local.Y) && m.Msg == WM_NCLBUTTONUP) {
            m.WParam = 0;
            CallOld(m);
            return true;
          }
          SetHot(0);
          // On a minimised window this is the restore button, the main form's too.
          if (IsIconic(handle)) SendMessage(handle, WM_SYSCOMMAND, SC_RESTORE, 0);
          else if (Application && Application->MainForm() == FForm) Application->Minimize();
          else SendMessage(handle, WM_SYSCOMMAND, SC_MINIMIZE, 0);
          break;
        case HTMAXBUTTON:
          if (IsIconic(handle) && !CanMaximize()) break;
          if (gButtonPressed) {
            SetHot(0);
            if (FForm->WindowState() == wsMaximized) {
              FForm->SetWindowState(wsNormal);
              if (alive.expired()) return true;
              SendMessage(handle, WM_SYSCOMMAND, SC_RESTORE, 0);
            } else {
              FForm->SetWindowState(wsMaximized);
              if (alive.expired()) return true;
              SendMessage(handle, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
            }
            if (!alive.expired() && FSysMenu) FSysMenu->UpdateItems();
          } else {
            SetHot(0);
          }
          break;
        case HTCLOSE:
          if (gButtonPressed) {
            FButtonClose.State = 0;
            gButtonPressed = false;
            SendMessage(handle, WM_SYSCOMMAND, SC_CLOSE, 0);
            if (alive.expired()) return true;
          }
          break;
        case HTHELP:
          if (gButtonPressed) {
            SendMessage(handle, WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
            if (alive.expired()) return true;
            SetHot(0);
            if (FSysMenu) FSysMenu->UpdateItems();
            SendMessage(handle, WM_NCPAINT, 1, 0);
          } else {
            SetHot(0);
          }
          break;
        default:
          if (code >= 1000 && code - 1000 < FTitleButtons.Count()) {
            if (gButtonPressed) {
              TsTitleButton* b = FTitleButtons.Items(code - 1000);
              if (b->OnMouseUp) b->OnMouseUp(b, mbLeft, 0, screen.X, screen.Y);
              if (alive.expired()) return true;
            }
            SetHot(0);
            break;
          }
          return false;
      }
      if (!alive.expired()) m.WParam = 0;
      return true;
    }
    case WM_NCLBUTTONDBLCLK: {
      const int code = int(m.WParam);
      if (code == HTCAPTION && (CanMaximize() || CanRestore())) {
        if (IsZoomed(handle) || IsIconic(handle)) {
          SendMessage(handle, WM_SYSCOMMAND, SC_RESTORE, 0);
        } else {
          FForm->SetWindowState(wsMaximized);
          SendMessage(handle, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        }
        if (FSysMenu) FSysMenu->UpdateItems();
      } else if (code == HTSYSMENU) {
        FForm->Close();
      }
      m.WParam = 0;
      return true;
    }
    case WM_NCRBUTTONDOWN:
      if (!skinnedPopups) return false;
      return m.WParam == HTCAPTION || m.WParam == HTSYSMENU;
    case WM_NCRBUTTONUP:
      if (!skinnedPopups) return false;
      if (m.WParam == HTCAPTION || m.WParam == HTSYSMENU) {
        SetHot(0);
        if (FSysMenu) FSysMenu->ShowAt(screen.X, screen.Y);
      }
      return true;
    case WM_SYSCOMMAND: {
      const WPARAM command = m.WParam & 0xFFF0;
      // Alt+Space: the skinned system menu, where a click on the icon opens it.
      if (command == SC_KEYMENU && m.LParam == ' ' && skinnedPopups && FSysMenu) {
        ShowSystemMenuBelowIcon();
        return true;
      }
      if (ResizeMode == rmBorder && (command == SC_MOVE || command == SC_SIZE)) return false;
      CallOld(m);
      if ((command == SC_MAXIMIZE || command == SC_RESTORE) && MaximizeShown()) {
        // The maximise button changes its glyph: force its repaint.
        FHotCode = HTMAXBUTTON;
        SetHot(0);
        FSkinData.CacheInvalid = true;
      }
      return true;
    }
    case WM_MOUSELEAVE: {
      // A quick move reaches a title button straight from the client area: the client's leave
      // notice comes after the hit test lit the button, and must not put it out again.
      const TsButtonRecord* hot = RecordOf(FHotCode);
      TPoint cursor;
      GetCursorPos(&cursor);
      TRect window;
      GetWindowRect(handle, &window);
      if (hot && hot->State > 0 && WindowFromPoint(cursor) == handle &&
          hot->R.Contains(cursor.X - window.Left, cursor.Y - window.Top)) {
        CallOld(m);
        return true;
      }
      SetHot(0);
      CallOld(m);
      return true;
    }
    case WM_NCMOUSELEAVE:
    case CM_MOUSELEAVE:
      SetHot(0);
      CallOld(m);
      return true;
    default:
      return false;
  }
}
