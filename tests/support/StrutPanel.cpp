// strut_panel HEIGHT: a panel along the top of the screen on $DISPLAY, HEIGHT pixels high, that
// reserves its band (_NET_WM_STRUT and _NET_WM_STRUT_PARTIAL on a _NET_WM_WINDOW_TYPE_DOCK
// window), so that a window manager takes the band out of the work area. Runs until it is
// ended; for tests and for trying a program by hand beside a panel.
#include <cstdio>
#include <cstdlib>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

int main(int argc, char** argv) {
  const int height = argc > 1 ? std::atoi(argv[1]) : 0;
  if (height <= 0 || height > 1000) {
    std::fprintf(stderr, "usage: strut_panel HEIGHT\n");
    return 2;
  }
  Display* dpy = XOpenDisplay(nullptr);
  if (!dpy) {
    std::fprintf(stderr, "strut_panel: cannot open the display\n");
    return 1;
  }
  const int screen = DefaultScreen(dpy);
  const int width = DisplayWidth(dpy, screen);
  const ::Window panel = XCreateSimpleWindow(dpy, RootWindow(dpy, screen), 0, 0, unsigned(width), unsigned(height), 0,
                                             0, 0x505050);
  const Atom dock = XInternAtom(dpy, "_NET_WM_WINDOW_TYPE_DOCK", False);
  XChangeProperty(dpy, panel, XInternAtom(dpy, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&dock), 1);
  // left, right, top, bottom; then the start and end of each band along its edge.
  const long strut[12] = {0, 0, height, 0, 0, 0, 0, 0, 0, width - 1, 0, 0};
  XChangeProperty(dpy, panel, XInternAtom(dpy, "_NET_WM_STRUT", False), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(strut), 4);
  XChangeProperty(dpy, panel, XInternAtom(dpy, "_NET_WM_STRUT_PARTIAL", False), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(strut), 12);
  // Where it is asked to be, not where a manager would place a new window.
  XSizeHints hints{};
  hints.flags = USPosition | USSize | PMinSize | PMaxSize;
  hints.width = hints.min_width = hints.max_width = width;
  hints.height = hints.min_height = hints.max_height = height;
  XSetWMNormalHints(dpy, panel, &hints);
  XStoreName(dpy, panel, "strut_panel");
  XMapWindow(dpy, panel);
  XFlush(dpy);
  for (;;) {
    XEvent e;
    XNextEvent(dpy, &e);
  }
}
