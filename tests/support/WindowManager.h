#pragma once
// A window manager (openbox) on a private X server, for tests of a program on a managed
// desktop. It runs with the system's default settings (no user configuration, no session) and
// is ready once it has claimed the screen (_NET_SUPPORTING_WM_CHECK on the root names a window
// that names itself) and takes in the windows shown on it. It goes away with the object.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/XServer.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

// The window a window-property of type WINDOW names, 0 when there is none.
inline ::Window WindowProperty(Display* dpy, ::Window w, const char* name) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  ::Window value = 0;
  if (XGetWindowProperty(dpy, w, XInternAtom(dpy, name, False), 0, 1, False, XA_WINDOW, &type, &format, &count, &after,
                         &data) == Success &&
      data && format == 32 && count == 1)
    value = ::Window(*reinterpret_cast<unsigned long*>(data));
  if (data) XFree(data);
  return value;
}

// Whether a window manager that follows the desktop conventions runs on the screen now.
inline bool WindowManagerRunning(Display* dpy) {
  const ::Window check = WindowProperty(dpy, DefaultRootWindow(dpy), "_NET_SUPPORTING_WM_CHECK");
  return check && WindowProperty(dpy, check, "_NET_SUPPORTING_WM_CHECK") == check;
}

class TWindowManager {
 public:
  TWindowManager(const std::string& displayName, Display* dpy) {
    using namespace std::chrono_literals;
    const std::string exe = FindProgram("openbox");
    if (exe.empty()) {
      FProblem = "openbox is not installed";
      return;
    }
    std::vector<std::string> args = {exe, "--sm-disable"};
    // The packaged defaults, whatever the user running the tests has configured.
    if (access("/etc/xdg/openbox/rc.xml", R_OK) == 0) {
      args.push_back("--config-file");
      args.push_back("/etc/xdg/openbox/rc.xml");
    }
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> envStrings;
    for (char** e = environ; *e; ++e)
      if (std::string(*e).rfind("DISPLAY=", 0) != 0) envStrings.push_back(*e);
    envStrings.push_back("DISPLAY=" + displayName);
    std::vector<char*> envp;
    for (std::string& s : envStrings) envp.push_back(s.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    const int failed = posix_spawn(&FPid, exe.c_str(), &quiet, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&quiet);
    if (failed) {
      FPid = -1;
      FProblem = "cannot start " + exe;
      return;
    }
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!WindowManagerRunning(dpy)) {
      if (std::chrono::steady_clock::now() > deadline || waitpid(FPid, nullptr, WNOHANG) == FPid) {
        FProblem = exe + " did not take the screen";
        Stop();
        return;
      }
      std::this_thread::sleep_for(20ms);
    }
    // The manager names itself on the root before it handles the windows asked to be shown;
    // one shown that early can stay unmapped for ever. It is ready once it takes in a window.
    if (!TakesInAWindow(dpy, deadline)) {
      FProblem = exe + " took the screen but manages no window";
      Stop();
    }
  }
  ~TWindowManager() { Stop(); }
  TWindowManager(const TWindowManager&) = delete;
  TWindowManager& operator=(const TWindowManager&) = delete;

  bool Running() const { return FPid > 0; }
  const std::string& Problem() const { return FProblem; }

 private:
  // Shows a small window, asking again while the manager has not taken it in (WM_STATE set).
  static bool TakesInAWindow(Display* dpy, std::chrono::steady_clock::time_point deadline) {
    using namespace std::chrono_literals;
    const ::Window probe = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 10, 10, 0, 0, 0);
    const Atom wmState = XInternAtom(dpy, "WM_STATE", False);
    bool managed = false;
    while (!managed && std::chrono::steady_clock::now() < deadline) {
      XUnmapWindow(dpy, probe);
      XMapWindow(dpy, probe);
      XSync(dpy, False);
      for (int i = 0; i < 25 && !managed; ++i) {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        managed = XGetWindowProperty(dpy, probe, wmState, 0, 2, False, wmState, &type, &format, &count, &after,
                                     &data) == Success &&
                  count > 0;
        if (data) XFree(data);
        if (!managed) std::this_thread::sleep_for(20ms);
      }
    }
    XDestroyWindow(dpy, probe);
    XSync(dpy, False);
    return managed;
  }
  void Stop() {
    if (FPid <= 0) return;
    kill(FPid, SIGTERM);
    waitpid(FPid, nullptr, 0);
    FPid = -1;
  }
  pid_t FPid = -1;
  std::string FProblem;
};
