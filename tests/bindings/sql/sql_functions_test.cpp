#include "bindings/sql/sql_functions.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace miralto::sql {
namespace {

using batch::Field;
using batch::FieldKind;

Field Text(std::string_view text) { return {FieldKind::kText, 0, text}; }
Field Number(double number) { return {FieldKind::kNumber, number, {}}; }

TEST(SqlFunctionsTest, EveryRowNamesABatchOperationAndIsFoundByItsName) {
  std::set<std::string_view> names;
  for (const Function& f : kFunctions) {
    EXPECT_NE(batch::FindElementOperation(f.operation), nullptr) << f.name;
    EXPECT_TRUE(names.insert(f.name).second) << "twice: " << f.name;
    EXPECT_EQ(FindFunction(f.name), &f);
  }
  EXPECT_EQ(FindFunction("vemo_nothing"), nullptr);
}

// Each shape against the batch operation's own results for the same element.
TEST(SqlFunctionsTest, ShapesPickOrJoinTheOperationsResults) {
  const Field code[] = {Text("8i4k7zwpg")};
  batch::Results decoded;
  batch::FindElementOperation("decode_dd")->run(code, {}, decoded);
  batch::Results dms;
  batch::FindElementOperation("decode")->run(code, {}, dms);

  const Value lon = Call(*FindFunction("vemo_lon"), code);
  const Value lat = Call(*FindFunction("vemo_lat"), code);
  ASSERT_EQ(lon.type, Value::Type::kNumber);
  EXPECT_EQ(lon.number, decoded.numbers[0]);
  EXPECT_EQ(lat.number, decoded.numbers[1]);
  const Value joined = Call(*FindFunction("vemo_dms"), code);
  ASSERT_EQ(joined.type, Value::Type::kText);
  EXPECT_EQ(joined.text, dms.texts[0] + " " + dms.texts[1] + " " + dms.texts[2] + " " +
                             dms.texts[3] + " " + dms.texts[4] + " " + dms.texts[5]);

  const Field pair[] = {Text("8i4k7zwpg"), Text("8i4k7zwph")};
  const Value difference = Call(*FindFunction("vemo_compare_lat"), pair);
  EXPECT_EQ(difference.type, Value::Type::kInteger);
}

// Corrections come after the operation's own arguments, as a number or a text, read as the
// window reads its correction fields.
TEST(SqlFunctionsTest, TrailingArgumentsAreTheCorrections) {
  const Function& encode = *FindFunction("vemo_encode");
  const Field plain[] = {Number(113.288959), Number(23.236255)};
  EXPECT_EQ(Call(encode, plain).text, "8i4k7zwpg");
  const Field corrected[] = {Number(113.288959), Number(23.236255), Text("-193"), Number(106)};
  EXPECT_EQ(Call(encode, corrected).text, "87ak7vtpg");
}

TEST(SqlFunctionsTest, AMissingArgumentGivesNullAndTooFewAreRefused) {
  const Function& encode = *FindFunction("vemo_encode");
  const Field missing[] = {Number(113.288959), Field{}};
  EXPECT_EQ(Call(encode, missing).type, Value::Type::kNull);
  const Field one[] = {Number(113.288959)};
  EXPECT_THROW(Call(encode, one), std::invalid_argument);
  const Field bad[] = {Text("x"), Number(23)};
  EXPECT_THROW(Call(encode, bad), Error);
}

}  // namespace
}  // namespace miralto::sql
