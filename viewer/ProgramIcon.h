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

// ProgramIconWithAlpha(size) for 16 and 32 pixels as drawn when the program was built (the
// window manager's icons: drawing them at every start would cost a good share of it); other
// sizes are drawn now. Part of the program only (tools/program_icon --source writes it).
TDib StoredProgramIcon(int size);
