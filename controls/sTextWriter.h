#pragma once
// What the skinned controls share for their captions: the skin text writer, which draws a
// caption in its section's font colour with the section's one-pixel contours, and the dotted
// focus frame drawn around a focused caption; and the plainer painter of the same look that
// the frame's caption, the menus and the hints write with.
#include <string>

#include "platform/widgets/Canvas.h"
#include "skin/data/sSkinData.h"
#include "skin/render/sCommonData.h"

// Writes `text` in `r` with the DrawText `format`, clipped to `r`, in the link's control's
// font. Without word wrapping `r` first becomes the text's own extent, placed by the horizontal
// alignment and centred vertically, grown by 1; the caller gets it back. Disabled text is
// engraved; with no active skin or no section it is drawn plainly; otherwise the section's
// contour colours (hot ones when `hot`) go first, one pixel to each side, then the text in the
// section's font colour, or in the control's own colour when the link has a custom font.
void WriteSkinText(TCanvas* canvas, const std::string& text, bool enabled, bool hot, TsCommonData* link,
                   unsigned format, TRect& r);

// A frame of single pixels three apart around `r` (its right and bottom edges included):
// black dots with white ones one pixel up and to the left, on the top and bottom rows and the
// left and right columns.
void DrawDottedFocusRect(TCanvas* canvas, const TRect& r);

// The skinned text painter: `text` placed in `r` by the format's horizontal alignment and
// centred vertically, drawn with the section's contour colours one pixel to their sides and
// then in its font colour (the hot ones when `hot`); engraved when not enabled; in
// `plainColour` without a section.
void DrawSkinnedText(HDC dc, const std::string& text, const TRect& r, unsigned format, const TsGeneralData* section,
                     bool hot, bool enabled, COLORREF plainColour);
