#include "tests/windowing/WindowingTestSupport.h"

#include <algorithm>
#include <map>

TRecorder& TRecorder::Get() {
  static TRecorder r;
  return r;
}

std::vector<UINT> TRecorder::Messages(HWND only) const {
  std::vector<UINT> out;
  for (const TRecorded& r : Log)
    if (!only || r.Window == only) out.push_back(r.Message);
  return out;
}

void TRecorder::RegisterClasses() {
  WNDCLASS cls;
  cls.lpszClassName = "Recorder";
  cls.style = CS_DBLCLKS;
  cls.hbrBackground = RGB(255, 255, 255);
  cls.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    TRecorder& rec = Get();
    if (std::find(rec.Ignored.begin(), rec.Ignored.end(), m) == rec.Ignored.end()) rec.Log.push_back({h, m, w, l});
    if (rec.Hook) {
      LRESULT result = 0;
      if (rec.Hook(h, m, w, l, result)) return result;
    }
    return DefWindowProc(h, m, w, l);
  };
  RegisterClass(cls);
}

std::string MessageName(UINT msg) {
  static const std::map<UINT, const char*> names = {
      {WM_CREATE, "WM_CREATE"}, {WM_DESTROY, "WM_DESTROY"}, {WM_MOVE, "WM_MOVE"}, {WM_SIZE, "WM_SIZE"},
      {WM_ACTIVATE, "WM_ACTIVATE"}, {WM_SETFOCUS, "WM_SETFOCUS"}, {WM_KILLFOCUS, "WM_KILLFOCUS"},
      {WM_ENABLE, "WM_ENABLE"}, {WM_SETTEXT, "WM_SETTEXT"}, {WM_PAINT, "WM_PAINT"}, {WM_CLOSE, "WM_CLOSE"},
      {WM_ERASEBKGND, "WM_ERASEBKGND"}, {WM_SHOWWINDOW, "WM_SHOWWINDOW"}, {WM_ACTIVATEAPP, "WM_ACTIVATEAPP"},
      {WM_MOUSEACTIVATE, "WM_MOUSEACTIVATE"}, {WM_GETMINMAXINFO, "WM_GETMINMAXINFO"},
      {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"}, {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
      {WM_NCCREATE, "WM_NCCREATE"}, {WM_NCDESTROY, "WM_NCDESTROY"}, {WM_NCCALCSIZE, "WM_NCCALCSIZE"},
      {WM_NCHITTEST, "WM_NCHITTEST"}, {WM_NCPAINT, "WM_NCPAINT"}, {WM_NCACTIVATE, "WM_NCACTIVATE"},
      {WM_NCMOUSEMOVE, "WM_NCMOUSEMOVE"}, {WM_NCLBUTTONDOWN, "WM_NCLBUTTONDOWN"}, {WM_NCLBUTTONUP, "WM_NCLBUTTONUP"},
      {WM_NCLBUTTONDBLCLK, "WM_NCLBUTTONDBLCLK"}, {WM_NCRBUTTONDOWN, "WM_NCRBUTTONDOWN"},
      {WM_NCRBUTTONUP, "WM_NCRBUTTONUP"}, {WM_KEYDOWN, "WM_KEYDOWN"}, {WM_KEYUP, "WM_KEYUP"}, {WM_CHAR, "WM_CHAR"},
      {WM_SYSKEYDOWN, "WM_SYSKEYDOWN"}, {WM_SYSKEYUP, "WM_SYSKEYUP"}, {WM_SYSCHAR, "WM_SYSCHAR"},
      {WM_COMMAND, "WM_COMMAND"}, {WM_SYSCOMMAND, "WM_SYSCOMMAND"}, {WM_TIMER, "WM_TIMER"},
      {WM_MOUSEMOVE, "WM_MOUSEMOVE"}, {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"}, {WM_LBUTTONUP, "WM_LBUTTONUP"},
      {WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK"}, {WM_RBUTTONDOWN, "WM_RBUTTONDOWN"}, {WM_RBUTTONUP, "WM_RBUTTONUP"},
      {WM_CONTEXTMENU, "WM_CONTEXTMENU"}, {WM_SIZING, "WM_SIZING"}, {WM_MOVING, "WM_MOVING"},
      {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"}, {WM_ENTERSIZEMOVE, "WM_ENTERSIZEMOVE"},
      {WM_EXITSIZEMOVE, "WM_EXITSIZEMOVE"}, {WM_MOUSELEAVE, "WM_MOUSELEAVE"}, {WM_NCMOUSELEAVE, "WM_NCMOUSELEAVE"},
      {WM_STYLECHANGING, "WM_STYLECHANGING"}, {WM_STYLECHANGED, "WM_STYLECHANGED"}, {WM_PRINT, "WM_PRINT"},
      {WM_PRINTCLIENT, "WM_PRINTCLIENT"}, {WM_DROPFILES, "WM_DROPFILES"}, {WM_MOUSEWHEEL, "WM_MOUSEWHEEL"},
  };
  auto it = names.find(msg);
  if (it != names.end()) return it->second;
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%04X", msg);
  return buf;
}

std::string Describe(const std::vector<UINT>& msgs) {
  std::string s;
  for (UINT m : msgs) {
    if (!s.empty()) s += ", ";
    s += MessageName(m);
  }
  return s;
}

void HeadlessTest::SetUp() {
  SetDisplay(&Display);
  TRecorder::RegisterClasses();
  TRecorder::Get().Clear();
  TRecorder::Get().Hook = nullptr;
}

void HeadlessTest::TearDown() {
  TRecorder::Get().Hook = nullptr;
  SetDisplay(nullptr);
  TRecorder::Get().Clear();
}

HWND HeadlessTest::CreateRecorded(uint32_t style, int x, int y, int w, int h, HWND parent, uint32_t exStyle) {
  return CreateWindowEx(exStyle, "Recorder", "Test window", style, x, y, w, h, parent);
}
