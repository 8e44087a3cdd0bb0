#pragma once
// Binary file access for the ROM load: open an existing file for reading and writing, ask
// its size, read a block, close. Every step reports failure with an operating-system error
// code, which the load turns into an input/output error.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// An input/output error with the message for its code ("File not found" for 2, ...).
class EInOutError : public std::runtime_error {
 public:
  explicit EInOutError(int code);
  int ErrorCode() const { return FErrorCode; }

 private:
  int FErrorCode;
};

std::string InOutErrorMessage(int code);

class TRomFile {
 public:
  TRomFile() = default;
  ~TRomFile() { Close(); }
  TRomFile(const TRomFile&) = delete;
  TRomFile& operator=(const TRomFile&) = delete;

  bool IsOpen() const { return FFd >= 0; }
  // Each returns 0 on success or the error code; a failed step leaves the file as it was.
  // An existing regular file, read and write access; anything else (a folder, a pipe, a
  // device) is refused as "File access denied" without waiting on it.
  int Open(const std::string& name);
  int Size(uint64_t& size);
  int Read(uint8_t* buffer, size_t count);  // exactly count bytes, else 100
  int Close();

 private:
  int FFd = -1;
};
