// A window of the window system on the real display: the classic frame drawn by the window
// system, moved, sized, maximised, minimised and closed with the mouse.
#include <cstdio>
#include <exception>

#include "platform/display/x11/X11Display.h"
#include "platform/graphics/Text.h"
#include "platform/windowing/WinApi.h"

namespace {

LRESULT DemoProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      TRect r;
      GetClientRect(hwnd, &r);
      FillRect(dc, &r, CreateSolidBrush(RGB(255, 255, 255)));
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, RGB(0, 0, 0));
      DrawText(dc, "Hello from the window system.", &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}

}  // namespace

int main() {
  try {
    TX11Display display;
    SetDisplay(&display);
    WNDCLASS cls;
    cls.lpszClassName = "WindowDemo";
    cls.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    cls.lpfnWndProc = DemoProc;
    RegisterClass(cls);
    if (!CreateWindowEx(0, "WindowDemo", "Window demo", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 480, 320, nullptr)) {
      std::fprintf(stderr, "window_demo: cannot create the window\n");
      return 1;
    }
    TMsg msg;
    while (GetMessage(&msg)) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
    SetDisplay(nullptr);
    return int(msg.wParam);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "window_demo: %s\n", e.what());
    return 1;
  }
}
