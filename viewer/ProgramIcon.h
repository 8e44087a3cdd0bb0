#pragma once
// The program's own picture: a blue glass tile with a white square wave, in the look of the
// skin it carries. Drawn at any size; the corners outside the tile are the key colour 0xFF00FF.
#include "platform/graphics/Dib.h"

TDib ProgramIconPicture(int size);

// The picture as a 32-bit bitmap with transparency (B, G, R, alpha), for icons: sizes from 32 up
// are drawn four times larger and reduced, each pixel's colour averaged over its opaque samples
// and its opacity their share, so that the tile's rounded outline is smooth; smaller sizes keep
// the picture's own pixels, the key colour see-through.
TDib ProgramIconWithAlpha(int size);
