#pragma once
// The readout under the pointer: what the timeline picture shows at one step and lane, as the
// hint over the picture says it.
#include <string>

#include "platform/graphics/Types.h"

struct TViewerState;

// The step and lane of a point of the picture (513 x 129): step 0 to 64 from the left in
// columns of 8 pixels, lane 0 to 7 from the top in bands of 16 (the last row belongs to lane 7).
struct TReadoutCell {
  int Step = 0;
  int Lane = 0;
  // The picture's pixels of that step and lane; the readout stays while the pointer is inside.
  TRect Rect;
};
TReadoutCell ReadoutCellAt(TPoint picturePoint, TSize pictureSize);

// The lines of the readout for `address` (the view position plus the step) and `lane`:
//   "Address 42" (or "Address 002A" in hex, as the address captions write it)
//   "Byte 0xA5 = 1010 0101" (or why the picture has no byte there)
//   "D2 FLD1: 1 (high)" with the lane's caption as the window shows it
// Before any ROM has been loaded only "No ROM loaded".
std::string ReadoutText(const TViewerState& state, int address, int lane, bool hex, const std::string& laneCaption);
