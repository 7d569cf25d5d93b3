// GeoJSON in: a FeatureCollection of points, each converted as a LON LAT record.
#pragma once

#include <cstdio>

#include "converter.h"

namespace miralto::cli {

// Reads a FeatureCollection from `in` and runs the command on every Point feature's coordinates.
// With --to geojson writes the same collection, each feature's properties holding the results
// (an "error" property where a feature is not a Point or its coordinates fail); with --to text
// one line per feature. Returns false if any feature failed; throws std::runtime_error for input
// that is not a FeatureCollection, or when the output cannot be written.
bool ConvertGeoJson(const Options& options, std::FILE* in, std::FILE* out);

}  // namespace miralto::cli
