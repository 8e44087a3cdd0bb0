#pragma once
// Shared by the SDL display's source files (not a public header): SDL, its native-window
// header and Xlib, which it pulls in with its macros (include it after every header of ours),
// and small helpers for the X windows behind SDL's windows.
#include <SDL.h>
#include <SDL_syswm.h>

#include <string>
#include <vector>

#include "platform/graphics/Types.h"

namespace sdlx11 {

struct TXWindow {
  Display* Dpy = nullptr;
  ::Window Id = 0;
};

inline TXWindow XWindowOf(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11)
    return {info.info.x11.display, info.info.x11.window};
  return {};
}

inline TRect FromSdl(const SDL_Rect& r) { return {r.x, r.y, r.x + r.w, r.y + r.h}; }

// Rounds toward minus infinity, so that a screen position left of or above the origin maps to
// the logical pixel that holds it.
inline int FloorDiv(int v, int n) { return v >= 0 ? v / n : -((-v + n - 1) / n); }

// A window's property of 32-bit items (as Xlib hands them: one long each), empty when it is
// missing or of another type.
std::vector<long> ReadLongs(Display* dpy, ::Window w, Atom property, Atom type);
// A window's property of 8-bit items, empty when it is missing.
std::string ReadBytes(Display* dpy, ::Window w, Atom property);

}  // namespace sdlx11
