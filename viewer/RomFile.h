#pragma once
// Binary file access for the ROM load: open an existing file for reading and writing, ask
// its size, read a block, close. Every step reports failure with an operating-system error
// code, which the load turns into an input/output error.
#include <array>
#include <cstddef>
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

// Rows of the lane table: addresses 0 to 2048; row 2048 is never written.
constexpr int kLaneRows = 2049;
constexpr int kLanes = 8;
// A lane value is all ones (-1) for a 1 bit and 0 for a 0 bit.
using TLaneTable = std::array<std::array<int32_t, kLanes>, kLaneRows>;

// Writes rows 0 to n-1 of `table` from the first n bytes of a ROM image (n = the smaller of
// `size` and 2048), lane k of row r from bit k of byte r; the other rows keep their values.
void SplitIntoLanes(const uint8_t* image, size_t size, TLaneTable& table);
