#include "viewer/Readout.h"

#include <algorithm>
#include <cstdio>

#include "viewer/Maruk_rom.h"

TReadoutCell ReadoutCellAt(TPoint p, TSize size) {
  TReadoutCell cell;
  cell.Step = std::clamp(p.X, 0, std::max(int(size.cx) - 1, 0)) / 8;
  cell.Lane = std::clamp(p.Y / 16, 0, kLanes - 1);
  const int bottom = cell.Lane == kLanes - 1 ? int(size.cy) : 16 * (cell.Lane + 1);
  cell.Rect = TRect{8 * cell.Step, 16 * cell.Lane, std::min(8 * cell.Step + 8, int(size.cx)), bottom};
  return cell;
}

std::string ReadoutText(const TViewerState& state, int address, int lane, bool hex, const std::string& laneCaption) {
  if (state.RomImage.empty()) return "No ROM loaded";
  char text[64];
  std::snprintf(text, sizeof text, hex ? "Address %04X\n" : "Address %d\n", address);
  std::string result = text;
  const size_t shownBytes = std::min(state.RomImage.size(), size_t(kLaneRows - 1));
  if (address >= kLaneRows - 1) {
    result += "No byte: only the first 2048 bytes are shown\n";
  } else if (size_t(address) >= shownBytes) {
    result += "No byte: the file has " + std::to_string(state.RomImage.size()) + " bytes\n";
  } else {
    const unsigned byte = state.RomImage[size_t(address)];
    std::snprintf(text, sizeof text, "Byte 0x%02X = ", byte);
    result += text;
    for (int bit = 7; bit >= 0; --bit) {
      result += char('0' + ((byte >> bit) & 1));
      if (bit == 4) result += ' ';
    }
    result += '\n';
  }
  // The level as the picture draws it, from the lane table (low past its last row).
  const bool high = address >= 0 && address < kLaneRows && state.LaneTable[size_t(address)][size_t(lane)] != 0;
  result += laneCaption + (high ? ": 1 (high)" : ": 0 (low)");
  return result;
}
