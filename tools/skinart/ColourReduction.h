#pragma once
// Brings a drawn picture down to the 256 colours of an 8-bit stored picture.
#include <cstddef>

#include "platform/graphics/Dib.h"

namespace SkinArt {

// Median cut over the colours that are free to move; the key colour and the mask greys are
// kept exactly. The result has at most 256 colours, so writing it with 8 bits loses nothing
// more. A picture of 256 colours or fewer comes back as it is.
TDib ReduceColours(const TDib& picture);

// Reduced and palettised, with a full table of 256 colours as the stored pictures carry.
TDib Palettised(const TDib& picture);

size_t DistinctColours(const TDib& picture);

}  // namespace SkinArt
