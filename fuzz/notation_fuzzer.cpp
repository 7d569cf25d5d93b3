// Coordinate notations on any two texts: only conversion and overflow errors; what the reader
// gives is what the window's fields take (a decimal text ParseStrict reads, DMS texts "↓" reads),
// minutes and seconds stay below 60, and the longitude is never a latitude.
#include <cmath>

#include "core/angle_forms.h"
#include "core/errors.h"
#include "core/notation.h"
#include "fuzz/fuzz_input.h"

using namespace miralto;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto t = fuzz::Texts(data, size, 2);
  NotatedPosition position;
  try {
    ResolvePosition(t[0], t[1], position);
  } catch (const ConversionError&) {
    return 0;
  } catch (const OverflowError&) {
    return 0;
  }
  fuzz::Require(position.lon.hemisphere != Hemisphere::kLatitude);
  fuzz::Require(position.lat.hemisphere != Hemisphere::kLongitude);
  for (const Notation* n : {&position.lon, &position.lat}) {
    try {
      if (n->form == NotationForm::kDecimal) {
        ParseStrict(n->decimal);
      } else {
        fuzz::Require(std::fabs(ParseStrict(n->dms.minutes)) < 60);
        fuzz::Require(std::fabs(ParseStrict(n->dms.seconds)) < 60);
        DmsToDecimal(n->dms, "longitude");
      }
    } catch (const OverflowError&) {
      // A decimal beyond the double range is left for "↑", which reports it.
      fuzz::Require(n->form == NotationForm::kDecimal);
    }
  }
  return 0;
}
