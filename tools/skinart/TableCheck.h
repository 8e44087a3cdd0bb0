#pragma once
#include <vector>

#include "tools/skinart/Mask.h"
#include "tools/skinart/Section.h"

namespace SkinArt {

// The tables must keep the shape the skin engine expects: the section list, the number of
// masks of each kind, rectangles inside their picture, and no two masks on one area unless
// they are the same picture. Throws std::runtime_error saying what is wrong.
void CheckTables(const std::vector<TSection>& sections, const std::vector<TMask>& masks);

}  // namespace SkinArt
