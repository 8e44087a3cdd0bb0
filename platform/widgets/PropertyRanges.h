#pragma once
// The ranges the toolkit's integer properties accept from a stored layout. Geometry stays
// within 16 bits so that sums of positions, sizes, borders and margins cannot overflow an int
// and painting loops stay bounded; properties without an entry here take the 32-bit range.
#include "platform/components/LayoutValue.h"

inline constexpr TIntRange kPositionRange{-32768, 32767};  // Left, Top
inline constexpr TIntRange kSizeRange{0, 32767};           // Width, Height, client sizes, BorderWidth
inline constexpr TIntRange kFontHeightRange{-1000, 1000};  // pixels; negative for the character height
inline constexpr TIntRange kFontSizeRange{-750, 750};      // points: 750 pt is 1000 pixels at 96 dpi
inline constexpr TIntRange kTabOrderRange{-1, 32767};
inline constexpr TIntRange kGlyphGapRange{-1, 32767};      // TBitBtn Margin and Spacing; -1 centres
inline constexpr TIntRange kNumGlyphsRange{1, 4};
inline constexpr TIntRange kUpDownRange{-32768, 32767};    // TUpDown Min, Max, Position, Increment
inline constexpr TIntRange kScrollRange{0, 32767};         // form scroll bar Range, Position, Margin
inline constexpr TIntRange kScrollIncrementRange{1, 32767};
inline constexpr TIntRange kByteRange{0, 255};             // Font.Charset, PasswordChar codes
inline constexpr TIntRange kShortCutRange{0, 65535};
