#include "platform/widgets/ClassicLook.h"

#include <cctype>

namespace {

COLORREF Sys(int index) { return GetSysColor(index); }

void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF color) {
  const TRect r{left, top, right, bottom};
  if (!r.IsEmpty()) FillRect(dc, &r, CreateSolidBrush(color));
}

struct TEdgeColors {
  bool Present = false;
  COLORREF TopLeft = 0;
  COLORREF BottomRight = 0;
};

// One edge line around `r` on the sides in `flags`; returns `r` shrunk by the sides drawn.
TRect EdgeLine(HDC dc, TRect r, const TEdgeColors& c, unsigned flags) {
  if (!c.Present || r.IsEmpty()) return r;
  if (flags & BF_TOP) Fill(dc, r.Left, r.Top, r.Right - 1, r.Top + 1, c.TopLeft);
  if (flags & BF_LEFT) Fill(dc, r.Left, r.Top, r.Left + 1, r.Bottom - 1, c.TopLeft);
  if (flags & BF_RIGHT) Fill(dc, r.Right - 1, r.Top, r.Right, r.Bottom, c.BottomRight);
  if (flags & BF_BOTTOM) Fill(dc, r.Left, r.Bottom - 1, r.Right, r.Bottom, c.BottomRight);
  if (flags & BF_LEFT) ++r.Left;
  if (flags & BF_TOP) ++r.Top;
  if (flags & BF_RIGHT) --r.Right;
  if (flags & BF_BOTTOM) --r.Bottom;
  return r;
}

// Pixel pictures of the check mark and the radio circle.
constexpr const char* kCheckMark[7] = {
    "......X", ".....XX", "X...XXX", "XX.XXX.", "XXXXX..", ".XXX...", "..X....",
};
// o: outer ring, i: inner ring, w: inside, d: the dot (inside too).
constexpr const char* kRadio[12] = {
    "....oooo....", "..ooiiiioo..", ".oiiwwwwiio.", ".oiwwwwwwio.", "oiwwwddwwwio", "oiwwddddwwio",
    "oiwwddddwwio", "oiwwwddwwwio", ".oiwwwwwwio.", ".oiiwwwwiio.", "..ooiiiioo..", "....oooo....",
};

void Pixel(HDC dc, int x, int y, COLORREF color) { Fill(dc, x, y, x + 1, y + 1, color); }

}  // namespace

bool DrawEdge(HDC dc, TRect* rect, unsigned edge, unsigned flags) {
  if (!dc || !rect || (flags & BF_DIAGONAL)) return false;
  const bool soft = flags & BF_SOFT;
  TEdgeColors outer, inner;
  if (edge & BDR_RAISEDOUTER) outer = {true, Sys(soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT), Sys(COLOR_3DDKSHADOW)};
  else if (edge & BDR_SUNKENOUTER) outer = {true, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT)};
  if (edge & BDR_RAISEDINNER) inner = {true, Sys(soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNSHADOW)};
  else if (edge & BDR_SUNKENINNER) inner = {true, Sys(COLOR_3DDKSHADOW), Sys(COLOR_3DLIGHT)};
  if (flags & BF_MONO) {
    outer.TopLeft = outer.BottomRight = Sys(COLOR_WINDOWFRAME);
    inner.TopLeft = inner.BottomRight = Sys(COLOR_WINDOW);
  } else if (flags & BF_FLAT) {
    outer.TopLeft = outer.BottomRight = Sys(COLOR_BTNSHADOW);
    inner.TopLeft = inner.BottomRight = Sys(COLOR_BTNFACE);
  }
  TRect r = EdgeLine(dc, *rect, outer, flags);
  r = EdgeLine(dc, r, inner, flags);
  if (flags & BF_MIDDLE) Fill(dc, r.Left, r.Top, r.Right, r.Bottom, Sys((flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE));
  if (flags & BF_ADJUST) *rect = r;
  return true;
}

