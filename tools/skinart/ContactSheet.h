#pragma once
#include <string>
#include <vector>

#include "tools/skinart/Mask.h"
#include "tools/skinart/MaskPictures.h"

namespace SkinArt {

// A PNG of every mask at four times its size, with its section and property below it.
void RenderContactSheet(const TPictures& pictures, const std::vector<TMask>& masks, const std::string& path);

}  // namespace SkinArt
