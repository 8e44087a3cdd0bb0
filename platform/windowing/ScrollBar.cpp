// Scroll bars: those of a window's frame and scroll-bar control windows (class "SCROLLBAR",
// the whole window one bar); their state, their classic drawing and their tracking (arrows with
// auto-repeat, page areas, thumb dragging), reported as WM_HSCROLL and WM_VSCROLL. A control bar
// reports to its parent with its own handle in lParam.
#include <algorithm>

#include "platform/windowing/WindowSystem.h"

namespace {

bool IsVertical(HWND hwnd, int bar) { return bar == SB_VERT || (bar == SB_CTL && (hwnd->Style & SBS_VERT)); }

TScrollState& State(HWND hwnd, int bar) { return IsVertical(hwnd, bar) ? hwnd->VScroll : hwnd->HScroll; }

int MaxPos(const TScrollState& s) { return std::max(s.Min, s.Max - std::max(int(s.Page) - 1, 0)); }

// The bar's rectangle in window coordinates (empty when the window has no such bar).
TRect BarRect(HWND hwnd, int bar) {
  const TRect& c = hwnd->ClientRect;
  if (bar == SB_CTL) return c;
  if (bar == SB_VERT) {
    if (!(hwnd->Style & WS_VSCROLL)) return {};
    return {c.Right, c.Top, c.Right + GetSystemMetrics(SM_CXVSCROLL), c.Bottom};
  }
  if (!(hwnd->Style & WS_HSCROLL)) return {};
  return {c.Left, c.Bottom, c.Right, c.Bottom + GetSystemMetrics(SM_CYHSCROLL)};
}

struct TBarParts {
  TRect Bar, Back, Forward, Track, Thumb;
};

TBarParts Parts(HWND hwnd, int bar) {
  TBarParts p;
  p.Bar = BarRect(hwnd, bar);
  if (p.Bar.IsEmpty()) return p;
  const TScrollState& s = State(hwnd, bar);
  const bool vert = IsVertical(hwnd, bar);
  const int length = vert ? p.Bar.Height() : p.Bar.Width();
  const int arrow = std::min(vert ? GetSystemMetrics(SM_CYVSCROLL) : GetSystemMetrics(SM_CXHSCROLL), length / 2);
  if (vert) {
    p.Back = {p.Bar.Left, p.Bar.Top, p.Bar.Right, p.Bar.Top + arrow};
    p.Forward = {p.Bar.Left, p.Bar.Bottom - arrow, p.Bar.Right, p.Bar.Bottom};
    p.Track = {p.Bar.Left, p.Back.Bottom, p.Bar.Right, p.Forward.Top};
  } else {
    p.Back = {p.Bar.Left, p.Bar.Top, p.Bar.Left + arrow, p.Bar.Bottom};
    p.Forward = {p.Bar.Right - arrow, p.Bar.Top, p.Bar.Right, p.Bar.Bottom};
    p.Track = {p.Back.Right, p.Bar.Top, p.Forward.Left, p.Bar.Bottom};
  }
  const int track = vert ? p.Track.Height() : p.Track.Width();
  const int range = s.Max - s.Min + 1;
  if (range <= 0 || track < 8 || int(s.Page) >= range) return p;  // nothing to scroll: no thumb
  if (bar == SB_CTL && !IsWindowEnabled(hwnd)) return p;
  const int thumbLength = s.Page ? std::max(8, int(int64_t(track) * s.Page / range)) : std::min(track, 17);
  const int span = MaxPos(s) - s.Min;
  const int pos = (s.Tracking ? s.TrackPos : s.Pos) - s.Min;
  const int offset = span > 0 ? int(int64_t(track - thumbLength) * pos / span) : 0;
  if (vert) p.Thumb = {p.Track.Left, p.Track.Top + offset, p.Track.Right, p.Track.Top + offset + thumbLength};
  else p.Thumb = {p.Track.Left + offset, p.Track.Top, p.Track.Left + offset + thumbLength, p.Track.Bottom};
  return p;
}

void Edge3D(HDC dc, TRect r, bool sunken) {
  auto line = [dc](int x1, int y1, int x2, int y2, COLORREF c) {
    SelectPen(dc, CreatePen(PS_SOLID, 1, c));
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
  };
  const COLORREF a = GetSysColor(sunken ? COLOR_BTNSHADOW : COLOR_3DLIGHT), b = GetSysColor(sunken ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW);
  const COLORREF c = GetSysColor(sunken ? COLOR_BTNFACE : COLOR_BTNHIGHLIGHT), d = GetSysColor(sunken ? COLOR_BTNFACE : COLOR_BTNSHADOW);
  line(r.Left, r.Bottom - 1, r.Left, r.Top, a);
  line(r.Left, r.Top, r.Right - 1, r.Top, a);
  line(r.Right - 1, r.Top, r.Right - 1, r.Bottom - 1, b);
  line(r.Right - 1, r.Bottom - 1, r.Left - 1, r.Bottom - 1, b);
  InflateRect(&r, -1, -1);
  line(r.Left, r.Bottom - 1, r.Left, r.Top, c);
  line(r.Left, r.Top, r.Right - 1, r.Top, c);
  line(r.Right - 1, r.Top, r.Right - 1, r.Bottom - 1, d);
  line(r.Right - 1, r.Bottom - 1, r.Left - 1, r.Bottom - 1, d);
}

// A small black triangle pointing in `direction` (0 up, 1 down, 2 left, 3 right).
void Arrow(HDC dc, const TRect& r, int direction, bool enabled, bool pressed) {
  const int cx = (r.Left + r.Right) / 2 + (pressed ? 1 : 0), cy = (r.Top + r.Bottom) / 2 + (pressed ? 1 : 0);
  auto draw = [&](COLORREF color, int dx, int dy) {
    for (int i = 0; i < 4; ++i) {
      TRect line;
      switch (direction) {
        case 0: line = {cx - i + dx, cy - 2 + i + dy, cx + i + 1 + dx, cy - 1 + i + dy}; break;
        case 1: line = {cx - 3 + i + dx, cy - 1 + i + dy, cx + 4 - i + dx, cy + i + dy}; break;
        case 2: line = {cx - 2 + i + dx, cy - i + dy, cx - 1 + i + dx, cy + i + 1 + dy}; break;
        default: line = {cx - 1 + i + dx, cy - 3 + i + dy, cx + i + dx, cy + 4 - i + dy}; break;
      }
      FillRect(dc, &line, CreateSolidBrush(color));
    }
  };
  if (enabled) draw(0, 0, 0);
  else {
    draw(GetSysColor(COLOR_BTNHIGHLIGHT), 1, 1);
    draw(GetSysColor(COLOR_BTNSHADOW), 0, 0);
  }
}

void PaintBar(HWND hwnd, HDC dc, int bar) {
  const TBarParts p = Parts(hwnd, bar);
  if (p.Bar.IsEmpty()) return;
  const TScrollState& s = State(hwnd, bar);
  const bool vert = IsVertical(hwnd, bar);
  const bool enabled = !p.Thumb.IsEmpty();
  // The track: a checker of face and highlight, the classic pattern.
  TDib pattern(2, 2);
  pattern.SetPixel(0, 0, GetSysColor(COLOR_BTNHIGHLIGHT));
  pattern.SetPixel(1, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
  pattern.SetPixel(1, 0, GetSysColor(COLOR_BTNFACE));
  pattern.SetPixel(0, 1, GetSysColor(COLOR_BTNFACE));
  TDC patternDC(&pattern);
  for (int y = p.Track.Top; y < p.Track.Bottom; y += 2)
    for (int x = p.Track.Left; x < p.Track.Right; x += 2)
      BitBlt(dc, x, y, std::min(2, p.Track.Right - x), std::min(2, p.Track.Bottom - y), &patternDC, (x - p.Track.Left) & 1 ? 1 : 0, 0, SRCCOPY);
  if (s.PressedPart == 3 || s.PressedPart == 4) {
    const TRect& area = s.PressedPart == 3 ? (vert ? TRect{p.Track.Left, p.Track.Top, p.Track.Right, p.Thumb.Top}
                                                   : TRect{p.Track.Left, p.Track.Top, p.Thumb.Left, p.Track.Bottom})
                                           : (vert ? TRect{p.Track.Left, p.Thumb.Bottom, p.Track.Right, p.Track.Bottom}
                                                   : TRect{p.Thumb.Right, p.Track.Top, p.Track.Right, p.Track.Bottom});
    FillRect(dc, &area, CreateSolidBrush(0));
  }
  for (int part : {1, 2}) {
    const TRect& r = part == 1 ? p.Back : p.Forward;
    const bool pressed = s.PressedPart == part;
    FillRect(dc, &r, CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
    if (pressed) {
      FrameRect(dc, &r, CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW)));
    } else {
      Edge3D(dc, r, false);
    }
    Arrow(dc, r, vert ? (part == 1 ? 0 : 1) : (part == 1 ? 2 : 3), enabled, pressed);
  }
  if (!p.Thumb.IsEmpty()) {
    FillRect(dc, &p.Thumb, CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
    Edge3D(dc, p.Thumb, false);
  }
}

// Which part of a bar a window point is on: 1 back arrow, 2 forward arrow, 3 page back,
// 4 page forward, 5 thumb, 0 none.
int PartAt(HWND hwnd, int bar, TPoint p) {
  const TBarParts parts = Parts(hwnd, bar);
  if (parts.Back.Contains(p.X, p.Y)) return 1;
  if (parts.Forward.Contains(p.X, p.Y)) return 2;
  if (parts.Thumb.Contains(p.X, p.Y)) return 5;
  if (!parts.Thumb.IsEmpty() && parts.Track.Contains(p.X, p.Y)) {
    const bool before = IsVertical(hwnd, bar) ? p.Y < parts.Thumb.Top : p.X < parts.Thumb.Left;
    return before ? 3 : 4;
  }
  return 0;
}

void Redraw(HWND hwnd, int bar) {
  if (!IsWindowVisible(hwnd)) return;
  if (bar == SB_CTL) {
    InvalidateRect(hwnd, nullptr, false);
    UpdateWindow(hwnd);
  } else {
    SendMessage(hwnd, WM_NCPAINT, 1, 0);
  }
}

// Reports a scroll action: a frame bar to its window, a control bar to its parent.
void Notify(HWND hwnd, int bar, WPARAM code) {
  const UINT msg = IsVertical(hwnd, bar) ? WM_VSCROLL : WM_HSCROLL;
  if (bar != SB_CTL) {
    SendMessage(hwnd, msg, code, 0);
    return;
  }
  HWND parent = GetParent(hwnd);
  SendMessage(parent ? parent : hwnd, msg, code, reinterpret_cast<LPARAM>(hwnd));
}

}  // namespace

void PaintScrollBars(HWND hwnd, HDC windowDC) {
  PaintBar(hwnd, windowDC, SB_VERT);
  PaintBar(hwnd, windowDC, SB_HORZ);
  if ((hwnd->Style & WS_VSCROLL) && (hwnd->Style & WS_HSCROLL)) {
    const TRect& c = hwnd->ClientRect;
    TRect corner{c.Right, c.Bottom, c.Right + GetSystemMetrics(SM_CXVSCROLL), c.Bottom + GetSystemMetrics(SM_CYHSCROLL)};
    FillRect(windowDC, &corner, CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
  }
}

void TrackScrollBar(HWND hwnd, int bar, TPoint screen) {
  if (!IsLive(hwnd)) return;
  const TPoint origin = WindowOrigin(hwnd);
  auto local = [&](TPoint s) { return TPoint{s.X - origin.X, s.Y - origin.Y}; };
  const int part = PartAt(hwnd, bar, local(screen));
  if (part == 0) return;
  TScrollState& s = State(hwnd, bar);
  const bool vert = IsVertical(hwnd, bar);
  const WPARAM codes[] = {0, SB_LINEUP, SB_LINEDOWN, SB_PAGEUP, SB_PAGEDOWN};
  const TBarParts startParts = Parts(hwnd, bar);
  const int grabOffset = vert ? screen.Y - origin.Y - startParts.Thumb.Top : screen.X - origin.X - startParts.Thumb.Left;
  s.PressedPart = part;
  if (part == 5) {
    s.Tracking = true;
    s.TrackPos = s.Pos;
  }
  Redraw(hwnd, bar);
  SetCapture(hwnd);
  if (part != 5) Notify(hwnd, bar, codes[part]);
  const uintptr_t timer = SetTimer(hwnd, 0xFFF0, 400);
  bool inside = true;
  for (;;) {
    if (!IsLive(hwnd)) return;
    TMsg m;
    if (!GetMessage(&m)) {
      PostQuitMessage(int(m.wParam));
      break;
    }
    if (!IsLive(hwnd) || GetCapture() != hwnd) {
      if (m.hwnd) { TranslateMessage(&m); DispatchMessage(&m); }
      break;
    }
    // The pointer's last motion arrives before the release (the queue sees to it).
    if (m.message == WM_LBUTTONUP || m.message == WM_NCLBUTTONUP) break;
    if (m.message == WM_TIMER && m.hwnd == hwnd && m.wParam == 0xFFF0) {
      SetTimer(hwnd, 0xFFF0, 100);
      if (part != 5 && inside) {
        TPoint now;
        GetCursorPos(&now);
        // Page repeats stop once the thumb reaches the pointer.
        if (part < 3 || PartAt(hwnd, bar, local(now)) == part) Notify(hwnd, bar, codes[part]);
      }
      continue;
    }
    if (m.message == WM_MOUSEMOVE || m.message == WM_NCMOUSEMOVE) {
      TPoint now;
      GetCursorPos(&now);
      if (part == 5) {
        const TBarParts p = Parts(hwnd, bar);
        const int track = vert ? p.Track.Height() : p.Track.Width();
        const int thumb = vert ? p.Thumb.Height() : p.Thumb.Width();
        const int at = (vert ? now.Y - origin.Y - p.Track.Top : now.X - origin.X - p.Track.Left) - grabOffset;
        const int span = MaxPos(s) - s.Min;
        const int room = std::max(1, track - thumb);
        const int pos = s.Min + int(int64_t(std::clamp(at, 0, room)) * span / room);
        if (pos != s.TrackPos) {
          s.TrackPos = pos;
          Redraw(hwnd, bar);
          Notify(hwnd, bar, MAKEWPARAM(SB_THUMBTRACK, unsigned(pos)));
        }
      } else {
        const bool now_inside = PartAt(hwnd, bar, local(now)) == part || (part <= 2 && Parts(hwnd, bar).Bar.Contains(local(now).X, local(now).Y) && PartAt(hwnd, bar, local(now)) == part);
        if (now_inside != inside) {
          inside = now_inside;
          s.PressedPart = inside ? part : 0;
          Redraw(hwnd, bar);
        }
      }
      continue;
    }
    TranslateMessage(&m);
    DispatchMessage(&m);
  }
  if (!IsLive(hwnd)) return;
  KillTimer(hwnd, timer);
  if (GetCapture() == hwnd) ReleaseCapture();
  if (part == 5) {
    s.Tracking = false;
    Notify(hwnd, bar, MAKEWPARAM(SB_THUMBPOSITION, unsigned(s.TrackPos)));
  }
  if (!IsLive(hwnd)) return;
  s.PressedPart = 0;
  Redraw(hwnd, bar);
  Notify(hwnd, bar, SB_ENDSCROLL);
}

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, bool redraw) {
  if (!IsLive(hwnd) || !info || (bar != SB_HORZ && bar != SB_VERT && bar != SB_CTL)) return 0;
  TScrollState& s = State(hwnd, bar);
  if (info->fMask & SIF_RANGE) {
    s.Min = info->nMin;
    s.Max = std::max(info->nMin, info->nMax);
  }
  if (info->fMask & SIF_PAGE) s.Page = std::min<UINT>(info->nPage, UINT(s.Max - s.Min + 1));
  if (info->fMask & SIF_POS) s.Pos = info->nPos;
  s.Pos = std::clamp(s.Pos, s.Min, MaxPos(s));
  if (redraw) Redraw(hwnd, bar);
  return s.Pos;
}

bool GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info) {
  if (!IsWindow(hwnd) || !info || (bar != SB_HORZ && bar != SB_VERT && bar != SB_CTL)) return false;
  const TScrollState& s = State(hwnd, bar);
  if (info->fMask & SIF_RANGE) {
    info->nMin = s.Min;
    info->nMax = s.Max;
  }
  if (info->fMask & SIF_PAGE) info->nPage = s.Page;
  if (info->fMask & SIF_POS) info->nPos = s.Pos;
  if (info->fMask & SIF_TRACKPOS) info->nTrackPos = s.Tracking ? s.TrackPos : s.Pos;
  return true;
}

