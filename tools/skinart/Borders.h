#pragma once
// Painters of the borders that the skin engine stretches in nine parts: column headers,
// fields, grooves, etched frames, menu items, popup and window frames, flat panels and the
// track bar's channel. Each draws in the colours it is given.
#include "tools/skinart/Layer.h"
#include "tools/skinart/SkinColours.h"

namespace SkinArt {

// Column header: square, white to light blue, a line at the bottom and a separator right.
TPainter Header(const TSkinColours& c);
// Entry fields: a thin outline with rounded corners and nothing inside, so the section's
// own colour shows; the hot state adds a glow inside the outline.
TPainter Field(const TSkinColours& c);
// A groove: scroll bar tracks, progress bars, gauges. Inside stays clear.
TPainter Groove(const TSkinColours& c);
// Two lines around a clear inside: an outline and a light line within it.
TPainter Etched(const TSkinColours& c, TRgb outline, float radius, float shine = 0.75f, float outlineOpacity = 1);
// Menu item: nothing in the normal state, a rounded frame when selected.
TPainter MenuItemFrame(const TSkinColours& c);
// Popup menus and dialogs: a dark outline, a light line and a pale line inside.
TPainter PopupFrame(const TSkinColours& c);
// Window frame (no mask: corners keyed, edges copied): four rings of 1 pixel, rounded
// corners of radius 4 at the top and 2 at the bottom, the form's colour inside.
TPainter FormFrame(const TSkinColours& c);
// Title band: the frame's rings along the top and the sides (the bottom is open), a glossy
// line under the top, and a thin separator at the bottom. The inside stays clear so that the
// title's gradient shows.
TPainter TitleBand(const TSkinColours& c);

// Flat borders without a mask: one outline of 1 pixel with soft rounded corners and a line
// within it; the inside is the section's colour.
enum TPanelKind { pkRaised, pkLowered, pkPage };
TPainter Panel(const TSkinColours& c, TPanelKind kind, TRgb fill);

// Track bar channel: a sunken groove, dark along the top, light along the bottom.
TPainter TrackChannel(const TSkinColours& c);

}  // namespace SkinArt
