#include "platform/widgets/HintWindow.h"

#include <algorithm>

#include "platform/graphics/Text.h"

THintWindowFactory& HintWindowClass() {
  static THintWindowFactory factory;
  return factory;
}

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
  FVisible = false;
  ControlStyle |= csOpaque;
}

void THintWindow::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.Style = WS_POPUP;
  params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT;
  params.WndParent = nullptr;
}

void THintWindow::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_MOUSEACTIVATE:
      m.Result = MA_NOACTIVATE;
      return;
    case WM_NCHITTEST:
      m.Result = HTTRANSPARENT;
      return;
    case WM_ERASEBKGND:
      m.Result = 1;  // Paint covers every pixel
      return;
    case WM_SIZE:
      TCustomControl::WndProc(m);
      Resized();
      return;
    default:
      TCustomControl::WndProc(m);
  }
}

TLogFont THintWindow::HintFont() {
  NONCLIENTMETRICS metrics;
  SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0);
  return metrics.lfStatusFont;
}

TSize THintWindow::MeasureHintText(const std::string& text, int maxWidth) {
  TDib scratch(1, 1);
  TDC dc(&scratch);
  SelectFont(&dc, HintFont());
  TRect r{0, 0, std::max(maxWidth, 1), 0};
  DrawText(&dc, text, &r, DT_CALCRECT | DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
  return {r.Width(), r.Height()};
}

TRect THintWindow::CalcHintRect(int maxWidth, const std::string& text) {
  const int extraX = 2 * (kBorder + kPaddingX), extraY = 2 * (kBorder + kPaddingY);
  const TSize t = MeasureHintText(text, maxWidth - extraX);
  return {0, 0, t.cx + extraX, t.cy + extraY};
}

void THintWindow::ActivateHint(const TRect& rect, const std::string& text) {
  const bool textChanged = text != Caption();
  const bool sized = rect.Width() != Width() || rect.Height() != Height();
  if (textChanged) FText = text;  // no CM_TEXTCHANGED: the repaint below is all it needs
  HWND h = Handle();
  if (!h) return;
  UINT flags = SWP_NOACTIVATE | SWP_NOOWNERZORDER;
  if (!FShown) flags |= SWP_SHOWWINDOW;
  SetWindowPos(h, HWND_TOP, rect.Left, rect.Top, rect.Width(), rect.Height(), flags);
  if (!FShown) Resized();  // the look may have changed since it was last shown
  if (FShown && (textChanged || sized)) Invalidate();
  FShown = true;
  FVisible = true;
}

void THintWindow::ReleaseHint() {
  if (!FShown) return;
  FShown = false;
  FVisible = false;
  if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
}

void THintWindow::Paint() {
  HDC dc = Canvas()->Handle();
  const TRect all{0, 0, Width(), Height()};
  FillRect(dc, &all, GetSysColorBrush(COLOR_INFOBK));
  FrameRect(dc, &all, CreateSolidBrush(GetSysColor(COLOR_INFOTEXT)));
  SelectFont(dc, HintFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
  TRect text{kBorder + kPaddingX, kBorder + kPaddingY, Width() - kBorder - kPaddingX, Height() - kBorder - kPaddingY};
  DrawText(dc, Caption(), &text, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
}
