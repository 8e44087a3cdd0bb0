// The keyboard focus: kept among our windows, and its comings and goings from and to other
// programs reported as activation and deactivation.
#include "platform/display/sdl/SdlDisplay.h"

#include "platform/windowing/WinApi.h"

// SDL's native-window header pulls in Xlib and its macros; it comes after our own headers.
#include "platform/display/sdl/SdlX11.h"

using namespace sdlx11;

HWND TSdlDisplay::FocusedWindow() const {
  Display* dpy = nullptr;
  for (const auto& [hwnd, s] : FSurfaces)
    if ((dpy = XWindowOf(s.Sdl.get()).Dpy)) break;
  if (dpy) {
    // Ask the server: SDL only learns of a change when its event has been read.
    ::Window focus = 0;
    int revert = 0;
    XGetInputFocus(dpy, &focus, &revert);
    for (const auto& [hwnd, s] : FSurfaces)
      if (focus && XWindowOf(s.Sdl.get()).Id == focus) return hwnd;
    return nullptr;
  }
  SDL_Window* focus = SDL_GetKeyboardFocus();
  for (const auto& [hwnd, s] : FSurfaces)
    if (focus && s.Sdl.get() == focus) return hwnd;
  return nullptr;
}

void TSdlDisplay::SetKeyboardFocus(HWND hwnd) {
  TSurface* s = Find(hwnd);
  if (!s || !s->Visible || s->State.Minimized) return;
  SDL_SetWindowInputFocus(s->Sdl.get());
  SDL_RaiseWindow(s->Sdl.get());
  SyncX();
}

void TSdlDisplay::HandFocusOn(HWND leaving) {
  TSurface* s = Find(leaving);
  if (!s || !s->Visible || FocusedWindow() != leaving) return;
  // A window that loses its focus by disappearing hands it to nobody (no window manager to
  // pick another), which would read as the program losing the focus.
  TSurface* to = Find(s->FocusBefore);
  if (!to || !to->Visible || to == s) {
    to = nullptr;
    for (HWND h : GetTopLevelWindows()) {
      TSurface* o = h != leaving ? Find(h) : nullptr;
      if (o && o->Visible) {
        to = o;
        break;
      }
    }
  }
  if (!to)
    for (auto& [h, o] : FSurfaces)
      if (h != leaving && o.Visible) {
        to = &o;
        break;
      }
  if (!to) return;
  SDL_SetWindowInputFocus(to->Sdl.get());
  SyncX();
}

void TSdlDisplay::CheckFocus() {
  if (!FFocusChanged) return;
  FFocusChanged = false;
  if (HWND focus = FocusedWindow()) {
    // Given from outside (a window manager, a pager, another program) or moved between our own
    // windows: the window system activates the window unless it already is active.
    if (!FHadFocus || focus != FLastFocus) {
      TInputEvent e;
      e.Kind = TInputEvent::ieFocusGained;
      e.Window = focus;
      FEvents.push_back(e);
    }
    FLastFocus = focus;
    FHadFocus = true;
    return;
  }
  if (FHadFocus) {
    TInputEvent e;
    e.Kind = TInputEvent::ieFocusLost;
    e.Window = FLastFocus;
    FEvents.push_back(e);
  }
  FHadFocus = false;
}

void TSdlDisplay::SyncX() const {
  // Waits until the server has handled our requests, so that the focus events they cause are
  // read together (a loss and the gain that follows it).
  for (const auto& [hwnd, s] : FSurfaces)
    if (Display* dpy = XWindowOf(s.Sdl.get()).Dpy) {
      XSync(dpy, False);
      return;
    }
}
