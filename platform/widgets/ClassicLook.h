#pragma once
// The classic 3-D look the standard controls share: edges, push-button faces, the dotted
// focus outline, check boxes, radio circles, etched frames, scroll arrows and embossed
// (disabled) text. Everything is drawn with the classic scheme's system colours on a device
// context and respects its clip.
#include <string_view>

#include "platform/graphics/DC.h"
#include "platform/graphics/Text.h"

// ---- DrawEdge -------------------------------------------------------------------------------
inline constexpr unsigned BDR_RAISEDOUTER = 0x0001, BDR_SUNKENOUTER = 0x0002, BDR_RAISEDINNER = 0x0004,
                          BDR_SUNKENINNER = 0x0008, BDR_OUTER = BDR_RAISEDOUTER | BDR_SUNKENOUTER,
                          BDR_INNER = BDR_RAISEDINNER | BDR_SUNKENINNER, BDR_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER,
                          BDR_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr unsigned EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER, EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
                          EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER, EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
inline constexpr unsigned BF_LEFT = 0x0001, BF_TOP = 0x0002, BF_RIGHT = 0x0004, BF_BOTTOM = 0x0008,
                          BF_TOPLEFT = BF_TOP | BF_LEFT, BF_TOPRIGHT = BF_TOP | BF_RIGHT,
                          BF_BOTTOMLEFT = BF_BOTTOM | BF_LEFT, BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT,
                          BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM, BF_DIAGONAL = 0x0010,
                          BF_MIDDLE = 0x0800, BF_SOFT = 0x1000, BF_ADJUST = 0x2000, BF_FLAT = 0x4000, BF_MONO = 0x8000;

// Draws up to two one-pixel edges (outer, then inner) on the sides named by `flags`. The
// top-left colour of an edge covers the top row and left column except their far ends; the
// bottom-right colour covers the rest. BF_MIDDLE fills what is left with the button face,
// BF_ADJUST returns the inside in `r`. Diagonal edges are not drawn (returns false).
bool DrawEdge(HDC dc, TRect* r, unsigned edge, unsigned flags);

// Inverts every other pixel of the rectangle's outline, starting with its top-left corner;
// drawing the same rectangle twice restores the pixels.
bool DrawFocusRect(HDC dc, const TRect* r);

// Fills `r` with a checkerboard: pixels whose x + y (logical) is even take `even`.
void FillDither(HDC dc, const TRect& r, COLORREF even, COLORREF odd);

// ---- Push buttons ---------------------------------------------------------------------------
inline constexpr unsigned pbPressed = 1, pbDefault = 2, pbDisabled = 4;
// Paints a push button over `r`: raised face; with pbDefault a black frame around it; when
// pressed a flat face inside a shadow line (or a sunken edge for a button without the frame).
// Returns the area left for the content; a pressed button's content is drawn one pixel
// lower and further right by the caller (ButtonContentOffset).
TRect DrawButtonFace(HDC dc, const TRect& r, unsigned state);
inline int ButtonContentOffset(unsigned state) { return (state & pbPressed) ? 1 : 0; }
// Where a focused push button's focus outline goes.
TRect ButtonFocusRect(const TRect& r);

// ---- Check boxes and radio buttons ----------------------------------------------------------
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
inline constexpr int kCheckBoxSize = 13;
inline constexpr int kRadioButtonSize = 12;
// A 13 x 13 sunken square with its top-left corner at (x, y): white inside (button face when
// pressed or disabled, dithered when grayed) and a black check mark (grey when disabled or
// grayed).
void DrawCheckBox(HDC dc, int x, int y, TCheckBoxState state, bool pressed, bool enabled);
// A 12 x 12 sunken circle with a black dot when checked.
void DrawRadioButton(HDC dc, int x, int y, bool checked, bool pressed, bool enabled);

// ---- Frames and lines -----------------------------------------------------------------------
// A grooved frame: a shadow outline with a highlight outline one pixel lower and right.
void DrawEtchedFrame(HDC dc, const TRect& r);
// A grooved horizontal line two pixels high from `left` up to `right` (exclusive).
void DrawEtchedLine(HDC dc, int left, int right, int y);

// ---- Scroll arrows --------------------------------------------------------------------------
enum TScrollArrow { saUp, saDown, saLeft, saRight };
// A scroll bar's arrow button over `r`.
void DrawScrollArrow(HDC dc, const TRect& r, TScrollArrow direction, bool pressed, bool enabled);
// A scroll bar's thumb over `r`.
void DrawScrollThumb(HDC dc, const TRect& r);
// A scroll bar's track (dithered highlight and face) over `r`; pressed parts are darker.
void DrawScrollTrack(HDC dc, const TRect& r, bool pressed);

// ---- Text -----------------------------------------------------------------------------------
// Draws text the disabled way: highlight one pixel lower and right, then shadow on top. Uses
// the context's font; the text colour and background mode are restored afterwards.
int DrawEmbossedText(HDC dc, std::string_view text, TRect r, unsigned format);
// True when `charCode` is the accelerator of `caption` (the character after a single '&',
// compared without regard to case).
bool IsAccel(unsigned charCode, std::string_view caption);
