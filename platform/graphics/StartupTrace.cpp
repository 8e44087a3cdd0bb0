#include "platform/graphics/StartupTrace.h"

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

void TraceStartup(const char* reached) {
  // -1 not looked at yet, -2 off.
  static int fd = -1;
  if (fd == -1) {
    const char* path = std::getenv("MARUK_STARTUP_TRACE");
    fd = path && *path ? open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644) : -2;
    if (fd < 0) fd = -2;
  }
  if (fd < 0) return;
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  char line[160];
  const int n = std::snprintf(line, sizeof line, "%lld %s\n", static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec,
                              reached);
  if (n > 0) {
    [[maybe_unused]] const ssize_t written = write(fd, line, size_t(n < int(sizeof line) ? n : int(sizeof line) - 1));
  }
}
