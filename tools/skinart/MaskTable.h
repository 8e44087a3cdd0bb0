#pragma once
#include <vector>

#include "tools/skinart/Mask.h"
#include "tools/skinart/SkinColours.h"

namespace SkinArt {

// The masks every skin draws, in their stored order: where each lies in the master bitmap
// and which painter draws it, in the colours given. The stored skin's restore glyph is its
// maximise glyph (both masks name one place); a folder skin draws a restore glyph of its own
// in a strip below.
std::vector<TMask> Masks(const TSkinColours& c, bool ownRestoreGlyph = false);
// The height of the master bitmap these masks lie in.
int MasterHeight(const std::vector<TMask>& masks);

}  // namespace SkinArt
