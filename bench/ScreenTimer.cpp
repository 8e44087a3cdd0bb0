// A second, independent way to time a program's first window: from the fork, the moment the
// server reports a new top-level window mapped (an event, not a poll), and the moment the
// screen itself shows something new in a given rectangle (rows of the root window's pixels,
// read every millisecond and compared with what was there before the start). Nothing of the startup
// probe's way (reading the new window's own pixels) is shared.
//
//   screen_timer X Y W H PROGRAM [ARGS...]     (the display is the one named by DISPLAY)
//
// Prints "<ms to changed pixels> <ms to map>" and exits 0, or prints a reason and exits 1.
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "QuietChild.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>


namespace {

using TClock = std::chrono::steady_clock;

// Eight rows spread over the rectangle, as the server holds them, bytes compared as they come;
// reading the whole rectangle every millisecond would keep the X server busy enough to slow
// the program being timed.
std::vector<char> Grab(Display* dpy, int x, int y, int w, int h) {
  std::vector<char> out;
  const int rows = h < 8 ? h : 8;
  for (int i = 0; i < rows; ++i) {
    const int row = y + int((i + 0.5) * h / rows);
    XImage* image = XGetImage(dpy, DefaultRootWindow(dpy), x, row, unsigned(w), 1, AllPlanes, ZPixmap);
    if (!image) return {};
    out.insert(out.end(), image->data, image->data + image->bytes_per_line);
    XDestroyImage(image);
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 6) {
    std::fprintf(stderr, "usage: screen_timer X Y W H PROGRAM [ARGS...]\n");
    return 2;
  }
  const int x = std::atoi(argv[1]), y = std::atoi(argv[2]), w = std::atoi(argv[3]), h = std::atoi(argv[4]);
  Display* dpy = XOpenDisplay(nullptr);
  if (!dpy || w <= 0 || h <= 0) {
    std::fprintf(stderr, "screen_timer: cannot open the display, or an empty rectangle\n");
    return 1;
  }
  XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask);
  const std::vector<char> before = Grab(dpy, x, y, w, h);
  XSync(dpy, True);  // drops events from earlier programs

  TClock::time_point start;
  const pid_t pid = StartQuiet(argv + 5, start);
  if (pid < 0) {
    std::fprintf(stderr, "screen_timer: cannot start %s\n", argv[5]);
    return 1;
  }
  auto since = [&] { return std::chrono::duration<double, std::milli>(TClock::now() - start).count(); };
  double mapped = -1;
  const auto deadline = start + std::chrono::seconds(20);
  while (TClock::now() < deadline) {
    while (XPending(dpy) > 0) {
      XEvent e;
      XNextEvent(dpy, &e);
      if (e.type == MapNotify && mapped < 0 && !e.xmap.override_redirect) mapped = since();
    }
    // The pixels were on the screen when the request left, at the latest: the time of asking
    // counts, not the time the answer took to come back.
    const double asked = since();
    if (Grab(dpy, x, y, w, h) != before) {
      const double ms = asked;
      // A map whose event is still on its way came no later than the pixels it shows.
      XSync(dpy, False);
      while (XPending(dpy) > 0) {
        XEvent e;
        XNextEvent(dpy, &e);
        if (e.type == MapNotify && mapped < 0 && !e.xmap.override_redirect) mapped = ms;
      }
      Stop(pid);
      std::printf("%.2f %.2f\n", ms, mapped < 0 ? ms : mapped);
      XCloseDisplay(dpy);
      return 0;
    }
    if (waitpid(pid, nullptr, WNOHANG) == pid) {
      std::fprintf(stderr, "screen_timer: %s ended before the screen changed\n", argv[5]);
      return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  Stop(pid);
  std::fprintf(stderr, "screen_timer: the screen did not change in 20 s\n");
  return 1;
}