int SetScrollPos(HWND hwnd, int bar, int pos, bool redraw) {
  if (!IsLive(hwnd) || (bar != SB_HORZ && bar != SB_VERT && bar != SB_CTL)) return 0;
  const int old = State(hwnd, bar).Pos;
  SCROLLINFO info;
  info.fMask = SIF_POS;
  info.nPos = pos;
  SetScrollInfo(hwnd, bar, &info, redraw);
  return old;
}

int GetScrollPos(HWND hwnd, int bar) {
  SCROLLINFO info;
  info.fMask = SIF_POS;
  return GetScrollInfo(hwnd, bar, &info) ? info.nPos : 0;
}

bool SetScrollRange(HWND hwnd, int bar, int min, int max, bool redraw) {
  SCROLLINFO info;
  info.fMask = SIF_RANGE;
  info.nMin = min;
  info.nMax = max;
  return SetScrollInfo(hwnd, bar, &info, redraw) >= min || true;
}

bool ShowScrollBar(HWND hwnd, int bar, bool show) {
  if (!IsLive(hwnd)) return false;
  uint32_t bits = 0;
  if (bar == SB_HORZ || bar == SB_BOTH) bits |= WS_HSCROLL;
  if (bar == SB_VERT || bar == SB_BOTH) bits |= WS_VSCROLL;
  const uint32_t style = show ? (hwnd->Style | bits) : (hwnd->Style & ~bits);
  if (style == hwnd->Style) return true;
  hwnd->Style = style;
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

// ---- Scroll-bar control windows ----------------------------------------------------------------

LRESULT ScrollBarControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      // With a context in wParam the bar paints into it.
      if (wParam) {
        PaintBar(hwnd, reinterpret_cast<HDC>(wParam), SB_CTL);
        return 0;
      }
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (dc) PaintBar(hwnd, dc, SB_CTL);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_ENABLE:
      InvalidateRect(hwnd, nullptr, false);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (hwnd->Style & WS_TABSTOP) SetFocus(hwnd);
      TPoint p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ClientToScreen(hwnd, &p);
      TrackScrollBar(hwnd, SB_CTL, p);
      return 0;
    }
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_KEYDOWN: {
      WPARAM code;
      switch (wParam) {
        case VK_LEFT: case VK_UP: code = SB_LINEUP; break;
        case VK_RIGHT: case VK_DOWN: code = SB_LINEDOWN; break;
        case VK_PRIOR: code = SB_PAGEUP; break;
        case VK_NEXT: code = SB_PAGEDOWN; break;
        case VK_HOME: code = SB_TOP; break;
        case VK_END: code = SB_BOTTOM; break;
        default: return DefWindowProc(hwnd, msg, wParam, lParam);
      }
      Notify(hwnd, SB_CTL, code);
      if (IsLive(hwnd)) Notify(hwnd, SB_CTL, SB_ENDSCROLL);
      return 0;
    }
    default:
      return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}
