#pragma once
// Writes a shipped skin's folder: its master bitmap, the separately carried big button, the
// JPEG background pattern and an Options.dat that uses every kind of mask value.
#include <string>
#include <vector>

#include "tools/skinart/FolderSkin.h"
#include "tools/skinart/Mask.h"
#include "tools/skinart/Section.h"

namespace SkinArt {

// The value of one mask in Options.dat. Every kind of value occurs: glyphs in "@" columns,
// borders whose widths are the default ones as "#(...)(...)", other borders in "^" columns,
// textures in "~" columns, the big button as "!" with its own file, and the backgrounds of
// the window and of dialogs as the JPEG pattern.
std::string MaskValue(const TMask& m);

// Options.dat of the skin: the internal skin's sections with their colours mapped, and the
// masks of each section.
std::string OptionsText(const TFolderSkin& skin, const std::vector<TSection>& sections, const std::vector<TMask>& masks);

// Draws and writes <root>/assets/skins/<Name>/ and says on standard output what it wrote.
void WriteFolderSkin(const std::string& root, const TFolderSkin& skin, const std::vector<TSection>& sections);

}  // namespace SkinArt
