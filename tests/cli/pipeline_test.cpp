#include "cli/pipeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace miralto::cli {
namespace {

struct Outcome {
  std::string output;
  bool ok = false;
};

Outcome ConvertAll(const Options& options, const std::string& input, unsigned threads,
                   std::size_t block_size = BlockReader::kBlockSize) {
  std::FILE* in = std::tmpfile();
  std::FILE* out = std::tmpfile();
  EXPECT_NE(in, nullptr);
  EXPECT_NE(out, nullptr);
  std::fwrite(input.data(), 1, input.size(), in);
  std::rewind(in);
  Outcome run;
  run.ok = ConvertStream(options, in, out, threads, block_size);
  run.output.resize(static_cast<std::size_t>(std::ftell(out)));
  std::rewind(out);
  run.output.resize(std::fread(run.output.data(), 1, run.output.size(), out));
  std::fclose(in);
  std::fclose(out);
  return run;
}

// A random line of the kind the command reads, or one of the faults a file holds.
std::string RandomLine(std::mt19937& random, Command command, bool csv) {
  const char separator = csv ? ',' : ' ';
  auto number = [&](double low, double high) {
    return std::to_string(std::uniform_real_distribution<double>(low, high)(random));
  };
  auto code = [&] {
    static constexpr std::string_view kDigits = "0123456789abcdefghijkmnpqrstuvwxyz";
    std::string text(1, "0123456789"[random() % 10]);
    for (int i = 0; i < 8; ++i) text += kDigits[random() % kDigits.size()];
    return text;
  };
  switch (random() % 14) {
    case 0:
      return "";
    case 1:
      return "  \t ";
    case 2:
      return "abc def";
    case 3:
      return "200" + std::string(1, separator) + "23.5";  // off a map
    case 4:
      return "113" + std::string(1, separator) + "# a comment, \"quoted";
    case 5:
      return csv ? "\"113.5,23\",7" : "113d17m20.24s 23.236255N";
    case 6:
      return "1";
    case 7:  // a record over three lines, with a doubled quote on the way
      if (csv) return "\"113.5\n\"\"23\n\",7";
      break;
    case 8:  // a stray quote in a field opens nothing
      if (csv) return "11\"3,23";
      break;
    default:
      break;
  }
  switch (command) {
    case Command::kDms:
    case Command::kEncode:
      return number(60, 150) + separator + number(-5, 80);
    case Command::kDd: {
      std::string line = std::to_string(random() % 180);
      for (int i = 0; i < 5; ++i) line += separator + std::to_string(random() % 70);
      return line;
    }
    case Command::kDecode:
      return code();
    case Command::kCompare:
      return code() + separator + code();
  }
  return {};
}

struct Input {
  Options options;
  std::string text;
};

Input RandomInput(std::mt19937& random, std::size_t lines) {
  static constexpr Command kCommands[] = {Command::kDms, Command::kDd, Command::kEncode,
                                          Command::kDecode, Command::kCompare};
  static constexpr Format kFormats[] = {Format::kText, Format::kGeoJson, Format::kKml,
                                        Format::kGpx};
  Input input;
  Options& o = input.options;
  o.command = kCommands[random() % std::size(kCommands)];
  o.dd = o.command == Command::kDecode && random() % 2 == 0;
  o.csv = random() % 3 == 0;
  o.to = o.command == Command::kCompare ? Format::kText : kFormats[random() % std::size(kFormats)];
  o.header = random() % 3 == 0;
  o.append = random() % 4 == 0;
  if (random() % 3 == 0) o.comment_delimiter = "#";
  if (random() % 4 == 0) o.corrections = {-193, 106};
  std::string& text = input.text;
  if (random() % 4 == 0) text += "\xEF\xBB\xBF";
  if (o.header) text += o.csv ? "lon,lat,place\n" : "lon lat place\n";
  const bool crlf = random() % 3 == 0;
  for (std::size_t i = 0; i < lines; ++i) {
    text += RandomLine(random, o.command, o.csv);
    text += crlf ? "\r\n" : "\n";
  }
  if (random() % 3 == 0 && !text.empty()) text.pop_back();  // no end on the last line
  return input;
}

// The output on several threads, in blocks of every size, is the output on one, byte for byte,
// and so is the outcome.
TEST(PipelineTest, ThreadsWriteWhatOneThreadWrites) {
  std::mt19937 random(20261210);
  constexpr std::size_t kBlockSizes[] = {1, 7, 64, 4096};
  for (int round = 0; round < 120; ++round) {
    const Input input = RandomInput(random, random() % 3 == 0 ? random() % 4 : 50 + random() % 400);
    const Outcome single = ConvertAll(input.options, input.text, 1);
    const unsigned threads = 2 + static_cast<unsigned>(random() % 3);
    const std::size_t block = kBlockSizes[random() % std::size(kBlockSizes)];
    const Outcome several = ConvertAll(input.options, input.text, threads, block);
    ASSERT_EQ(several.output, single.output)
        << "round " << round << ", " << threads << " threads, blocks of " << block << ", input:\n"
        << input.text;
    ASSERT_EQ(several.ok, single.ok) << "round " << round;
  }
}

// Fed in blocks of every size, as the browser page feeds it, the converter writes what the stream
// conversion writes.
TEST(PipelineTest, FeedingBlocksWritesWhatTheStreamWrites) {
  std::mt19937 random(20261211);
  for (int round = 0; round < 60; ++round) {
    const Input input = RandomInput(random, random() % 3 == 0 ? random() % 4 : 20 + random() % 100);
    const Outcome single = ConvertAll(input.options, input.text, 1);
    Converter converter(input.options);
    std::string output;
    converter.Begin(output);
    const std::size_t block = 1 + random() % 40;
    for (std::size_t at = 0; at < input.text.size(); at += block) {
      converter.Feed(std::string_view(input.text).substr(at, block), output);
    }
    const bool ok = converter.Finish(output);
    ASSERT_EQ(output, single.output) << "round " << round << ", blocks of " << block << ", input:\n"
                                     << input.text;
    ASSERT_EQ(ok, single.ok) << "round " << round;
  }
}

// A CSV record over several lines goes by its first line's number, and the lines after it keep
// theirs, on one thread, on several, and fed in blocks.
TEST(PipelineTest, CsvRecordsOverLinesKeepTheLineNumbers) {
  Options options;
  options.command = Command::kEncode;
  options.csv = true;
  const std::string text = "113.288959,23.236255\n\"x\ny\",1\n113.288959,23.236255\nbad\n\"open\n";
  const std::string want =
      "8i4k7zwpg\n"
      "ERROR: line 2: ";
  const Outcome single = ConvertAll(options, text, 1);
  EXPECT_FALSE(single.ok);
  EXPECT_EQ(single.output.substr(0, want.size()), want) << single.output;
  EXPECT_NE(single.output.find("\nERROR: line 5: "), std::string::npos) << single.output;
  EXPECT_NE(single.output.find("\nERROR: line 6: malformed CSV record"), std::string::npos)
      << single.output;
  EXPECT_EQ(std::count(single.output.begin(), single.output.end(), '\n'), 5) << single.output;
  for (const std::size_t block : {1, 5}) {
    EXPECT_EQ(ConvertAll(options, text, 3, block).output, single.output) << "blocks of " << block;
  }
  Converter converter(options);
  std::string fed;
  for (const char c : text) converter.Feed(std::string_view(&c, 1), fed);
  EXPECT_FALSE(converter.Finish(fed));
  EXPECT_EQ(fed, single.output);
}

// Many full blocks, as a file gives them, with a bad line far into the input.
TEST(PipelineTest, ALongFileKeepsItsLineNumbers) {
  Options options;
  options.command = Command::kDms;
  std::string text;
  for (int i = 0; i < 200000; ++i) text += i == 150000 ? "x 1\n" : "113.288959 23.236255\n";
  const Outcome single = ConvertAll(options, text, 1);
  const Outcome several = ConvertAll(options, text, 3);
  EXPECT_FALSE(several.ok);
  EXPECT_EQ(several.output, single.output);
  EXPECT_NE(several.output.find("\nERROR: line 150001: "), std::string::npos);
}

// A CSV header whose quoted name holds a line break names the columns of every block's records,
// not only of the first block's.
TEST(PipelineTest, AHeaderOverLinesNamesTheColumnsOfEveryBlock) {
  Options options;
  options.command = Command::kEncode;
  options.csv = true;
  options.header = true;
  options.columns = {2, 3};
  std::string text = "\xEF\xBB\xBF\"place\nname\",lon,lat\n";
  for (int i = 0; i < 40; ++i) text += "\"x\",113.288959,23.236255\n";
  for (const Format format : {Format::kGeoJson, Format::kKml, Format::kGpx}) {
    options.to = format;
    const Outcome single = ConvertAll(options, text, 1);
    ASSERT_TRUE(single.ok);
    for (const std::size_t block : {1, 64}) {
      EXPECT_EQ(ConvertAll(options, text, 3, block).output, single.output)
          << Info(format).name << ", blocks of " << block;
    }
  }
}

TEST(PipelineTest, AnEmptyInputIsAnEmptyDocument) {
  Options options;
  options.command = Command::kEncode;
  EXPECT_EQ(ConvertAll(options, "", 3).output, "");
  options.to = Format::kGeoJson;
  EXPECT_EQ(ConvertAll(options, "", 3).output, ConvertAll(options, "", 1).output);
}

#ifndef _WIN32
// A line is handed on as soon as it arrives; the writing end of the pipe stays open.
TEST(BlockReaderTest, ALineInAPipeIsHandedOnAtOnce) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  std::FILE* in = fdopen(ends[0], "rb");
  ASSERT_NE(in, nullptr);
  BlockReader reader(in, false);
  std::string block;
  ASSERT_EQ(write(ends[1], "113 23\n114 2", 12), 12);
  ASSERT_TRUE(reader.Next(block));
  EXPECT_EQ(block, "113 23\n");
  ASSERT_EQ(write(ends[1], "4\n", 2), 2);
  ASSERT_TRUE(reader.Next(block));
  EXPECT_EQ(block, "114 24\n");
  close(ends[1]);
  EXPECT_FALSE(reader.Next(block));
  std::fclose(in);
}
#endif

// In CSV a line end inside quotes never ends a block; the quote state runs across reads.
TEST(BlockReaderTest, CsvBlocksEndOutsideQuotes) {
  const std::string text = "a,\"b\nc\",d\n\"\"\"x\n\ny\"\n1,2\n";
  const std::size_t record_ends[] = {10, 19, 23};
  for (const std::size_t block_size : {1, 3, 16}) {
    std::FILE* in = std::tmpfile();
    ASSERT_NE(in, nullptr);
    std::fputs(text.c_str(), in);
    std::rewind(in);
    BlockReader reader(in, true, block_size);
    std::string joined;
    for (std::string block; reader.Next(block);) {
      joined += block;
      EXPECT_NE(std::find(std::begin(record_ends), std::end(record_ends), joined.size()),
                std::end(record_ends))
          << "a block ends at " << joined.size();
    }
    std::fclose(in);
    EXPECT_EQ(joined, text);
  }
}

}  // namespace
}  // namespace miralto::cli
