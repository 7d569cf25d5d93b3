#include "cli/converter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "cli/pipeline.h"
#include "tests/vectors.h"

namespace miralto::cli {
namespace {

using testing::Vector;

// The record as a CSV line, every field quoted so that blanks and commas stay in it.
std::string CsvRecord(const Vector& v, std::size_t first, std::size_t count) {
  std::string line;
  for (std::size_t i = first; i < first + count; ++i) {
    if (i > first) line += ',';
    line += '"';
    for (char c : v[i]) line += c == '"' ? std::string("\"\"") : std::string(1, c);
    line += '"';
  }
  return line;
}

// What the converter writes for an expected table result: the texts joined by commas, or the
// error line of that kind.
std::string ExpectedLine(const Vector& v, std::size_t first) {
  const std::string& head = v[first];
  if (head.rfind("error:", 0) == 0) return "ERROR: line 1: " + head.substr(6) + ":";
  std::string line = head;
  for (std::size_t i = first + 1; i < v.fields.size(); ++i) line += "," + v[i];
  return line;
}

// The window's own reading of decimal fields: the vectors hold texts such as "abc" that "↑" reads
// as 0.
Options With(Command command, Corrections corrections = {}, bool dd = false) {
  Options options;
  options.command = command;
  options.lenient = true;
  options.corrections = corrections;
  options.dd = dd;
  return options;
}

std::string Convert(Options options, const std::string& record) {
  options.csv = true;
  Converter converter(options);
  std::string out;
  converter.ConvertLine(record, 1, out);
  return out;
}

void ExpectSameAsTable(const std::string& actual, const std::string& expected) {
  if (expected.rfind("ERROR:", 0) == 0) {
    EXPECT_EQ(actual.substr(0, expected.size()), expected) << actual;
  } else {
    EXPECT_EQ(actual, expected);
  }
}

Corrections CorrectionsOf(const Vector& v, std::size_t first) {
  return {static_cast<Long>(std::stol(v[first])), static_cast<Long>(std::stol(v[first + 1]))};
}

// The converter gives the same texts as the window's operations, on the core's own vectors.
class EncodeVectors : public ::testing::TestWithParam<Vector> {};
TEST_P(EncodeVectors, SameAsTheWindow) {
  const Vector& v = GetParam();
  ExpectSameAsTable(Convert(With(Command::kEncode, CorrectionsOf(v, 6)), CsvRecord(v, 0, 6)),
                    ExpectedLine(v, 8));
}
INSTANTIATE_TEST_SUITE_P(Vectors, EncodeVectors,
                         ::testing::ValuesIn(testing::ReadVectors("encode.csv")));

class DecodeVectors : public ::testing::TestWithParam<Vector> {};
TEST_P(DecodeVectors, SameAsTheWindow) {
  const Vector& v = GetParam();
  ExpectSameAsTable(Convert(With(Command::kDecode, CorrectionsOf(v, 1)), CsvRecord(v, 0, 1)),
                    ExpectedLine(v, 3));
}
INSTANTIATE_TEST_SUITE_P(Vectors, DecodeVectors,
                         ::testing::ValuesIn(testing::ReadVectors("decode.csv")));

class CompareVectors : public ::testing::TestWithParam<Vector> {};
TEST_P(CompareVectors, SameAsTheWindowWithLongitudeFirst) {
  const Vector& v = GetParam();
  std::string expected = ExpectedLine(v, 2);
  if (v.fields.size() == 4) expected = v[3] + "," + v[2];
  ExpectSameAsTable(Convert(With(Command::kCompare), CsvRecord(v, 0, 2)), expected);
}
INSTANTIATE_TEST_SUITE_P(Vectors, CompareVectors,
                         ::testing::ValuesIn(testing::ReadVectors("compare.csv")));

class DmsVectors : public ::testing::TestWithParam<Vector> {};
TEST_P(DmsVectors, SameAsTheWindowForBothQuantities) {
  const Vector& v = GetParam();
  std::string expected = ExpectedLine(v, 1);
  if (v.fields.size() == 4) expected += "," + expected;
  Vector twice = v;
  twice.fields = {v[0], v[0]};
  ExpectSameAsTable(Convert(With(Command::kDms), CsvRecord(twice, 0, 2)), expected);
}
INSTANTIATE_TEST_SUITE_P(Vectors, DmsVectors,
                         ::testing::ValuesIn(testing::ReadVectors("decimal_to_dms.csv")));

class DdVectors : public ::testing::TestWithParam<Vector> {};
TEST_P(DdVectors, SameAsTheWindowForBothQuantities) {
  const Vector& v = GetParam();
  std::string expected = ExpectedLine(v, 3);
  if (expected.rfind("ERROR:", 0) != 0) expected += "," + expected;
  Vector twice = v;
  twice.fields = {v[0], v[1], v[2], v[0], v[1], v[2]};
  ExpectSameAsTable(Convert(With(Command::kDd), CsvRecord(twice, 0, 6)), expected);
}
INSTANTIATE_TEST_SUITE_P(Vectors, DdVectors,
                         ::testing::ValuesIn(testing::ReadVectors("dms_to_decimal.csv")));

TEST(ConverterTest, EncodeTakesDecimalDegreesThroughTheDegreeFields) {
  EXPECT_EQ(Convert(With(Command::kEncode), "113.288959,23.236255"), "8i4k7zwpg");
  EXPECT_EQ(Convert(With(Command::kDecode, {}, true), "8i4k7zwpg"), "113.288944444444,23.23625");
}

TEST(ConverterTest, CsvFieldsKeepTheirBlanksAndMalformedRecordsFail) {
  // A blank in a field is a conversion error for the strict parse, as in the window.
  EXPECT_EQ(Convert(With(Command::kDd), "113, 17 ,20.2524,23,14,10.52032").substr(0, 36),
            "113.288959,23.2362556444444");
  EXPECT_EQ(Convert(With(Command::kDd), "\"113,5\",0,0,23,0,0").substr(0, 32),
            "ERROR: line 1: conversion error:");
  EXPECT_EQ(Convert(With(Command::kDecode), "\"87ak7vtpg").substr(0, 35),
            "ERROR: line 1: malformed CSV record");
  // The parser is ready for the next record after a malformed one.
  Options options = With(Command::kDecode);
  options.csv = true;
  Converter converter(options);
  std::string out;
  EXPECT_FALSE(converter.ConvertLine("\"87ak7vtpg", 1, out));
  EXPECT_TRUE(converter.ConvertLine("87ak7vtpg", 2, out));
  EXPECT_EQ(out, "113,17,39.5,23,13,59.9");
}

class LongLineTest : public ::testing::TestWithParam<unsigned> {};
TEST_P(LongLineTest, ATenMegabyteLineIsAClearError) {
  std::FILE* in = std::tmpfile();
  std::FILE* out = std::tmpfile();
  ASSERT_NE(in, nullptr);
  ASSERT_NE(out, nullptr);
  const std::string line(10 << 20, '7');
  std::fwrite(line.data(), 1, line.size(), in);
  std::fputs("\n87ak7vtpg\n", in);
  std::rewind(in);
  EXPECT_FALSE(ConvertStream(With(Command::kDecode), in, out, GetParam()));
  std::rewind(out);
  char buffer[512] = {};
  ASSERT_NE(std::fgets(buffer, sizeof buffer, out), nullptr);
  EXPECT_EQ(std::string(buffer),
            "ERROR: line 1: invalid position code: the code \"" + std::string(40, '7') +
                "\"... (10485760 characters) has 10485760 characters; a position code has 9\n");
  ASSERT_NE(std::fgets(buffer, sizeof buffer, out), nullptr);
  EXPECT_EQ(std::string(buffer), "113 17 39.5 23 13 59.9\n");
  std::fclose(in);
  std::fclose(out);
}
INSTANTIATE_TEST_SUITE_P(Threads, LongLineTest, ::testing::Values(1u, 2u));

// A stream of more than 2^31 - 1 lines (a few gigabytes) goes on counting its lines, on every
// system, whatever the width of its long.
TEST(ConverterTest, LineNumbersGoPastTwoToTheThirtyFirst) {
  Converter converter(With(Command::kDms));
  LineNumber number = 2147483646;
  std::string out;
  EXPECT_FALSE(converter.ConvertLines("113 23\nx\n", number, out));
  EXPECT_EQ(number, 2147483648);
  EXPECT_EQ(out,
            "113 0 0 23 0 0\nERROR: line 2147483648: wrong number of fields: expected 2 (LON LAT), "
            "found 1\n");
}

// Texts that a map format must escape, and bytes that are not UTF-8 (a Latin-1 file).
TEST(MapTextTest, EscapesWhatJsonAndXmlCannotHoldAsItIs) {
  struct Case {
    std::string_view text, json, xml;
  };
  const Case cases[] = {
      {"Tower \"A\" & <B>", R"("Tower \"A\" & <B>")", "Tower &quot;A&quot; &amp; &lt;B&gt;"},
      {"\u5e7f\u5dde\u5854", "\"\u5e7f\u5dde\u5854\"", "\u5e7f\u5dde\u5854"},
      {"a\\b\tc", R"("a\\b\u0009c")", "a\\b\tc"},
      {"x\x01y", R"("x\u0001y")", "x\uFFFDy"},
      {"caf\xE9", "\"caf\uFFFD\"", "caf\uFFFD"},                         // a lone Latin-1 byte
      {"\xED\xA0\x80", "\"\uFFFD\uFFFD\uFFFD\"", "\uFFFD\uFFFD\uFFFD"},  // a surrogate
  };
  for (const Case& c : cases) {
    std::string json, xml;
    AppendJsonString(json, c.text);
    AppendXmlText(xml, c.text);
    EXPECT_EQ(json, c.json) << c.text;
    EXPECT_EQ(xml, c.xml) << c.text;
  }
}

// The stream's output on one thread; on several it must be the same.
std::string ConvertAll(Options options, const std::string& input) {
  std::string outputs[2];
  const unsigned threads[2] = {1, std::max(2u, AvailableCores())};
  for (int i = 0; i < 2; ++i) {
    std::FILE* in = std::tmpfile();
    std::FILE* out = std::tmpfile();
    std::fwrite(input.data(), 1, input.size(), in);
    std::rewind(in);
    ConvertStream(options, in, out, threads[i]);
    std::string& text = outputs[i];
    text.resize(static_cast<std::size_t>(std::ftell(out)));
    std::rewind(out);
    text.resize(std::fread(text.data(), 1, text.size(), out));
    std::fclose(in);
    std::fclose(out);
  }
  EXPECT_EQ(outputs[1], outputs[0]) << "on " << threads[1] << " threads";
  return outputs[0];
}

TEST(MapOutputTest, HeaderNamesThatClashGiveWayToTheColumnNumber) {
  Options options = With(Command::kDd);
  options.lenient = false;
  options.to = Format::kGeoJson;
  options.csv = true;
  options.header = true;
  options.columns = {1, 2};
  const std::string out = ConvertAll(options, "lon,,place,place,error\n113:17:20.24,23.5N,a,b,c\n");
  // "lon" is a result name, the second column has no name, "place" is taken, "error" is reserved.
  EXPECT_NE(out.find(R"("properties":{"column 1":"113:17:20.24","column 2":"23.5N","place":"a",)"
                     R"("column 4":"b","column 5":"c","lon":"113.288955555556","lat":"23.5"})"),
            std::string::npos)
      << out;
}

TEST(MapOutputTest, APointAMapCannotShowIsABadRecord) {
  Options options = With(Command::kDms);
  options.lenient = false;
  for (const Format format : {Format::kGeoJson, Format::kGpx}) {
    options.to = format;
    Converter converter(options);
    std::string out;
    EXPECT_FALSE(converter.ConvertLine("200 23.5", 7, out));
    EXPECT_NE(out.find("line 7: out of reach: the point 200, 23.5 lies outside"), std::string::npos)
        << out;
    // Text has no map: the window's result stands.
    EXPECT_TRUE(Converter(With(Command::kDms)).ConvertLine("200 23.5", 7, out));
  }
}

TEST(MapOutputTest, XmlFormatsWriteCoordinatesWithoutAnExponent) {
  Options options = With(Command::kDd);
  options.to = Format::kGpx;
  Converter converter(options);
  std::string out;
  ASSERT_TRUE(converter.ConvertLine("0 0 0.0036 0 0 -0.0036", 1, out));
  EXPECT_NE(out.find(R"(<wpt lat="-0.000001" lon="0.000001">)"), std::string::npos) << out;
}

TEST(MapOutputTest, AnEmptyCollectionIsStillADocument) {
  Options options = With(Command::kEncode);
  options.to = Format::kGeoJson;
  EXPECT_EQ(ConvertAll(options, "\n\n"), "{\"type\":\"FeatureCollection\",\"features\":[\n]}\n");
}

}  // namespace
}  // namespace miralto::cli
