#pragma once
// Painters of the small pictures: title-bar buttons, check boxes and radio buttons, check
// marks, arrows, grips, track bar thumbs and ticks. Each draws in the colours it is given.
#include "tools/skinart/Layer.h"
#include "tools/skinart/SkinColours.h"

namespace SkinArt {

enum TTitleSymbol { tsNone, tsClose, tsMax, tsRestore, tsMin, tsHelp };
// A glass title button one pixel inside its frame, with a white symbol over a shadow; the
// close button turns red when hot.
TPainter TitleGlyph(const TSkinColours& c, TTitleSymbol symbol);

enum TCheckKind { ckUnchecked, ckChecked, ckGrayed };
// Boxes and circles 13 pixels across, centred on the height of the frame.
TPainter CheckBoxGlyph(const TSkinColours& c, TCheckKind kind);
TPainter RadioGlyph(const TSkinColours& c, TCheckKind kind);
// Small check boxes (menus) without a mask: 11 x 11 boxes in 12 x 12 frames.
TPainter SmallBoxGlyph(const TSkinColours& c, TCheckKind kind);
TPainter CheckMark(const TSkinColours& c);

// Size grip: six dots in a triangle at the bottom right, each with a light dot below it.
TPainter Grip(const TSkinColours& c);
// Arrow pointing right in a frame at least 5 wide and 8 high: columns of 8, 6, 4 and 2.
TPainter ArrowRight(const TSkinColours& c);
// Arrow pointing down, rows of 7, 5, 3 and 1 (combo boxes).
TPainter ComboArrow(const TSkinColours& c);
// Three ridges across a scroll thumb, each a dark line with a light one beside it.
TPainter ThumbRidges(const TSkinColours& c);
// Track bar thumb pointing down: a glass body with a pointed bottom.
TPainter TrackThumb(const TSkinColours& c);
// A tick mark: a dark column with a light one beside it.
TPainter Tick(const TSkinColours& c);

}  // namespace SkinArt
