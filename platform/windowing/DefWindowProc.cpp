// Default message handling: the classic frame, hit testing, system commands, moving and sizing.
#include <algorithm>

#include "platform/graphics/Text.h"
#include "platform/windowing/Menu.h"
#include "platform/windowing/WindowSystem.h"

namespace {

int FrameBorder(HWND hwnd) {
  const uint32_t s = hwnd->Style;
  if (s & WS_THICKFRAME) return GetSystemMetrics(SM_CXSIZEFRAME);
  if ((s & WS_DLGFRAME) || (hwnd->ExStyle & WS_EX_DLGMODALFRAME)) return GetSystemMetrics(SM_CXFIXEDFRAME);
  if (s & WS_BORDER) return GetSystemMetrics(SM_CXBORDER);
  return 0;
}

bool HasCaption(HWND hwnd) { return (hwnd->Style & WS_CAPTION) == WS_CAPTION; }
bool IsToolWindow(HWND hwnd) { return (hwnd->ExStyle & WS_EX_TOOLWINDOW) != 0; }

}  // namespace

TFrameLayout ClassicFrameLayout(HWND hwnd) {
  TFrameLayout f;
  const int w = hwnd->WindowRect.Width();
  f.Border = FrameBorder(hwnd);
  if (!HasCaption(hwnd)) return f;
  f.Caption = GetSystemMetrics(IsToolWindow(hwnd) ? SM_CYSMCAPTION : SM_CYCAPTION);
  f.CaptionRect = {f.Border, f.Border, w - f.Border, f.Border + f.Caption - 1};
  if (!(hwnd->Style & WS_SYSMENU)) return f;
  const int bh = f.Caption - 5;                       // 14 in a normal caption
  const int bw = IsToolWindow(hwnd) ? bh : bh + 2;   // 16 x 14 buttons
  const int top = f.Border + 2;
  int right = w - f.Border - 2;
  f.Close = {right - bw, top, right, top + bh};
  right = f.Close.Left - 2;
  if (!IsToolWindow(hwnd) && (hwnd->Style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))) {
    f.Max = {right - bw, top, right, top + bh};
    f.Min = {f.Max.Left - bw, top, f.Max.Left, top + bh};
    right = f.Min.Left - 2;
  } else if (hwnd->ExStyle & WS_EX_CONTEXTHELP) {
    f.Help = {right - bw, top, right, top + bh};
  }
  if (!IsToolWindow(hwnd)) {
    const int icon = GetSystemMetrics(SM_CXSMICON);
    f.Icon = {f.Border + 2, f.Border + (f.Caption - 1 - icon) / 2, f.Border + 2 + icon, f.Border + (f.Caption - 1 - icon) / 2 + icon};
  }
  return f;
}