bool DrawFocusRect(HDC dc, const TRect* rect) {
  if (!dc || !rect || rect->IsEmpty()) return false;
  const TRect& r = *rect;
  auto invert = [&](int x, int y) {
    if (((x - r.Left) + (y - r.Top)) % 2 == 0) PatBlt(dc, x, y, 1, 1, DSTINVERT);
  };
  for (int x = r.Left; x < r.Right; ++x) invert(x, r.Top);
  if (r.Height() > 1)
    for (int x = r.Left; x < r.Right; ++x) invert(x, r.Bottom - 1);
  for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
    invert(r.Left, y);
    if (r.Width() > 1) invert(r.Right - 1, y);
  }
  return true;
}

void FillDither(HDC dc, const TRect& r, COLORREF even, COLORREF odd) {
  if (!dc || r.IsEmpty()) return;
  Fill(dc, r.Left, r.Top, r.Right, r.Bottom, odd);
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left + ((r.Left + y) & 1); x < r.Right; x += 2) Pixel(dc, x, y, even);
}

TRect DrawButtonFace(HDC dc, const TRect& rect, unsigned state) {
  TRect r = rect;
  if (!dc || r.IsEmpty()) return r;
  if (state & pbDefault) {
    FrameRect(dc, &r, CreateSolidBrush(Sys(COLOR_WINDOWFRAME)));
    InflateRect(&r, -1, -1);
  }
  if ((state & pbPressed) && (state & pbDefault)) {
    FrameRect(dc, &r, CreateSolidBrush(Sys(COLOR_BTNSHADOW)));
    InflateRect(&r, -1, -1);
    Fill(dc, r.Left, r.Top, r.Right, r.Bottom, Sys(COLOR_BTNFACE));
    InflateRect(&r, -1, -1);
  } else if (state & pbPressed) {
    DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_MIDDLE | BF_ADJUST);
  } else {
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE | BF_ADJUST);
  }
  return r;
}

TRect ButtonFocusRect(const TRect& r) { return {r.Left + 4, r.Top + 4, r.Right - 4, r.Bottom - 4}; }

