// Coordinates as people write them: one field holds a decimal number or a degrees/minutes/seconds
// notation ("113°17′20.24″", "113d17m20.24s", "113:17.3373"), with an optional hemisphere letter
// before or after it ("E113°17′20.24″", "23.236255N"). The reader turns a field into what a careful
// user would type into the window: a decimal number for the decimal field, or the three texts for
// the degree/minute/second fields.
#pragma once

#include <string>
#include <string_view>

#include "core/position_code.h"

namespace miralto {

// Which quantity a hemisphere letter names: N and S a latitude, E and W a longitude.
enum class Hemisphere { kNone, kLatitude, kLongitude };

enum class NotationForm {
  kDecimal,  // a number in decimal degrees, for "↑"
  kDms,      // degrees, minutes and seconds texts, for "→" and "↓" directly
};

struct Notation {
  NotationForm form = NotationForm::kDecimal;
  std::string decimal;  // kDecimal: the number as ParseStrict reads it, sign applied ("-23.5")
  DmsTexts dms;         // kDms: the parts as written, each with the field's sign as "↑" gives
                        // signs ("-113", "-17", "-20.24"; a zero part stays unsigned); parts
                        // not written are "0"
  Hemisphere hemisphere = Hemisphere::kNone;
};

// Reads one field. Blanks (space, tab, no-break space) may stand between the parts, the sign and
// the letters. Accepted:
//   - a decimal number ("113.288959", "-23.5", "1.13e2"), also with a lone degree sign
//     ("113.2889°"): decimal form;
//   - degrees, minutes and seconds, each part a number followed by its symbol (° º d, ′ ' ’ m,
//     ″ " ” '' ′′ s), in that order, any of them left out, a last part without its symbol taking
//     the next one ("113°17′20.24"); or parts joined by colons ("113:17:20.24", "113:17.3373"):
//     DMS form;
//   - a hemisphere letter N, S, E or W (either case) before or after; S and W negate;
//   - a sign + or -, also the minus sign U+2212, before the first number.
// Throws ConversionError naming `field` and the text for anything else: an empty field, an unknown
// character, minutes or seconds of 60 or more, a fraction in a part that smaller parts follow, a
// minus sign together with S or W, two hemisphere letters. Throws OverflowError for a number beyond
// the double range. `out` keeps its buffers between calls.
void ReadNotation(std::string_view text, std::string_view field, Notation& out);

// A two-field record (LON LAT, or either order when hemisphere letters say which is which).
struct NotatedPosition {
  Notation lon;
  Notation lat;
};

// Reads both fields and decides which is the longitude: a field with a letter is the quantity its
// letter names and the other field is the other quantity; without letters the first field is the
// longitude. Throws ConversionError for two longitudes or two latitudes, and as ReadNotation.
void ResolvePosition(std::string_view first, std::string_view second, NotatedPosition& out,
                     std::string_view first_name = "field 1",
                     std::string_view second_name = "field 2");

}  // namespace miralto
