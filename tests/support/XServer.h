#pragma once
// A private X server (Xvfb) for tests that need a real display, on a free display number the
// server picks; it goes away with the object.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <X11/Xlib.h>

extern char** environ;

inline std::string FindProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  for (size_t start = 0; start <= dirs.size();) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    const std::string candidate = dirs.substr(start, end - start) + "/" + name;
    if (end > start && access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return {};
}

class TXServer {
 public:
  // The server chooses its display number itself and tells it once it takes connections:
  // two test programs starting servers at once never meet on one display.
  explicit TXServer(const std::string& screen = "1024x768x24") {
    using namespace std::chrono_literals;
    using TClock = std::chrono::steady_clock;
    const std::string exe = FindProgram("Xvfb");
    if (exe.empty()) {
      FProblem = "Xvfb is not installed";
      return;
    }
    int channel[2];
    if (pipe2(channel, O_CLOEXEC) != 0) {
      FProblem = "no pipe for the X server's display number";
      return;
    }
    constexpr int kTellFd = 3;
    std::vector<std::string> args = {exe, "-displayfd", std::to_string(kTellFd), "-screen", "0", screen, "-nolisten",
                                     "tcp"};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, channel[1], kTellFd);
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(channel[1]);
    if (failed) {
      close(channel[0]);
      FProblem = "cannot start " + exe;
      return;
    }
    // The number comes as a line; end of file first means the server gave up.
    std::string number;
    const auto deadline = TClock::now() + 10s;
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now()).count();
      pollfd p{channel[0], POLLIN, 0};
      if (left <= 0 || poll(&p, 1, int(left)) <= 0) break;
      char c = 0;
      if (read(channel[0], &c, 1) != 1 || c == '\n') break;
      number += c;
    }
    close(channel[0]);
    if (!number.empty()) {
      FName = ":" + number;
      FDpy = XOpenDisplay(FName.c_str());
    }
    if (FDpy) {
      FPid = pid;
    } else {
      kill(pid, SIGTERM);
      waitpid(pid, nullptr, 0);
      FName.clear();
      FProblem = "no X server could be started with " + exe;
    }
  }
  ~TXServer() {
    if (FDpy) XCloseDisplay(FDpy);
    if (FPid > 0) {
      kill(FPid, SIGTERM);
      waitpid(FPid, nullptr, 0);
    }
  }
  Display* Dpy() const { return FDpy; }
  const std::string& Name() const { return FName; }
  const std::string& Problem() const { return FProblem; }

 private:
  pid_t FPid = -1;
  Display* FDpy = nullptr;
  std::string FName, FProblem;
};
