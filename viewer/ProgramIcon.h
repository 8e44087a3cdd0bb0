#pragma once
// The program's own picture: a blue glass tile with a white square wave, in the look of the
// skin it carries. Drawn at any size; the corners outside the tile are the key colour 0xFF00FF.
#include "platform/graphics/Dib.h"

TDib ProgramIconPicture(int size);