void DrawCheckBox(HDC dc, int x, int y, TCheckBoxState state, bool pressed, bool enabled) {
  if (!dc) return;
  TRect box = Bounds(x, y, kCheckBoxSize, kCheckBoxSize);
  DrawEdge(dc, &box, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  const COLORREF window = Sys(COLOR_WINDOW), face = Sys(COLOR_BTNFACE);
  if (state == cbGrayed && enabled && !pressed) FillDither(dc, box, window, face);
  else Fill(dc, box.Left, box.Top, box.Right, box.Bottom, (pressed || !enabled) ? face : window);
  if (state == cbUnchecked) return;
  const COLORREF mark = (state == cbGrayed || !enabled) ? Sys(COLOR_BTNSHADOW) : Sys(COLOR_WINDOWTEXT);
  for (int row = 0; row < 7; ++row)
    for (int col = 0; col < 7; ++col)
      if (kCheckMark[row][col] == 'X') Pixel(dc, x + 3 + col, y + 3 + row, mark);
}

void DrawRadioButton(HDC dc, int x, int y, bool checked, bool pressed, bool enabled) {
  if (!dc) return;
  const COLORREF inside = (pressed || !enabled) ? Sys(COLOR_BTNFACE) : Sys(COLOR_WINDOW);
  const COLORREF dot = enabled ? Sys(COLOR_WINDOWTEXT) : Sys(COLOR_BTNSHADOW);
  for (int row = 0; row < kRadioButtonSize; ++row)
    for (int col = 0; col < kRadioButtonSize; ++col) {
      // The upper-left half of each ring is in shadow, the lower-right half lit.
      const bool upperLeft = col + row < kRadioButtonSize - 1;
      COLORREF c;
      switch (kRadio[row][col]) {
        case 'o': c = Sys(upperLeft ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT); break;
        case 'i': c = Sys(upperLeft ? COLOR_3DDKSHADOW : COLOR_3DLIGHT); break;
        case 'w': c = inside; break;
        case 'd': c = checked ? dot : inside; break;
        default: continue;
      }
      Pixel(dc, x + col, y + row, c);
    }
}

void DrawEtchedFrame(HDC dc, const TRect& r) {
  if (!dc || r.IsEmpty()) return;
  const TRect light{r.Left + 1, r.Top + 1, r.Right, r.Bottom};
  const TRect dark{r.Left, r.Top, r.Right - 1, r.Bottom - 1};
  FrameRect(dc, &light, CreateSolidBrush(Sys(COLOR_BTNHIGHLIGHT)));
  FrameRect(dc, &dark, CreateSolidBrush(Sys(COLOR_BTNSHADOW)));
}

void DrawEtchedLine(HDC dc, int left, int right, int y) {
  if (!dc) return;
  Fill(dc, left, y, right, y + 1, Sys(COLOR_BTNSHADOW));
  Fill(dc, left, y + 1, right, y + 2, Sys(COLOR_BTNHIGHLIGHT));
}

void DrawScrollArrow(HDC dc, const TRect& rect, TScrollArrow direction, bool pressed, bool enabled) {
  if (!dc || rect.IsEmpty()) return;
  TRect r = rect;
  if (pressed) DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_FLAT | BF_MIDDLE | BF_ADJUST);
  else DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
  // A triangle four rows deep and seven pixels wide at its base, centred in the button.
  const int shift = pressed ? 1 : 0;
  const bool vertical = direction == saUp || direction == saDown;
  const int cx = rect.Left + (rect.Width() - (vertical ? 7 : 4)) / 2 + shift;
  const int cy = rect.Top + (rect.Height() - (vertical ? 4 : 7)) / 2 + shift;
  auto triangle = [&](int dx, int dy, COLORREF color) {
    for (int i = 0; i < 4; ++i) {
      const int depth = (direction == saUp || direction == saLeft) ? i : 3 - i;
      if (vertical) Fill(dc, cx + dx + 3 - i, cy + dy + depth, cx + dx + 4 + i, cy + dy + depth + 1, color);
      else Fill(dc, cx + dx + depth, cy + dy + 3 - i, cx + dx + depth + 1, cy + dy + 4 + i, color);
    }
  };
  if (enabled) {
    triangle(0, 0, Sys(COLOR_BTNTEXT));
  } else {
    triangle(1, 1, Sys(COLOR_BTNHIGHLIGHT));
    triangle(0, 0, Sys(COLOR_BTNSHADOW));
  }
}

void DrawScrollThumb(HDC dc, const TRect& rect) {
  TRect r = rect;
  DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_MIDDLE);
}

void DrawScrollTrack(HDC dc, const TRect& r, bool pressed) {
  if (pressed) Fill(dc, r.Left, r.Top, r.Right, r.Bottom, Sys(COLOR_3DDKSHADOW));
  else FillDither(dc, r, Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNFACE));
}

int DrawEmbossedText(HDC dc, std::string_view text, TRect r, unsigned format) {
  if (!dc) return 0;
  const int mode = SetBkMode(dc, TRANSPARENT);
  const COLORREF color = SetTextColor(dc, Sys(COLOR_BTNHIGHLIGHT));
  TRect shifted = r.Offset(1, 1);
  DrawText(dc, text, &shifted, format);
  SetTextColor(dc, Sys(COLOR_BTNSHADOW));
  const int height = DrawText(dc, text, &r, format);
  SetTextColor(dc, color);
  SetBkMode(dc, mode);
  return height;
}

bool IsAccel(unsigned charCode, std::string_view caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;  // "&&" stands for a plain ampersand
      continue;
    }
    const unsigned char c = static_cast<unsigned char>(caption[i + 1]);
    return charCode < 0x80 && c < 0x80 && std::toupper(int(c)) == std::toupper(int(charCode));
  }
  return false;
}
