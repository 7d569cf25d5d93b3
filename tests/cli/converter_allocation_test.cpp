// The converter's hot path: once its buffers have grown, a record allocates nothing.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "cli/converter.h"

namespace {
std::atomic<long> allocations{0};
}  // namespace

void* operator new(std::size_t size) {
  ++allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace miralto::cli {
namespace {

struct HotPath {
  const char* name;
  Command command;
  bool csv;
  const char* records[3];
};

class AllocationTest : public ::testing::TestWithParam<HotPath> {};

TEST_P(AllocationTest, RecordsAllocateNothingOnceWarm) {
  const HotPath& path = GetParam();
  Options options;
  options.command = path.command;
  options.csv = path.csv;
  Converter converter(options);
  std::string out;
  for (const char* record : path.records) converter.ConvertLine(record, 1, out);  // warm up
  const long before = allocations.load();
  for (int i = 0; i < 1000; ++i) {
    for (const char* record : path.records) EXPECT_TRUE(converter.ConvertLine(record, i, out));
  }
  EXPECT_EQ(allocations.load() - before, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, AllocationTest,
    ::testing::Values(
        HotPath{"Dms",
                Command::kDms,
                false,
                {"113.288959 23.236255", "-113.5 77.1", "70.000001 5.999999"}},
        HotPath{"EncodeDecimal",
                Command::kEncode,
                false,
                {"113.288959 23.236255", "100.5 40.5", "70.000001 5.999999"}},
        HotPath{"EncodeDms",
                Command::kEncode,
                false,
                {"113 17 20.25 23 14 10.5", "105 0 0 40 0 0", "87 36 0 43 48 0"}},
        HotPath{"Decode", Command::kDecode, false, {"87ak7vtpg", "5zzzzzzzz", "700000000"}},
        HotPath{
            "EncodeNotations",
            Command::kEncode,
            false,
            {"113°17′20.24″ 23°14′10.52″", "23.236255N 113.288959E", "113:17:20.24 23:14:10.5N"}},
        HotPath{"CsvDms",
                Command::kDms,
                true,
                {"113.288959,23.236255", "\"-113.5\",77.1", "70.000001,5.999999"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace miralto::cli
