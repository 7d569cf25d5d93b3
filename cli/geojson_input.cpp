#include "geojson_input.h"

#include <nlohmann/json.hpp>

#include <stdexcept>
#include <string>

#include "errors.h"

namespace miralto::cli {

namespace {

// Keeps the members in the order the file has them, so the output reads like the input.
using Json = nlohmann::ordered_json;

std::string ReadAll(std::FILE* in) {
  std::string text;
  char block[1 << 16];
  for (std::size_t got; (got = std::fread(block, 1, sizeof block, in)) > 0;)
    text.append(block, got);
  if (std::ferror(in)) throw std::runtime_error("cannot read the input");
  return text;
}

// The feature's point as two number texts; throws ConversionError naming what is missing.
void PointOf(const Json& feature, std::string& lon, std::string& lat) {
  const Json* geometry = nullptr;
  if (feature.is_object() && feature.contains("geometry")) geometry = &feature["geometry"];
  if (geometry == nullptr || !geometry->is_object()) {
    throw ConversionError({MessageId::kNoGeometry, {}});
  }
  const auto type = geometry->find("type");
  if (type == geometry->end() || *type != "Point") {
    if (type == geometry->end()) throw ConversionError({MessageId::kGeometryWithoutType, {}});
    throw ConversionError({MessageId::kGeometryNotAPoint, {Argument::Text(type->dump())}});
  }
  const auto coordinates = geometry->find("coordinates");
  if (coordinates == geometry->end() || !coordinates->is_array() || coordinates->size() < 2 ||
      !(*coordinates)[0].is_number() || !(*coordinates)[1].is_number()) {
    throw ConversionError({MessageId::kPointWithoutCoordinates, {}});
  }
  lon = (*coordinates)[0].dump();
  lat = (*coordinates)[1].dump();
}

}  // namespace

bool ConvertGeoJson(const Options& options, std::FILE* in, std::FILE* out) {
  Json collection;
  try {
    collection = Json::parse(ReadAll(in));
  } catch (const Json::parse_error& error) {
    throw std::runtime_error(std::string("the input is not JSON: ") + error.what());
  }
  if (!collection.is_object() || collection.value("type", Json()) != "FeatureCollection" ||
      !collection.contains("features") || !collection["features"].is_array()) {
    throw std::runtime_error("the input is not a GeoJSON FeatureCollection");
  }

  Options text_options = options;
  text_options.to = Format::kText;
  Converter converter(text_options);
  const auto names = ResultNames(Info(options.command), options.dd);
  const bool geojson = options.to == Format::kGeoJson;
  // The text lines come from the text format's writer, failures included.
  const std::unique_ptr<Writer> text_writer = Info(Format::kText).make({' ', false});
  std::string output;
  bool all_ok = true;
  auto write = [&] {
    if (std::fwrite(output.data(), 1, output.size(), out) != output.size()) {
      throw std::runtime_error("cannot write the output");
    }
    output.clear();
  };

  if (geojson) {
    output += '{';
    for (const auto& [key, value] : collection.items()) {
      if (key == "features") continue;
      output += Json(key).dump();
      output += ':';
      output += value.dump();
      output += ',';
    }
    output += "\"features\":[";
  }
  std::string lon, lat;
  long number = 0;
  for (Json& feature : collection["features"]) {
    ++number;
    std::string problem;
    std::span<const std::string> results;
    try {
      PointOf(feature, lon, lat);
      const std::string_view fields[] = {lon, lat};
      results = converter.Convert(fields);
    } catch (const Error& error) {
      problem = error.Message();
      all_ok = false;
    }
    if (geojson) {
      if (feature.is_object()) {
        Json& properties = feature["properties"];
        if (!properties.is_object()) properties = Json::object();
        if (problem.empty()) {
          for (std::size_t i = 0; i < results.size(); ++i) properties[names[i]] = results[i];
        } else {
          properties[std::string(kErrorProperty)] = problem;
        }
      }
      output += number == 1 ? "\n" : ",\n";
      output += feature.dump();
    } else {
      RecordView view;
      view.number = number;
      view.unit = "feature";
      view.result_names = names;
      view.results = results;
      view.error = problem;
      text_writer->Record(view, output);
      output += '\n';
    }
    if (output.size() >= (1 << 16)) write();
  }
  if (geojson) output += "\n]}\n";
  write();
  if (std::fflush(out) != 0) throw std::runtime_error("cannot write the output");
  return all_ok;
}

}  // namespace miralto::cli
