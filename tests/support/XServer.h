#pragma once
// A private X server (Xvfb) for tests that need a real display, on the first free display
// number; it goes away with the object.
#include <fcntl.h>
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
  explicit TXServer(const std::string& screen = "1024x768x24") {
    using namespace std::chrono_literals;
    using TClock = std::chrono::steady_clock;
    const std::string exe = FindProgram("Xvfb");
    if (exe.empty()) {
      FProblem = "Xvfb is not installed";
      return;
    }
    const auto deadline = TClock::now() + 5s;
    for (int n = 70 + int(getpid() % 100); !FDpy && TClock::now() < deadline; ++n) {
      if (access(("/tmp/.X" + std::to_string(n) + "-lock").c_str(), F_OK) == 0) continue;
      const std::string name = ":" + std::to_string(n);
      std::vector<std::string> args = {exe, name, "-screen", "0", screen, "-nolisten", "tcp"};
      std::vector<char*> argv;
      for (std::string& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      posix_spawn_file_actions_t quiet;
      posix_spawn_file_actions_init(&quiet);
      posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
      posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
      pid_t pid = -1;
      const int failed = posix_spawn(&pid, exe.c_str(), &quiet, nullptr, argv.data(), environ);
      posix_spawn_file_actions_destroy(&quiet);
      if (failed) break;
      while (TClock::now() < deadline) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) {  // display taken or server broken
          pid = -1;
          break;
        }
        if ((FDpy = XOpenDisplay(name.c_str()))) break;
        std::this_thread::sleep_for(20ms);
      }
      if (FDpy) {
        FPid = pid;
        FName = name;
      } else if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
      }
    }
    if (!FDpy) FProblem = "no X server could be started with " + exe;
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
