// Comparison of dotted version texts and the number conversion beneath it.
#include <gtest/gtest.h>

#include "install/version_probes.h"

namespace {

struct CompareRow {
  const char* first;
  const char* second;
  bool older;
};

void ExpectRows(const CompareRow* rows, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const CompareRow& row = rows[i];
    SCOPED_TRACE(std::string("\"") + row.first + "\" vs \"" + row.second + "\"");
    EXPECT_EQ(IsOlderVersion(row.first, row.second), row.older);
  }
}

TEST(IsOlderVersion, WorkedBehaviours) {
  const CompareRow rows[] = {
      {"1.2.10", "1.2.9", false},
      {"1.2.9", "1.2.10", true},
      {"1.0.1.0", "1.0.2.0", true},
      {"2.0.0.0", "10.0.0.0", true},
      {"1.0.1.0", "1.0.1.0", false},
      {"1.2", "1.3", true},
      {"5", "7", true},
      {"1.2.x.4", "1.2.3.4", true},
      {"1.2.3.4", "1.2.x.4", false},
      {"1.0.1.0 beta", "1.0.1.0", true},
      {"1.0.1.0", "1.0.1.0 ", false},
      {"1.2.3.4.5", "1.2.3.4.6", false},
      {" 1.0.1.0", "1.0.1.0", false},
  };
  ExpectRows(rows, std::size(rows));
}

TEST(IsOlderVersion, FirstDifferenceDecidesNumerically) {
  const CompareRow rows[] = {
      {"1.9.9.9", "2.0.0.0", true},   {"2.0.0.0", "1.9.9.9", false},
      {"1.2.3.4", "1.2.3.5", true},   {"1.2.3.5", "1.2.3.4", false},
      {"01.02", "1.2", false},        {"1.2", "01.02", false},
      {"-1.0", "0.0", true},          {"$A.0", "9.0", false},
  };
  ExpectRows(rows, std::size(rows));
}

TEST(IsOlderVersion, SecondTextIsConvertedFirst) {
  const CompareRow rows[] = {
      {"x.1", "y.1", false},   // both unconvertible in the first place
      {"1.x.1", "1.y.1", false},
      {"1.2.3.x", "1.2.3.y", false},
      {"1.2", "1.2.y", false},    // only the installed text fails
      {"1.2.y", "1.2", true},     // only the incoming text fails
  };
  ExpectRows(rows, std::size(rows));
}

// Texts of different lengths: a missing trailing component counts as 0.
TEST(IsOlderVersion, MissingTrailingComponentsCountAsZero) {
  const CompareRow rows[] = {
      {"1.0", "1.0.0", false},     {"1.0.0", "1.0", false},
      {"1.0", "1.0.1", true},      {"1.0.1", "1.0", false},
      {"1", "1.0.0.1", true},      {"1.0.0.1", "1", false},
      {"1", "1.0.0.0", false},     {"2", "1.9.9.9", false},
      {"1.9", "2.0.0.0", true},    {"1.2.3", "1.2.3.1", true},
      {"1.2.3.1", "1.2.3", false}, {"1.x", "1", true},
      {"1", "1.x", false},
  };
  ExpectRows(rows, std::size(rows));
}

TEST(IsOlderVersion, EmptyTextsAndEmptyComponents) {
  const CompareRow rows[] = {
      {"", "1.0.0.0", true},  // an incoming file without a version counts as older
      {"", "5", true},
      {"1.0.0.0", "", false},
      {"", "", false},
      {"1..2", "1.0.2", true},  // the empty component does not convert
      {"1.0.2", "1..2", false},
      {".5", "1", true},
  };
  ExpectRows(rows, std::size(rows));
}

struct ConvertRow {
  const char* text;
  bool converts;
  std::int32_t value;
};

TEST(TryStrToInt, AcceptedAndRefusedTexts) {
  const ConvertRow rows[] = {
      {"0", true, 0},
      {"12", true, 12},
      {"02", true, 2},
      {"   7", true, 7},
      {"+5", true, 5},
      {"-5", true, -5},
      {"  -0012", true, -12},
      {"2147483647", true, 2147483647},
      {"-2147483648", true, INT32_MIN},
      {"$1F", true, 31},
      {"$ff", true, 255},
      {"x10", true, 16},
      {"X10", true, 16},
      {"0x7FFFFFFF", true, 2147483647},
      {"0X1a", true, 26},
      {"-$10", true, -16},
      {"-0x80000000", true, INT32_MIN},
      {"", false, 0},
      {"   ", false, 0},
      {"+", false, 0},
      {"-", false, 0},
      {"+-1", false, 0},
      {"- 1", false, 0},
      {"12 ", false, 0},
      {"\t12", false, 0},
      {"12\t", false, 0},
      {"1a", false, 0},
      {"1.2", false, 0},
      {"2147483648", false, 0},
      {"-2147483649", false, 0},
      {"99999999999999999999", false, 0},
      {"$", false, 0},
      {"0x", false, 0},
      {"x", false, 0},
      {"$G", false, 0},
      {"$80000000", false, 0},  // range-checked, not wrapped to a negative number
      {"$FFFFFFFF", false, 0},
      {"0x 1", false, 0},
  };
  for (const ConvertRow& row : rows) {
    SCOPED_TRACE(std::string("\"") + row.text + "\"");
    std::int32_t value = 0x5EED;
    EXPECT_EQ(TryStrToInt(row.text, value), row.converts);
    EXPECT_EQ(value, row.converts ? row.value : 0x5EED);  // a failure leaves the value alone
  }
}

}  // namespace
