#pragma once
#include <vector>

#include "tools/skinart/Mask.h"
#include "tools/skinart/SkinColours.h"

namespace SkinArt {

// The masks every skin draws, in their stored order: where each lies in the master bitmap
// and which painter draws it, in the colours given.
std::vector<TMask> Masks(const TSkinColours& c);

}  // namespace SkinArt
