// Colour strings and colour values, the category UIColor(Lumora).
//
// A colour string is "#" followed by hexadecimal RRGGBB, optionally followed by ":"
// and a decimal alpha: "#FF8000" is opaque orange, "#000000:0.00" transparent black.
// The keywords "none" and "dominant" are not colour strings.
#pragma once

#include <optional>

#include "runtime/runtime.h"

namespace lumora {

using rt::id;
using rt::Ref;

// The colour (a UIColor) that a colour string names, or nil: for nil, the empty text,
// any text whose first "#" is not its first character, and anything but a string. The hexadecimal
// number after the "#" is read as the host's scanner reads it (white space skipped, optional "0x",
// all 32 bits set on overflow, no short forms: "#fff" is 0x000FFF); red, green and blue
// are its bits 16-23, 8-15 and 0-7 over 255. The alpha is the text after the first ":"
// read as the host's `floatValue` reads it (0 when it is no number, not clamped), else 1.
Ref<> lumoraColorFromHexString(id text);

// The colour a colour setting's value gives: for "dominant" the dominant colour, at the
// alpha when one is given (nil without a dominant colour); for anything else the colour
// string's colour (nil for "none" and any other text).
Ref<> colourForSetting(id value, id dominant, std::optional<double> alpha = std::nullopt);

// The colour, or nil when it is nil or fully transparent. An icon of one colour has a
// clear dominant colour; painting text or a header with it would make them vanish, so the
// surfaces take such a colour as no colour and keep the host's own.
Ref<> visibleColour(id colour);

// (r x 299 + g x 587 + b x 114) / 1000 of the colour's components: 0 for black, 1 for
// white; alpha plays no part. 0 for nil.
double lumoraColorBrightness(id colour);

// YES when the brightness is below 0.6 (not 0.5). NO for nil, as a message to nil.
bool lumoraIsDarkColor(id colour);

}  // namespace lumora
