// Passage times in half-seconds, as the editor writes and reads them.
#include <gtest/gtest.h>

#include <string>

#include "model/times.h"

namespace orvu {
namespace {

TEST(TimeTextTest, WholeSecondsAndAHalf) {
  struct Case {
    int v;
    const char* text;
  } cases[] = {{0, "0"}, {1, "0,5"}, {7, "3,5"}, {10, "5"}, {127, "63,5"}};
  for (const Case& c : cases) EXPECT_EQ(TimeText(c.v), c.text) << c.v;
}

TEST(ParseTimeTest, ReadsTheEditorsField) {
  struct Case {
    const char* text;
    int v;
  } cases[] = {
      {"3,4", 6},     {"3,5", 7},      {"3,9", 7},   {"99", 127},   {"63,5", 127}, {"63,4", 126},
      {"3.5", 6},     {"", 0},         {"  5", 10},  {"\t2,5", 5},  {"+4", 8},     {"-3", 0},
      {"-0,5", 1},    {"0,5", 1},      {"3,", 6},    {"3,x", 6},    {"3,55", 7},   {"3, 5", 7},
      {",5", 0},      {"x3", 0},       {"-", 0},     {"- 3", 0},    {"3 ,5", 6},   {"7abc", 14},
      {"3,-5", 6},    {"12,5s", 25},
      {"99999999999999999999999999", 127}, {"-99999999999999999999999", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseTime(c.text), c.v) << '"' << c.text << '"';
}

TEST(ParseTimeTest, ReadsBackEveryTextItWrites) {
  for (int v = 0; v <= 127; ++v) EXPECT_EQ(ParseTime(TimeText(v)), v);
}

}  // namespace
}  // namespace orvu
