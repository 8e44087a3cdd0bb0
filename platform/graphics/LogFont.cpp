#include "platform/graphics/LogFont.h"

TLogFont DefaultGuiFont() { return TLogFont{}; }
