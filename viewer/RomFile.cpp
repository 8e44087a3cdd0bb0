#include "viewer/RomFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Error codes of the classic file functions for the operating system's errors.
int CodeForErrno(int e) {
  switch (e) {
    case ENOENT: return 2;
    case ENOTDIR: case ENAMETOOLONG: case EINVAL: return 3;
    case EMFILE: case ENFILE: return 4;
    case EACCES: case EPERM: case EROFS: case EISDIR: case ETXTBSY: return 5;
    case ENOSPC: return 101;
    default: return e > 0 ? e : 5;
  }
}
}  // namespace

std::string InOutErrorMessage(int code) {
  switch (code) {
    case 2: return "File not found";
    case 3: return "Invalid filename";
    case 4: return "Too many open files";
    case 5: return "File access denied";
    case 100: return "Read beyond end of file";
    case 101: return "Disk full";
    case 106: return "Invalid numeric input";
    default: return "I/O error " + std::to_string(code);
  }
}

EInOutError::EInOutError(int code) : std::runtime_error(InOutErrorMessage(code)), FErrorCode(code) {}

int TRomFile::Open(const std::string& name) {
  if (FFd >= 0) return 0;
  if (name.empty() || name.find('\0') != std::string::npos) return 2;
  // Opened without waiting (a pipe or a device may never answer) and without becoming anyone's
  // terminal; only a regular file is taken.
  const int fd = ::open(name.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return CodeForErrno(errno);
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return 5;
  }
  const int flags = fcntl(fd, F_GETFL);
  if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  FFd = fd;
  return 0;
}

int TRomFile::Size(uint64_t& size) {
  if (FFd < 0) return 103;  // file not open
  struct stat st;
  if (fstat(FFd, &st) != 0) return CodeForErrno(errno);
  size = uint64_t(st.st_size);
  return 0;
}

int TRomFile::Read(uint8_t* buffer, size_t count) {
  if (FFd < 0) return 103;
  size_t done = 0;
  while (done < count) {
    const ssize_t n = ::read(FFd, buffer + done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return CodeForErrno(errno);
    }
    if (n == 0) return 100;  // the file ended early (it shrank while being read)
    done += size_t(n);
  }
  return 0;
}

int TRomFile::Close() {
  if (FFd < 0) return 0;
  const int fd = FFd;
  FFd = -1;
  return ::close(fd) == 0 ? 0 : CodeForErrno(errno);
}

void SplitIntoLanes(const uint8_t* image, size_t size, TLaneTable& table) {
  const size_t n = size < size_t(kLaneRows - 1) ? size : size_t(kLaneRows - 1);
  for (size_t r = 0; r < n; ++r)
    for (int k = 0; k < kLanes; ++k) table[r][size_t(k)] = ((image[r] >> k) & 1) ? -1 : 0;
}
