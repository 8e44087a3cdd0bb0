// System metrics, parameters, the beep and registered messages.
#include "platform/windowing/WindowSystem.h"

int GetSystemMetrics(int index) {
  TDisplay* d = WS().Display;
  const TRect screen = d ? d->ScreenRect() : TRect{0, 0, 1280, 1024};
  const TRect work = d ? d->WorkArea() : TRect{0, 0, 1280, 984};
  switch (index) {
    case SM_CXSCREEN: return screen.Width();
    case SM_CYSCREEN: return screen.Height();
    case SM_CXVSCROLL: case SM_CYHSCROLL: case SM_CYVSCROLL: case SM_CXHSCROLL: return 17;
    case SM_CYVTHUMB: case SM_CXHTHUMB: return 17;
    case SM_CYCAPTION: return 19;
    case SM_CXBORDER: case SM_CYBORDER: return 1;
    case SM_CXFIXEDFRAME: case SM_CYFIXEDFRAME: return 3;
    case SM_CXSIZEFRAME: case SM_CYSIZEFRAME: return 4;
    case SM_CXEDGE: case SM_CYEDGE: return 2;
    case SM_CXICON: case SM_CYICON: return 32;
    case SM_CXCURSOR: case SM_CYCURSOR: return 32;
    case SM_CXSMICON: case SM_CYSMICON: return 16;
    case SM_CYMENU: return 19;
    case SM_CXSIZE: case SM_CYSIZE: return 18;
    case SM_CXSMSIZE: case SM_CYSMSIZE: return 12;
    case SM_CYSMCAPTION: return 15;
    case SM_CXMENUSIZE: case SM_CYMENUSIZE: return 18;
    case SM_CXMENUCHECK: case SM_CYMENUCHECK: return 13;
    case SM_CXMIN: return 112;
    case SM_CYMIN: return 27;
    case SM_CXMINTRACK: return 112;
    case SM_CYMINTRACK: return 27;
    case SM_CXMINIMIZED: return 160;
    case SM_CYMINIMIZED: return 19 + 2 * 3;
    case SM_CXMAXTRACK: return screen.Width() + 12;
    case SM_CYMAXTRACK: return screen.Height() + 12;
    case SM_CXMAXIMIZED: return work.Width() + 8;
    case SM_CYMAXIMIZED: return work.Height() + 8;
    case SM_CXFULLSCREEN: return work.Width();
    case SM_CYFULLSCREEN: return work.Height() - 19;
    case SM_CXDOUBLECLK: case SM_CYDOUBLECLK: return 4;
    case SM_CXDRAG: case SM_CYDRAG: return 4;
    case SM_CMONITORS: return 1;
    default: return 0;
  }
}

bool SystemParametersInfo(UINT action, UINT /*param*/, void* out, UINT /*winIni*/) {
  if (!out) return false;
  switch (action) {
    case SPI_GETWORKAREA: {
      TDisplay* d = WS().Display;
      *static_cast<TRect*>(out) = d ? d->WorkArea() : TRect{0, 0, 1280, 984};
      return true;
    }
    case SPI_GETNONCLIENTMETRICS: {
      NONCLIENTMETRICS m;
      m.lfCaptionFont = DefaultGuiFont();
      m.lfCaptionFont.Style = fsBold;
      m.lfSmCaptionFont = m.lfCaptionFont;
      m.lfMenuFont = DefaultGuiFont();
      m.lfStatusFont = DefaultGuiFont();
      m.lfMessageFont = DefaultGuiFont();
      *static_cast<NONCLIENTMETRICS*>(out) = m;
      return true;
    }
    default:
      return false;
  }
}

bool MessageBeep(UINT /*type*/) {
  if (TDisplay* d = WS().Display) d->Beep();
  return true;
}

bool IsThemeActive() { return false; }
int SetWindowTheme(HWND, const char*, const char*) { return 0; }
