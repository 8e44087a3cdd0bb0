// Starts one program on an X display and reports how long it took, from the fork, until its
// first window was mapped and until that window showed a picture (more than one colour), and
// the program's resident memory at that moment. Used by bench/startup.sh, which compares the
// viewer with a minimal X client measured in the same run.
//
//   startup_probe [--trace FILE] PROGRAM [ARGS...]     (the display is the one named by DISPLAY)
//
// Prints "<ms to picture> <resident KiB> <ms to map>" and exits 0, or prints a reason and
// exits 1. With --trace the program is started with MARUK_STARTUP_TRACE=FILE, and the marks it
// leaves there follow, one a line: "mark <ms since the fork> <what was reached>".
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "QuietChild.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>


namespace {

using TClock = std::chrono::steady_clock;

std::set<::Window> MappedTopLevels(Display* dpy) {
  std::set<::Window> out;
  ::Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(dpy, DefaultRootWindow(dpy), &root, &parent, &children, &count)) return out;
  for (unsigned i = 0; i < count; ++i) {
    XWindowAttributes a;
    if (XGetWindowAttributes(dpy, children[i], &a) && a.map_state == IsViewable && a.c_class == InputOutput)
      out.insert(children[i]);
  }
  if (children) XFree(children);
  return out;
}

// A window shows a picture once its pixels are not all one colour (a freshly mapped window
// holds only its background). Sixteen rows spread over the window are read, not the whole
// window, so that polling a large window does not keep the X server busy.
bool ShowsPicture(Display* dpy, ::Window w) {
  XWindowAttributes a;
  if (!XGetWindowAttributes(dpy, w, &a) || a.width <= 0 || a.height <= 0) return false;
  bool known = false;
  unsigned long first = 0;
  const int rows = a.height < 16 ? a.height : 16;
  for (int i = 0; i < rows; ++i) {
    const int y = int((i + 0.5) * a.height / rows);
    XImage* image = XGetImage(dpy, w, 0, y, unsigned(a.width), 1, AllPlanes, ZPixmap);
    if (!image) return false;
    for (int x = 0; x < a.width; ++x) {
      const unsigned long pixel = XGetPixel(image, x, 0);
      if (!known) {
        first = pixel;
        known = true;
      } else if (pixel != first) {
        XDestroyImage(image);
        return true;
      }
    }
    XDestroyImage(image);
  }
  return false;
}

long ResidentKiB(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string key;
  while (in >> key) {
    if (key == "VmRSS:") {
      long kib = -1;
      in >> kib;
      return kib;
    }
    std::getline(in, key);
  }
  return -1;
}

// Swallows errors about windows that went away between listing and reading them.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

}  // namespace

// The marks a traced program left, as milliseconds after `start`.
void PrintTrace(const std::string& path, TClock::time_point start) {
  std::ifstream in(path);
  const long long startNs =
      std::chrono::duration_cast<std::chrono::nanoseconds>(start.time_since_epoch()).count();
  long long ns = 0;
  std::string what;
  while (in >> ns && std::getline(in, what)) {
    if (!what.empty() && what[0] == ' ') what.erase(0, 1);
    std::printf("mark %.2f %s\n", double(ns - startNs) / 1e6, what.c_str());
  }
}

int main(int argc, char** argv) {
  std::string trace;
  int first = 1;
  if (argc > 2 && std::string(argv[1]) == "--trace") {
    trace = argv[2];
    first = 3;
  }
  if (argc <= first) {
    std::fprintf(stderr, "usage: startup_probe [--trace FILE] PROGRAM [ARGS...]\n");
    return 2;
  }
  if (!trace.empty()) {
    std::remove(trace.c_str());
    setenv("MARUK_STARTUP_TRACE", trace.c_str(), 1);
  }
  Display* dpy = XOpenDisplay(nullptr);
  if (!dpy) {
    std::fprintf(stderr, "startup_probe: cannot open the display\n");
    return 1;
  }
  XSetErrorHandler(&IgnoreXError);
  const std::set<::Window> before = MappedTopLevels(dpy);

  TClock::time_point start;
  const pid_t pid = StartQuiet(argv + first, start);
  if (pid < 0) {
    std::fprintf(stderr, "startup_probe: cannot start %s\n", argv[first]);
    return 1;
  }

  const auto deadline = start + std::chrono::seconds(20);
  std::map<::Window, double> mappedAt;  // when each new window was first seen mapped
  auto since = [&] { return std::chrono::duration<double, std::milli>(TClock::now() - start).count(); };
  while (TClock::now() < deadline) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) {
      std::fprintf(stderr, "startup_probe: %s ended before it showed a window\n", argv[first]);
      return 1;
    }
    for (::Window w : MappedTopLevels(dpy)) {
      if (before.count(w)) continue;
      const double seen = since();
      mappedAt.emplace(w, seen);
      if (!ShowsPicture(dpy, w)) continue;
      const double ms = since();
      const long rss = ResidentKiB(pid);
      Stop(pid);
      std::printf("%.2f %ld %.2f\n", ms, rss, mappedAt[w]);
      if (!trace.empty()) PrintTrace(trace, start);
      XCloseDisplay(dpy);
      return 0;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  Stop(pid);
  std::fprintf(stderr, "startup_probe: no painted window from %s in 20 s\n", argv[first]);
  return 1;
}