bool SystemMinMaxInfo(HWND hwnd, MINMAXINFO* info) {
  TRect work;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  const int b = FrameBorder(hwnd);
  info->ptMaxSize = {work.Width() + 2 * b, work.Height() + 2 * b};
  info->ptMaxPosition = {work.Left - b, work.Top - b};
  info->ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
  info->ptMaxTrackSize = {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
  if (hwnd->IsChild() || !(hwnd->Style & WS_THICKFRAME)) info->ptMinTrackSize = {0, 0};
  return true;
}

// ---- Drawing the classic frame -------------------------------------------------------------

namespace {

void Line(HDC dc, int x1, int y1, int x2, int y2, COLORREF c) {
  SelectPen(dc, CreatePen(PS_SOLID, 1, c));
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
}

// A raised (or sunken) two-line edge inside r.
void Edge(HDC dc, TRect r, COLORREF outerTL, COLORREF outerBR, COLORREF innerTL, COLORREF innerBR) {
  Line(dc, r.Left, r.Bottom - 1, r.Left, r.Top, outerTL);
  Line(dc, r.Left, r.Top, r.Right - 1, r.Top, outerTL);
  Line(dc, r.Right - 1, r.Top, r.Right - 1, r.Bottom - 1, outerBR);
  Line(dc, r.Right - 1, r.Bottom - 1, r.Left - 1, r.Bottom - 1, outerBR);
  InflateRect(&r, -1, -1);
  Line(dc, r.Left, r.Bottom - 1, r.Left, r.Top, innerTL);
  Line(dc, r.Left, r.Top, r.Right - 1, r.Top, innerTL);
  Line(dc, r.Right - 1, r.Top, r.Right - 1, r.Bottom - 1, innerBR);
  Line(dc, r.Right - 1, r.Bottom - 1, r.Left - 1, r.Bottom - 1, innerBR);
}

void FillSolid(HDC dc, const TRect& r, COLORREF c) { FillRect(dc, &r, CreateSolidBrush(c)); }

// A small generic program icon: a window with a blue title bar.
void DrawDefaultIcon(HDC dc, const TRect& r) {
  TRect body{r.Left + 1, r.Top + 2, r.Right - 1, r.Bottom - 2};
  FillSolid(dc, body, RGB(255, 255, 255));
  FrameRect(dc, &body, CreateSolidBrush(RGB(0, 0, 0)));
  TRect bar{body.Left + 1, body.Top + 1, body.Right - 1, body.Top + 4};
  FillSolid(dc, bar, RGB(0, 0, 128));
}

}  // namespace

bool DrawCaptionButton(HDC dc, const TRect& r, LRESULT hit, bool pressed, bool enabled) {
  if (!dc || r.IsEmpty()) return false;
  const COLORREF face = GetSysColor(COLOR_BTNFACE), light = GetSysColor(COLOR_3DLIGHT),
                 hi = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW),
                 dark = GetSysColor(COLOR_3DDKSHADOW);
  FillSolid(dc, r, face);
  if (pressed) Edge(dc, r, dark, hi, shadow, light);
  else Edge(dc, r, light, dark, hi, shadow);
  const int ox = r.Left + (pressed ? 1 : 0), oy = r.Top + (pressed ? 1 : 0);
  const int w = r.Width(), h = r.Height();
  auto glyph = [&](COLORREF c, int dx, int dy) {
    const int x0 = ox + dx, y0 = oy + dy;
    switch (hit) {
      case HTCLOSE: {
        const int s = std::min(w, h) - 7, gx = x0 + (w - s) / 2 - 1, gy = y0 + (h - s) / 2;
        for (int i = 0; i < s; ++i) {
          FillSolid(dc, {gx + i, gy + i, gx + i + 2, gy + i + 1}, c);
          FillSolid(dc, {gx + s - 1 - i, gy + i, gx + s + 1 - i, gy + i + 1}, c);
        }
        break;
      }
      case HTMINBUTTON:
        FillSolid(dc, {x0 + 4, y0 + h - 5, x0 + 10, y0 + h - 3}, c);
        break;
      case HTMAXBUTTON: {
        TRect box{x0 + 3, y0 + 2, x0 + w - 4, y0 + h - 3};
        FrameRect(dc, &box, CreateSolidBrush(c));
        FillSolid(dc, {box.Left, box.Top + 1, box.Right, box.Top + 2}, c);
        break;
      }
      case HTREDUCE + 100: {  // restore: two overlapping boxes
        TRect back{x0 + 5, y0 + 2, x0 + w - 3, y0 + h - 6};
        FrameRect(dc, &back, CreateSolidBrush(c));
        FillSolid(dc, {back.Left, back.Top + 1, back.Right, back.Top + 2}, c);
        TRect front{x0 + 3, y0 + 5, x0 + w - 5, y0 + h - 3};
        FillSolid(dc, front, face);
        FrameRect(dc, &front, CreateSolidBrush(c));
        FillSolid(dc, {front.Left, front.Top + 1, front.Right, front.Top + 2}, c);
        break;
      }
      case HTHELP: {
        TRect t = r.Offset(dx + (pressed ? 1 : 0), dy + (pressed ? 1 : 0));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, c);
        TLogFont f = DefaultGuiFont();
        f.Style = fsBold;
        SelectFont(dc, f);
        DrawText(dc, "?", &t, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        break;
      }
      default:
        break;
    }
  };
  if (enabled) glyph(RGB(0, 0, 0), 0, 0);
  else {
    glyph(hi, 1, 1);
    glyph(shadow, 0, 0);
  }
  return true;
}

