// GeoJSON in: a FeatureCollection of points, each converted as a LON LAT record.
#pragma once

#include <cstddef>
#include <cstdio>

#include "cli/converter.h"

namespace miralto::cli {

// The deepest nesting of objects and arrays in a feature (or another member of the collection).
inline constexpr std::size_t kMaxJsonNesting = 256;

// Reads a FeatureCollection from `in` and runs the command on every Point feature's coordinates
// (the numbers as written). The input is read feature by feature: memory follows the largest
// feature, not the file. With --to geojson writes the same collection, members and properties as
// written, each feature's properties holding this run's results (an "error" property where a
// feature is not a Point or its coordinates fail) in place of those of earlier runs (the result
// names and "error"); with --to text one line per feature. A UTF-8 byte-order mark before the
// collection is skipped; bytes of a string that are not UTF-8 are written as U+FFFD. A feature
// that is no object, which --to geojson writes as it is, is named on `messages` (if given) as
// "miralto-cli: feature N: ..." instead. Returns false if any feature failed; throws
// std::runtime_error for input that is not JSON (nesting deeper than kMaxJsonNesting included)
// or not a FeatureCollection, or when the output cannot be written; what was written before such
// a failure stays written.
bool ConvertGeoJson(const Options& options, std::FILE* in, std::FILE* out,
                    std::FILE* messages = nullptr);

}  // namespace miralto::cli
