#pragma once
#include <string>
#include <vector>

#include "tools/skinart/Mask.h"
#include "tools/skinart/MaskPictures.h"

namespace SkinArt {

// A PNG of a window painted with the skin at two times its size: the masks laid over the
// form's texture the way the skin painters do, to judge the look.
void RenderPreview(const TPictures& pictures, const std::vector<TMask>& masks, const std::string& path);

}  // namespace SkinArt