void PaintClassicFrame(HWND hwnd, HDC dc) {
  const TFrameLayout f = ClassicFrameLayout(hwnd);
  const int w = hwnd->WindowRect.Width(), h = hwnd->WindowRect.Height();
  const TRect all{0, 0, w, h};
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  SaveDC(dc);
  // Everything outside the client area belongs to the frame.
  ExcludeClipRect(dc, hwnd->ClientRect.Left, hwnd->ClientRect.Top, hwnd->ClientRect.Right, hwnd->ClientRect.Bottom);
  if (f.Border >= 3) {
    FillSolid(dc, all, GetSysColor(hwnd->FrameActive ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER));
    Edge(dc, all, GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT),
         GetSysColor(COLOR_BTNSHADOW));
  } else if (f.Border > 0) {
    FrameRect(dc, &all, CreateSolidBrush(GetSysColor(COLOR_WINDOWFRAME)));
  }
  if (hwnd->ExStyle & WS_EX_CLIENTEDGE) {
    TRect ce = hwnd->ClientRect;
    InflateRect(&ce, 2, 2);
    Edge(dc, ce, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_3DDKSHADOW),
         GetSysColor(COLOR_3DLIGHT));
  }
  if (f.Caption > 0) {
    TRect cap = f.CaptionRect;
    if (hwnd->Style & WS_MINIMIZE) cap.Bottom = h - f.Border;
    const bool active = hwnd->FrameActive;
    const COLORREF c1 = GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    const COLORREF c2 = GetSysColor(active ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION);
    TRIVERTEX v[2] = {{cap.Left, cap.Top, COLOR16(GetRValue(c1) << 8), COLOR16(GetGValue(c1) << 8), COLOR16(GetBValue(c1) << 8), 0},
                      {cap.Right, cap.Bottom, COLOR16(GetRValue(c2) << 8), COLOR16(GetGValue(c2) << 8), COLOR16(GetBValue(c2) << 8), 0}};
    GRADIENT_RECT gr{0, 1};
    GradientFill(dc, v, 2, &gr, 1, GRADIENT_FILL_RECT_H);
    if (!(hwnd->Style & WS_MINIMIZE)) FillSolid(dc, {cap.Left, cap.Bottom, cap.Right, cap.Bottom + 1}, face);
    int textLeft = cap.Left + 3;
    if (!f.Icon.IsEmpty()) {
      DrawDefaultIcon(dc, f.Icon);
      textLeft = f.Icon.Right + 3;
    }
    int textRight = cap.Right - 2;
    for (const TRect* b : {&f.Help, &f.Min, &f.Close})
      if (!b->IsEmpty()) textRight = std::min(textRight, b->Left - 2);
    const bool minimised = (hwnd->Style & WS_MINIMIZE) != 0;
    auto button = [&](const TRect& r, LRESULT hit, LRESULT glyph, bool enabled) {
      if (!r.IsEmpty()) DrawCaptionButton(dc, r, glyph, hwnd->PressedButton == hit, enabled);
    };
    button(f.Close, HTCLOSE, HTCLOSE, true);
    button(f.Max, HTMAXBUTTON, (hwnd->Style & WS_MAXIMIZE) && !minimised ? HTREDUCE + 100 : HTMAXBUTTON,
           (hwnd->Style & WS_MAXIMIZEBOX) != 0);
    button(f.Min, HTMINBUTTON, minimised ? HTREDUCE + 100 : HTMINBUTTON, (hwnd->Style & WS_MINIMIZEBOX) != 0);
    button(f.Help, HTHELP, HTHELP, true);
    if (textRight > textLeft) {
      TLogFont font = DefaultGuiFont();
      font.Style = fsBold;
      SelectFont(dc, font);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
      TRect tr{textLeft, cap.Top, textRight, minimised ? cap.Bottom : cap.Bottom};
      DrawText(dc, hwnd->Text, &tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
  }
  PaintScrollBars(hwnd, dc);
  if (!hwnd->IsChild() && !(hwnd->Style & WS_MINIMIZE)) {
    const int mh = MenuBarHeight(hwnd, w);
    if (mh > 0) PaintMenuBar(hwnd, dc, {f.Border, f.Border + f.Caption, w - f.Border, f.Border + f.Caption + mh});
  }
  RestoreDC(dc, -1);
}

// ---- Hit testing --------------------------------------------------------------------------------

LRESULT DefNcHitTest(HWND hwnd, TPoint screen) {
  const TPoint o = WindowOrigin(hwnd);
  const int x = screen.X - o.X, y = screen.Y - o.Y;
  const int w = hwnd->WindowRect.Width(), h = hwnd->WindowRect.Height();
  if (x < 0 || y < 0 || x >= w || y >= h) return HTNOWHERE;
  if (hwnd->WindowRgn && !hwnd->WindowRgn->Contains(x, y)) return HTNOWHERE;
  if (hwnd->ClientRect.Contains(x, y)) return HTCLIENT;
  const TFrameLayout f = ClassicFrameLayout(hwnd);
  const bool minimised = (hwnd->Style & WS_MINIMIZE) != 0;
  const bool sizable = (hwnd->Style & WS_THICKFRAME) && !(hwnd->Style & (WS_MAXIMIZE | WS_MINIMIZE));
  const int b = f.Border;
  if (sizable && (x < b || y < b || x >= w - b || y >= h - b)) {
    const int corner = GetSystemMetrics(SM_CYCAPTION) + b;
    const bool left = x < corner, right = x >= w - corner, top = y < corner, bottom = y >= h - corner;
    if (y < b) return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
    if (y >= h - b) return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
    if (x < b) return top ? HTTOPLEFT : bottom ? HTBOTTOMLEFT : HTLEFT;
    return top ? HTTOPRIGHT : bottom ? HTBOTTOMRIGHT : HTRIGHT;
  }
  if (x < b || y < b || x >= w - b || y >= h - b) return HTBORDER;
  if (f.Caption > 0 && (y < f.CaptionRect.Bottom || minimised)) {
    auto in = [&](const TRect& r) { return !r.IsEmpty() && x >= r.Left && x < r.Right && y >= f.CaptionRect.Top && y < f.CaptionRect.Bottom; };
    if (!f.Icon.IsEmpty() && x >= f.Border && x < f.Icon.Right + 1) return HTSYSMENU;
    if (in(f.Close)) return HTCLOSE;
    if (in(f.Max)) return HTMAXBUTTON;
    if (in(f.Min)) return HTMINBUTTON;
    if (in(f.Help)) return HTHELP;
    return HTCAPTION;
  }
  if (!hwnd->IsChild() && y >= b + f.Caption && y < b + f.Caption + MenuBarHeight(hwnd, w)) return HTMENU;
  if ((hwnd->Style & WS_VSCROLL) && x >= hwnd->ClientRect.Right) return HTVSCROLL;
  if ((hwnd->Style & WS_HSCROLL) && y >= hwnd->ClientRect.Bottom) return HTHSCROLL;
  return HTBORDER;
}

// ---- Moving and sizing --------------------------------------------------------------------------

namespace {

void ApplyTrackLimits(HWND hwnd, TRect& r, WPARAM edge) {
  MINMAXINFO mmi{};
  SystemMinMaxInfo(hwnd, &mmi);
  SendMessage(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  const int w = std::clamp(r.Width(), mmi.ptMinTrackSize.X, std::max(mmi.ptMinTrackSize.X, mmi.ptMaxTrackSize.X));
  const int h = std::clamp(r.Height(), mmi.ptMinTrackSize.Y, std::max(mmi.ptMinTrackSize.Y, mmi.ptMaxTrackSize.Y));
  const bool leftEdge = edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
  const bool topEdge = edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT;
  if (leftEdge) r.Left = r.Right - w; else r.Right = r.Left + w;
  if (topEdge) r.Top = r.Bottom - h; else r.Bottom = r.Top + h;
}

}  // namespace

void RunMoveSizeLoop(HWND hwnd, WPARAM command) {
  if (!IsLive(hwnd)) return;
  const bool moving = (command & 0xFFF0) == SC_MOVE;
  const WPARAM edge = moving ? 0 : (command & 0x0F);
  if (!moving && (edge < WMSZ_LEFT || edge > WMSZ_BOTTOMRIGHT)) return;
  const TRect original = hwnd->WindowRect;  // parent-client or screen coordinates
  TPoint start;
  GetCursorPos(&start);
  SetCapture(hwnd);
  SendMessage(hwnd, WM_ENTERSIZEMOVE);
  TRect current = original;
  bool cancelled = false;
  // Moves or sizes the window to where the pointer is now; false when the window went away.
  auto follow = [&] {
    TPoint now;
    GetCursorPos(&now);
    const int dx = now.X - start.X, dy = now.Y - start.Y;
    TRect r = original;
    if (moving) {
      r = original.Offset(dx, dy);
      SendMessage(hwnd, WM_MOVING, 0, reinterpret_cast<LPARAM>(&r));
    } else {
      if (edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT) r.Left += dx;
      if (edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT) r.Right += dx;
      if (edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT) r.Top += dy;
      if (edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT) r.Bottom += dy;
      ApplyTrackLimits(hwnd, r, edge);
      SendMessage(hwnd, WM_SIZING, edge, reinterpret_cast<LPARAM>(&r));
    }
    if (!IsLive(hwnd)) return false;
    if (!(r == current)) {
      current = r;
      SetWindowPos(hwnd, nullptr, r.Left, r.Top, r.Width(), r.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE | (moving ? SWP_NOSIZE : 0));
      UpdateWindow(hwnd);
    }
    return true;
  };
  for (;;) {
    TMsg m;
    if (!GetMessage(&m)) {
      PostQuitMessage(int(m.wParam));
      break;
    }
    if (!IsLive(hwnd) || GetCapture() != hwnd) {
      if (m.hwnd) { TranslateMessage(&m); DispatchMessage(&m); }
      break;
    }
    // The queue moves the pointer to where a button comes up before the release arrives.
    if (m.message == WM_LBUTTONUP || m.message == WM_NCLBUTTONUP) break;
    if (m.message == WM_KEYDOWN && (m.wParam == VK_ESCAPE || m.wParam == VK_RETURN)) {
      cancelled = m.wParam == VK_ESCAPE;
      break;
    }
    if (m.message == WM_MOUSEMOVE || m.message == WM_NCMOUSEMOVE) {
      if (!follow()) return;
      continue;
    }
    TranslateMessage(&m);
    DispatchMessage(&m);
  }
  if (!IsLive(hwnd)) return;
  if (cancelled)
    SetWindowPos(hwnd, nullptr, original.Left, original.Top, original.Width(), original.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  if (GetCapture() == hwnd) ReleaseCapture();
  SendMessage(hwnd, WM_EXITSIZEMOVE);
}

namespace {

// Presses a caption button until the mouse button is released; true when released over it.
bool TrackCaptionButton(HWND hwnd, LRESULT hit) {
  auto repaint = [hwnd] { if (IsLive(hwnd)) SendMessage(hwnd, WM_NCPAINT, 1, 0); };
  hwnd->PressedButton = hit;
  repaint();
  SetCapture(hwnd);
  bool inside = true;
  for (;;) {
    TMsg m;
    if (!GetMessage(&m)) {
      PostQuitMessage(int(m.wParam));
      inside = false;
      break;
    }
    if (!IsLive(hwnd) || GetCapture() != hwnd) {
      inside = false;
      if (m.hwnd) { TranslateMessage(&m); DispatchMessage(&m); }
      break;
    }
    // A move to where the button comes up always arrives before the release.
    if (m.message == WM_LBUTTONUP || m.message == WM_NCLBUTTONUP) break;
    if (m.message == WM_MOUSEMOVE || m.message == WM_NCMOUSEMOVE) {
      TPoint p;
      GetCursorPos(&p);
      const bool now = DefNcHitTest(hwnd, p) == hit;
      if (now != inside) {
        inside = now;
        hwnd->PressedButton = inside ? hit : 0;
        repaint();
      }
      continue;
    }
    TranslateMessage(&m);
    DispatchMessage(&m);
  }
  if (!IsLive(hwnd)) return false;
  if (GetCapture() == hwnd) ReleaseCapture();
  hwnd->PressedButton = 0;
  repaint();
  return inside;
}

void RedrawFrame(HWND hwnd) {
  if (IsWindowVisible(hwnd) && !hwnd->Destroying) SendMessage(hwnd, WM_NCPAINT, 1, 0);
}

LRESULT DefSysCommand(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  switch (wParam & 0xFFF0) {
    case SC_MOVE:
      if (!(hwnd->Style & WS_MAXIMIZE)) RunMoveSizeLoop(hwnd, SC_MOVE);
      return 0;
    case SC_SIZE:
      if ((hwnd->Style & WS_THICKFRAME) && !(hwnd->Style & (WS_MAXIMIZE | WS_MINIMIZE))) RunMoveSizeLoop(hwnd, wParam);
      return 0;
    case SC_MINIMIZE:
      ShowWindow(hwnd, SW_MINIMIZE);
      return 0;
    case SC_MAXIMIZE:
      ShowWindow(hwnd, SW_MAXIMIZE);
      return 0;
    case SC_RESTORE:
      ShowWindow(hwnd, SW_RESTORE);
      return 0;
    case SC_CLOSE:
      SendMessage(hwnd, WM_CLOSE);
      return 0;
    case SC_MOUSEMENU: {
      // A click on the frame's icon: the system menu opens below the icon.
      const TFrameLayout f = ClassicFrameLayout(hwnd);
      const TPoint o = WindowOrigin(hwnd);
      TrackSystemMenu(hwnd, {o.X + f.Border, o.Y + f.Border + f.Caption});
      return 0;
    }
    case SC_KEYMENU:
      if (lParam == ' ') {
        const TFrameLayout f = ClassicFrameLayout(hwnd);
        const TPoint o = WindowOrigin(hwnd);
        TrackSystemMenu(hwnd, {o.X + f.Border, o.Y + f.Border + f.Caption});
      } else {
        TrackMenuBarKey(hwnd, WPARAM(lParam));
      }
      return 0;
    default:
      return 0;
  }
}

}  // namespace

// ---- The default procedure ----------------------------------------------------------------------

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!IsWindow(hwnd)) return 0;
  switch (msg) {
    case WM_NCCREATE:
      return 1;
    case WM_NCCALCSIZE: {
      // lParam points at the proposed window rectangle (parent coordinates); it becomes the client.
      TRect& r = *reinterpret_cast<TRect*>(lParam);
      if (hwnd->Style & WS_MINIMIZE) {
        r = {r.Left, r.Top, r.Left, r.Top};
        return 0;
      }
      const TFrameLayout f = ClassicFrameLayout(hwnd);
      InflateRect(&r, -f.Border, -f.Border);
      r.Top += f.Caption;
      if (!hwnd->IsChild()) r.Top += MenuBarHeight(hwnd, hwnd->WindowRect.Width());
      if (hwnd->ExStyle & WS_EX_CLIENTEDGE) InflateRect(&r, -2, -2);
      if (hwnd->Style & WS_VSCROLL) r.Right -= GetSystemMetrics(SM_CXVSCROLL);
      if (hwnd->Style & WS_HSCROLL) r.Bottom -= GetSystemMetrics(SM_CYHSCROLL);
      if (r.Right < r.Left) r.Right = r.Left;
      if (r.Bottom < r.Top) r.Bottom = r.Top;
      return 0;
    }
    case WM_NCHITTEST:
      return DefNcHitTest(hwnd, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_NCPAINT: {
      if (!IsWindowVisible(hwnd)) return 0;
      if (hwnd->ClientRect == TRect{0, 0, hwnd->WindowRect.Width(), hwnd->WindowRect.Height()}) return 0;  // no frame
      HDC dc = GetWindowDC(hwnd);
      PaintClassicFrame(hwnd, dc);
      ReleaseDC(hwnd, dc);
      return 0;
    }
    case WM_NCACTIVATE:
      hwnd->FrameActive = wParam != 0;
      RedrawFrame(hwnd);
      return 1;
    case WM_ERASEBKGND: {
      if (hwnd->ClassBackground == CLR_INVALID) return 0;
      TRect r;
      GetClientRect(hwnd, &r);
      FillRect(reinterpret_cast<HDC>(wParam), &r, CreateSolidBrush(hwnd->ClassBackground));
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_PRINT: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      if ((lParam & PRF_CHECKVISIBLE) && !IsWindowVisible(hwnd)) return 0;
      if (lParam & PRF_NONCLIENT) PaintClassicFrame(hwnd, dc);
      const int saved = SaveDC(dc);
      OffsetViewportOrgEx(dc, hwnd->ClientRect.Left, hwnd->ClientRect.Top, nullptr);
      IntersectClipRect(dc, 0, 0, hwnd->ClientRect.Width(), hwnd->ClientRect.Height());
      if (lParam & PRF_ERASEBKGND) SendMessage(hwnd, WM_ERASEBKGND, wParam, 0);
      if (lParam & PRF_CLIENT) SendMessage(hwnd, WM_PRINTCLIENT, wParam, lParam);
      if (lParam & PRF_CHILDREN) {
        std::vector<HWND> kids = hwnd->Children;
        for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
          HWND c = *it;
          if (!IsLive(c) || !(c->Style & WS_VISIBLE)) continue;
          const int s = SaveDC(dc);
          OffsetViewportOrgEx(dc, c->WindowRect.Left, c->WindowRect.Top, nullptr);
          IntersectClipRect(dc, 0, 0, c->WindowRect.Width(), c->WindowRect.Height());
          SendMessage(c, WM_PRINT, wParam, lParam | PRF_NONCLIENT);
          RestoreDC(dc, s);
        }
      }
      RestoreDC(dc, saved);
      return 0;
    }
    case WM_SETTEXT: {
      hwnd->Text = *reinterpret_cast<const std::string*>(lParam);
      if (!hwnd->IsChild() && hwnd->SurfaceCreated && WS().Display) WS().Display->SetSurfaceTitle(hwnd, hwnd->Text);
      if (HasCaption(hwnd)) RedrawFrame(hwnd);
      return 1;
    }
    case WM_GETTEXT:
      if (lParam) *reinterpret_cast<std::string*>(lParam) = hwnd->Text;
      return LRESULT(hwnd->Text.size());
    case WM_GETTEXTLENGTH:
      return LRESULT(hwnd->Text.size());
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_SYSCOMMAND:
      return DefSysCommand(hwnd, wParam, lParam);
    case WM_NCLBUTTONDOWN:
      switch (wParam) {
        case HTCAPTION:
          if (!IsZoomed(hwnd)) SendMessage(hwnd, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, lParam);
          return 0;
        case HTLEFT: case HTRIGHT: case HTTOP: case HTTOPLEFT: case HTTOPRIGHT:
        case HTBOTTOM: case HTBOTTOMLEFT: case HTBOTTOMRIGHT:
          SendMessage(hwnd, WM_SYSCOMMAND, SC_SIZE + (wParam - HTLEFT + WMSZ_LEFT), lParam);
          return 0;
        case HTCLOSE: case HTMINBUTTON: case HTMAXBUTTON: case HTHELP: {
          const bool enabled = wParam == HTCLOSE || wParam == HTHELP ||
                               (wParam == HTMINBUTTON && (hwnd->Style & WS_MINIMIZEBOX)) ||
                               (wParam == HTMAXBUTTON && (hwnd->Style & WS_MAXIMIZEBOX));
          if (!enabled || !TrackCaptionButton(hwnd, LRESULT(wParam))) return 0;
          TPoint p;
          GetCursorPos(&p);
          WPARAM cmd = SC_CLOSE;
          if (wParam == HTMINBUTTON) cmd = IsIconic(hwnd) ? SC_RESTORE : SC_MINIMIZE;
          if (wParam == HTMAXBUTTON) cmd = (IsZoomed(hwnd) && !IsIconic(hwnd)) || IsIconic(hwnd) ? SC_RESTORE : SC_MAXIMIZE;
          if (wParam == HTHELP) cmd = SC_CONTEXTHELP;
          SendMessage(hwnd, WM_SYSCOMMAND, cmd, MAKELPARAM(p.X, p.Y));
          return 0;
        }
        case HTMENU:
          TrackMenuBar(hwnd, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
          return 0;
        case HTVSCROLL:
        case HTHSCROLL:
          TrackScrollBar(hwnd, wParam == HTVSCROLL ? SB_VERT : SB_HORZ, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
          return 0;
        case HTSYSMENU:
          SendMessage(hwnd, WM_SYSCOMMAND, SC_MOUSEMENU + HTSYSMENU, lParam);
          return 0;
        default:
          return 0;
      }
    case WM_NCRBUTTONUP:
      if (wParam == HTCAPTION || wParam == HTSYSMENU) TrackSystemMenu(hwnd, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_NCLBUTTONDBLCLK:
      if (wParam == HTCAPTION) {
        if (IsIconic(hwnd)) SendMessage(hwnd, WM_SYSCOMMAND, SC_RESTORE, lParam);
        else if (hwnd->Style & WS_MAXIMIZEBOX)
          SendMessage(hwnd, WM_SYSCOMMAND, IsZoomed(hwnd) ? SC_RESTORE : SC_MAXIMIZE, lParam);
      } else if (wParam == HTSYSMENU) {
        SendMessage(hwnd, WM_SYSCOMMAND, SC_CLOSE, lParam);
      }
      return 0;
    case WM_RBUTTONUP: {
      TPoint p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ClientToScreen(hwnd, &p);
      SendMessage(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(p.X, p.Y));
      return 0;
    }
    case WM_CONTEXTMENU:
      if (hwnd->IsChild() && hwnd->Parent) SendMessage(hwnd->Parent, WM_CONTEXTMENU, wParam, lParam);
      return 0;
    case WM_MOUSEACTIVATE:
      if (hwnd->IsChild() && hwnd->Parent) {
        const LRESULT r = SendMessage(hwnd->Parent, WM_MOUSEACTIVATE, wParam, lParam);
        if (r) return r;
      }
      return MA_ACTIVATE;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam)) {
        HWND f = GetFocus();
        if (!f || RootOf(f) != hwnd) SetFocus(hwnd);
      }
      return 0;
    case WM_WINDOWPOSCHANGING: {
      auto* wp = reinterpret_cast<WINDOWPOS*>(lParam);
      if (!(wp->flags & SWP_NOSIZE) && (hwnd->Style & WS_THICKFRAME) && !(hwnd->Style & (WS_MAXIMIZE | WS_MINIMIZE))) {
        MINMAXINFO mmi{};
        SystemMinMaxInfo(hwnd, &mmi);
        SendMessage(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
        wp->cx = std::clamp(wp->cx, mmi.ptMinTrackSize.X, std::max(mmi.ptMinTrackSize.X, mmi.ptMaxTrackSize.X));
        wp->cy = std::clamp(wp->cy, mmi.ptMinTrackSize.Y, std::max(mmi.ptMinTrackSize.Y, mmi.ptMaxTrackSize.Y));
      }
      return 0;
    }
    case WM_WINDOWPOSCHANGED: {
      auto* wp = reinterpret_cast<WINDOWPOS*>(lParam);
      const TRect& c = hwnd->ClientRect;
      if (!(wp->flags & SWP_NOCLIENTMOVE))
        SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(hwnd->WindowRect.Left + c.Left, hwnd->WindowRect.Top + c.Top));
      if (IsLive(hwnd) && !(wp->flags & SWP_NOCLIENTSIZE)) {
        const WPARAM kind = (hwnd->Style & WS_MINIMIZE) ? SIZE_MINIMIZED : (hwnd->Style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED;
        SendMessage(hwnd, WM_SIZE, kind, MAKELPARAM(c.Width(), c.Height()));
      }
      return 0;
    }
    case WM_SYSKEYUP:
      // Alt pressed and released on its own opens the menu bar.
      if (wParam == VK_MENU && WS().LoneAlt) SendMessage(RootOf(hwnd), WM_SYSCOMMAND, SC_KEYMENU, 0);
      WS().LoneAlt = false;
      return 0;
    case WM_SYSKEYDOWN:
      WS().LoneAlt = wParam == VK_MENU && !(lParam & (LPARAM(1) << 30));
      if (wParam == VK_F4 && (lParam & (LPARAM(1) << 29))) SendMessage(RootOf(hwnd), WM_SYSCOMMAND, SC_CLOSE, 0);
      else if (wParam == VK_F10) SendMessage(RootOf(hwnd), WM_SYSCOMMAND, SC_KEYMENU, 0);
      return 0;
    case WM_SYSCHAR:
      if (wParam == ' ') SendMessage(RootOf(hwnd), WM_SYSCOMMAND, SC_KEYMENU, ' ');
      else if (lParam & (LPARAM(1) << 29)) SendMessage(RootOf(hwnd), WM_SYSCOMMAND, SC_KEYMENU, LPARAM(wParam));
      return 0;
    case WM_CANCELMODE:
      if (GetCapture() == hwnd) ReleaseCapture();
      return 0;
    case WM_GETDLGCODE:
    case WM_SHOWWINDOW:
    case WM_GETMINMAXINFO:
    default:
      return 0;
  }
}
