#pragma once
// The program a start-up tool times: started with nothing on its standard streams, and ended
// politely (SIGTERM), then firmly when it does not go within two seconds.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

extern char** environ;

// Starts argv[0] (looked up in PATH) with `argv`; `start` is the moment just before the fork.
// Returns -1 when it could not be started.
inline pid_t StartQuiet(char** argv, std::chrono::steady_clock::time_point& start) {
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  start = std::chrono::steady_clock::now();
  const int failed = posix_spawnp(&pid, argv[0], &quiet, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&quiet);
  return failed ? -1 : pid;
}

inline void Stop(pid_t pid) {
  kill(pid, SIGTERM);
  for (int i = 0; i < 200; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}
