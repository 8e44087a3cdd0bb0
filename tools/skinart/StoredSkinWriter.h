#pragma once
// Writes the internal skin: its pictures under assets/skin/ and its tables into the window's
// stored layout (assets/Maruk_rom.layout), between the lines "// skin begin" and
// "// skin end" inside the skin manager's object.
#include <string>
#include <vector>

#include "tools/skinart/Mask.h"
#include "tools/skinart/MaskPictures.h"
#include "tools/skinart/Section.h"

namespace SkinArt {

// The stored form of the skin, every line starting with `indent`.
std::string SkinLayoutText(const std::vector<TSection>& sections, const std::vector<TMask>& masks, const std::string& indent);

// The layout with the skin put between the two lines, which are added before the skin
// manager's SkinDirectory line the first time. Throws std::runtime_error for a layout that
// has no place for the skin.
std::string ReplaceSkinBlock(const std::string& layout, const std::vector<TSection>& sections, const std::vector<TMask>& masks);

// Draws and writes everything under `root`, says on standard output what it wrote, and
// returns the pictures as stored. Writes nothing when the layout cannot be read or has no
// place for the skin.
TPictures WriteStoredSkin(const std::string& root, const std::vector<TSection>& sections, const std::vector<TMask>& masks);

}  // namespace SkinArt
