// The window's outline cut from the border masks, the maximised size, snapping to the work
// area's edges, and moving or sizing by a drawn outline.
#include <algorithm>
#include <cstdlib>

#include "frame/sSkinProvider.h"
#include "platform/graphics/DC.h"
#include "skin/data/sSkinManager.h"

namespace {

bool IsFuchsia(COLORREF c) { return c == 0xFF00FF; }

// Adds one rectangle per horizontal run of fuchsia pixels in the mask's margin columns, for
// `rows` rows of the mask's picture starting at `firstRow`, placed at window row `baseY`.
void AddCornerRuns(const TsMaskData& mask, const TDib* master, int firstRow, int rows, int baseY, int windowWidth,
                   std::vector<TRect>& out) {
  const TDib* picture = mask.Bmp ? mask.Bmp.get() : master;
  if (!picture) return;
  const int n = std::max<int>(mask.ImageCount, 1);
  const int stateWidth = mask.R.Width() / n;
  const int height = mask.R.Height();
  auto scan = [&](int fromCol, int toCol, int xBase) {
    for (int row = 0; row < rows; ++row) {
      const int my = firstRow + row;
      if (my < 0 || my >= height) continue;
      const int py = mask.R.Top + my;
      int runStart = -1;
      for (int col = fromCol; col <= toCol + 1; ++col) {
        const int px = mask.R.Left + col;
        const bool key = col <= toCol && px >= 0 && py >= 0 && px < picture->Width() && py < picture->Height() &&
                         IsFuchsia(picture->GetPixel(px, py));
        if (key && runStart < 0) runStart = col;
        if (!key && runStart >= 0) {
          out.push_back({xBase + runStart, baseY + row, xBase + col, baseY + row + 1});
          runStart = -1;
        }
      }
    }
  };
  scan(0, mask.WL - 1, 0);
  scan(stateWidth - mask.WR, stateWidth - 1, windowWidth - stateWidth);
}

// The one outline drag of the program: moving or sizing a window by a drawn rectangle.
struct TOutlineDrag {
  int Code = 0;  // 0 none, 2 move, 10 to 17 an edge
  bool Dragging = false;
  bool CaptureStarted = false;
  bool Moving = false;
  TRect Start, Current;
  TPoint Last;
  int MinWidth = 0, MinHeight = 0;
  HWND Window = nullptr;
  HWND Outline = nullptr;
};
TOutlineDrag gDrag;

// The outline is a window of its own: a one-pixel frame shaped out of a borderless popup,
// drawn in the dark dotted pattern of a drag outline.
void ShowOutline(const TRect& r) {
  static bool registered = false;
  if (!registered) {
    WNDCLASS cls;
    cls.lpszClassName = "TsOutline";
    cls.lpfnWndProc = [](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
      if (m == WM_NCHITTEST) return HTTRANSPARENT;
      if (m != WM_PAINT) return DefWindowProc(h, m, wp, lp);
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      TRect client;
      GetClientRect(h, &client);
      for (int y = 0; y < client.Height(); ++y)
        for (int x = 0; x < client.Width(); ++x)
          if (x == 0 || y == 0 || x == client.Width() - 1 || y == client.Height() - 1)
            SetPixel(dc, x, y, (x + y) % 2 ? RGB(0, 0, 0) : RGB(255, 255, 255));
      EndPaint(h, &ps);
      return 0;
    };
    RegisterClass(cls);
    registered = true;
  }
  if (!gDrag.Outline || !IsWindow(gDrag.Outline))
    gDrag.Outline = CreateWindowEx(WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, "TsOutline", "", WS_POPUP, r.Left,
                                   r.Top, r.Width(), r.Height(), gDrag.Window);
  if (!gDrag.Outline) return;
  SetWindowPos(gDrag.Outline, HWND_TOP, r.Left, r.Top, std::max(r.Width(), 2), std::max(r.Height(), 2),
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  const TRect all{0, 0, std::max(r.Width(), 2), std::max(r.Height(), 2)};
  TRegion frame = TRegion(all).Subtract(TRegion(TRect{1, 1, all.Right - 1, all.Bottom - 1}));
  SetWindowRgn(gDrag.Outline, &frame, true);
  UpdateWindow(gDrag.Outline);
}

void HideOutline() {
  if (gDrag.Outline && IsWindow(gDrag.Outline)) DestroyWindow(gDrag.Outline);
  gDrag.Outline = nullptr;
}

}  // namespace

void TsSkinProvider::RebuildRegion() {
  FRegionRects.clear();
  TsSkinManager* manager = FSkinData.GetSkinManager();
  if (!manager || !FForm->HandleAllocated()) return;
  TRect window;
  GetWindowRect(FForm->Handle(), &window);
  const int w = window.Width(), h = window.Height();
  if (manager->IsValidMaskIndex(FSkinData.BorderMaskIndex)) {
    const TsMaskData& m = manager->Masks()[size_t(FSkinData.BorderMaskIndex)];
    const int pictureHeight = m.R.Height() / (m.MaskType + 1);
    AddCornerRuns(m, manager->MasterBitmap(), 0, m.WT, 0, w, FRegionRects);
    AddCornerRuns(m, manager->MasterBitmap(), pictureHeight - m.WB, m.WB, h - m.WB, w, FRegionRects);
  }
  const std::string title = FTitleSkin.empty() ? "FORMTITLE" : FTitleSkin;
  const int titleIndex = manager->FindSection(title);
  if (titleIndex >= 0) {
    const int mask = manager->FindMaskDirect(title, "BORDERSMASK");
    if (manager->IsValidMaskIndex(mask)) {
      const TsMaskData& m = manager->Masks()[size_t(mask)];
      AddCornerRuns(m, manager->MasterBitmap(), 0, m.WT, 0, w, FRegionRects);
    }
  }
}

void TsSkinProvider::ApplyRegion() {
  if (!FForm->HandleAllocated()) return;
  // Until the first composition a form may ask to keep its rectangle.
  if (!FCacheReady && SendMessage(FForm->Handle(), 0xBC4D, 0x41A2, 0) == 0x41A2) return;
  TRect window;
  GetWindowRect(FForm->Handle(), &window);
  TRegion outline(TRect{0, 0, window.Width(), window.Height()});
  for (const TRect& r : FRegionRects) outline = outline.Subtract(TRegion(r));
  FInRegionUpdate = true;
  SetWindowRgn(FForm->Handle(), &outline, true);
}

void TsSkinProvider::MinMaxInfo(TMessage& m) {
  auto* info = reinterpret_cast<MINMAXINFO*>(m.LParam);
  if (!info) return CallOld(m);
  info->ptMaxPosition = {-1, -1};
  info->ptMaxTrackSize = {-1, -1};
  CallOld(m);
  TRect work;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  const int b = Bordered() ? BorderWidth() : 0;
  if (info->ptMaxTrackSize.X == -1) info->ptMaxTrackSize.X = work.Width() + 2 * b;
  if (info->ptMaxTrackSize.Y == -1) info->ptMaxTrackSize.Y = work.Height() + 2 * b;
  if (info->ptMaxPosition.X == -1) info->ptMaxPosition.X = work.Left - b;
  if (info->ptMaxPosition.Y == -1) info->ptMaxPosition.Y = work.Top - b;
  // The maximised size follows the same rule: the work area with the borders outside it.
  info->ptMaxSize = {work.Width() + 2 * b, work.Height() + 2 * b};
}

void TsSkinProvider::Snap(WINDOWPOS* pos) {
  if (!pos || !ScreenSnap || FForm->WindowState() == wsMaximized || (pos->flags & SWP_NOMOVE)) return;
  if (pos->x == 0 && pos->y == 0) return;
  TRect work;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  const TRect monitor{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const int d = SnapBuffer, w = FForm->Width(), h = FForm->Height();
  if (std::abs(pos->x + w - work.Right) < d) pos->x = work.Right - w;
  if (std::abs(pos->y + h - work.Bottom) < d) pos->y = work.Bottom - h;
  if (std::abs(pos->x + monitor.Left - work.Left) < d) pos->x = work.Left - monitor.Left;
  if (std::abs(pos->y + monitor.Top - work.Top) < d) pos->y = work.Top - monitor.Top;
}

void TsSkinProvider::StartOutlineDrag(int code, TPoint screen) {
  HWND handle = FForm->Handle();
  gDrag.Window = handle;
  gDrag.Code = code;
  gDrag.Moving = code == HTCAPTION;
  gDrag.Dragging = true;
  gDrag.CaptureStarted = true;
  SetCapture(handle);
  GetWindowRect(handle, &gDrag.Start);
  gDrag.Current = gDrag.Start;
  gDrag.Last = screen;
  // The form's size constraints: what the window system would let it shrink to.
  MINMAXINFO mmi{};
  SendMessage(handle, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  gDrag.MinWidth = std::max(mmi.ptMinTrackSize.X, 0);
  gDrag.MinHeight = std::max(mmi.ptMinTrackSize.Y, 0);
  ShowOutline(gDrag.Current);
}

bool TsSkinProvider::OutlineMessage(TMessage& m) {
  if (ResizeMode != rmBorder) return false;
  HWND handle = FForm->Handle();
  switch (m.Msg) {
    case WM_SYSCOMMAND: {
      // From the system menu: the outline follows the pointer until a button goes up.
      const WPARAM command = m.WParam & 0xFFF0;
      if ((command != SC_MOVE && command != SC_SIZE) || gDrag.Dragging || IsZoomed(handle)) return false;
      TPoint p;
      GetCursorPos(&p);
      StartOutlineDrag(command == SC_MOVE ? HTCAPTION : HTBOTTOMRIGHT, p);
      return true;
    }
    case WM_NCLBUTTONDOWN: {
      const LRESULT code = LRESULT(m.WParam);
      if (code == HTMENU || code == HTSYSMENU || code == HTCLOSE || code == HTMINBUTTON || code == HTMAXBUTTON ||
          code == HTHELP || code >= 1000)
        return false;
      if (IsIconic(handle)) {
        SendMessage(handle, WM_SYSCOMMAND, SC_DRAGMOVE, m.LParam);
        return true;
      }
      if (code != HTCAPTION && !(code >= HTLEFT && code <= HTBOTTOMRIGHT)) return false;
      if (IsZoomed(handle)) return false;
      SetHot(0);
      StartOutlineDrag(int(code), {GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)});
      return true;
    }
    case WM_MOUSEMOVE: {
      if (!gDrag.Dragging || gDrag.Window != handle) return false;
      CallOld(m);
      TPoint p;
      GetCursorPos(&p);
      const int dx = p.X - gDrag.Last.X, dy = p.Y - gDrag.Last.Y;
      gDrag.Last = p;
      TRect& r = gDrag.Current;
      if (gDrag.Moving) {
        r = r.Offset(dx, dy);
      } else {
        const int code = gDrag.Code;
        if (code == HTLEFT || code == HTTOPLEFT || code == HTBOTTOMLEFT) r.Left = std::min(r.Left + dx, r.Right - gDrag.MinWidth);
        if (code == HTRIGHT || code == HTTOPRIGHT || code == HTBOTTOMRIGHT) r.Right = std::max(r.Right + dx, r.Left + gDrag.MinWidth);
        if (code == HTTOP || code == HTTOPLEFT || code == HTTOPRIGHT) r.Top = std::min(r.Top + dy, r.Bottom - gDrag.MinHeight);
        if (code == HTBOTTOM || code == HTBOTTOMLEFT || code == HTBOTTOMRIGHT) r.Bottom = std::max(r.Bottom + dy, r.Top + gDrag.MinHeight);
      }
      ShowOutline(r);
      return true;
    }
    case WM_NCLBUTTONUP:
    case WM_LBUTTONUP:
    case WM_NCLBUTTONDBLCLK: {
      if (!gDrag.Dragging || gDrag.Window != handle) return false;
      gDrag.Dragging = false;
      gDrag.Code = 0;
      HideOutline();
      if (GetCapture() == handle) ReleaseCapture();
      const TRect r = gDrag.Current;
      if (!(r == gDrag.Start)) MoveWindow(handle, r.Left, r.Top, r.Width(), r.Height(), true);
      return true;
    }
    case WM_CAPTURECHANGED:
      if (gDrag.Dragging && gDrag.Window == handle && GetCapture() != handle) {
        gDrag.Dragging = false;
        HideOutline();
      }
      return false;
    default:
      return false;
  }
}
