#pragma once
// Runs one of the project's programs as a child process for end-to-end tests: with its own
// environment additions, standard output and error captured to files, a deadline after which
// it is killed, and its CPU time readable from /proc while it runs. Standard error goes with
// standard output unless asked to be kept apart.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

class TChildProcess {
 public:
  using TClock = std::chrono::steady_clock;

  // Starts `argv[0]` with `argv`; `env` entries are added to (or replace) the environment,
  // the variables named in `unset` are taken out of it.
  TChildProcess(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env = {},
                const std::vector<std::string>& unset = {}, bool separateErrors = false) {
    FOutput = TempFile();
    if (separateErrors) FErrors = TempFile();
    std::map<std::string, std::string> all;
    for (char** e = environ; *e; ++e) {
      const std::string entry = *e;
      const size_t eq = entry.find('=');
      if (eq != std::string::npos) all[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    for (const auto& [k, v] : env) all[k] = v;
    for (const std::string& k : unset) all.erase(k);
    std::vector<std::string> envStrings;
    for (const auto& [k, v] : all) envStrings.push_back(k + "=" + v);
    std::vector<char*> envp, args;
    for (std::string& s : envStrings) envp.push_back(s.data());
    envp.push_back(nullptr);
    std::vector<std::string> argCopy = argv;
    for (std::string& s : argCopy) args.push_back(s.data());
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, FOutput.c_str(), O_WRONLY | O_TRUNC, 0600);
    if (separateErrors) posix_spawn_file_actions_addopen(&actions, 2, FErrors.c_str(), O_WRONLY | O_TRUNC, 0600);
    else posix_spawn_file_actions_adddup2(&actions, 1, 2);
    if (posix_spawn(&FPid, args[0], &actions, nullptr, args.data(), envp.data()) != 0) FPid = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~TChildProcess() {
    if (Running()) {
      kill(FPid, SIGKILL);
      waitpid(FPid, nullptr, 0);
    }
    std::remove(FOutput.c_str());
    if (!FErrors.empty()) std::remove(FErrors.c_str());
  }
  TChildProcess(const TChildProcess&) = delete;
  TChildProcess& operator=(const TChildProcess&) = delete;

  pid_t Pid() const { return FPid; }
  bool Started() const { return FPid > 0; }
  bool Running() {
    if (FPid <= 0 || FExited) return false;
    int status = 0;
    if (waitpid(FPid, &status, WNOHANG) == FPid) {
      FExited = true;
      FStatus = status;
      return false;
    }
    return true;
  }
  // Waits for the end; false (and the child killed) when it runs past `limit`.
  bool WaitFor(std::chrono::milliseconds limit) {
    const auto deadline = TClock::now() + limit;
    while (Running()) {
      if (TClock::now() > deadline) {
        kill(FPid, SIGKILL);
        waitpid(FPid, &FStatus, 0);
        FExited = true;
        FKilled = true;
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
  }
  bool Killed() const { return FKilled; }
  // The exit code of a child that ended by itself, -1 otherwise (a signal, still running).
  int ExitCode() const { return FExited && WIFEXITED(FStatus) ? WEXITSTATUS(FStatus) : -1; }
  int TermSignal() const { return FExited && WIFSIGNALED(FStatus) ? WTERMSIG(FStatus) : 0; }
  // Standard output (with standard error unless kept apart).
  std::string Output() const { return ReadFile(FOutput); }
  // Standard error when kept apart.
  std::string Errors() const { return ReadFile(FErrors); }
  // User plus system CPU time so far, in clock ticks (-1 when unreadable).
  long CpuTicks() const {
    std::ifstream in("/proc/" + std::to_string(FPid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t close = stat.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream fields(stat.substr(close + 2));
    std::string f;
    long utime = -1, stime = -1;
    // After the name: state is field 3; utime and stime are fields 14 and 15.
    for (int i = 3; i <= 15 && fields >> f; ++i) {
      if (i == 14) utime = std::stol(f);
      if (i == 15) stime = std::stol(f);
    }
    return utime < 0 || stime < 0 ? -1 : utime + stime;
  }

 private:
  static std::string TempFile() {
    char tmpl[] = "/tmp/child-output-XXXXXX";
    const int fd = mkstemp(tmpl);
    if (fd >= 0) close(fd);
    return tmpl;
  }
  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  pid_t FPid = -1;
  bool FExited = false, FKilled = false;
  int FStatus = 0;
  std::string FOutput, FErrors;
};
