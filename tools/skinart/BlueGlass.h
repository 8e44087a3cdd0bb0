#pragma once
// The skin stored inside the program, "BlueGlass (internal)": light glassy blue.
#include <vector>

#include "tools/skinart/Section.h"
#include "tools/skinart/SkinColours.h"

namespace SkinArt {

inline const char* const kBlueGlassName = "BlueGlass (internal)";
inline const char* const kBlueGlassDescription = "Light glassy blue, carried inside the program";

TSkinColours BlueGlassColours();
// The sections in their stored order, ending with the blank item.
std::vector<TSection> BlueGlassSections();

}  // namespace SkinArt
