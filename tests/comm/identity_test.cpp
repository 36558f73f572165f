#include "comm/identity.h"

#include <gtest/gtest.h>

#include "comm/cp1250.h"

namespace orvu {
namespace {

constexpr uint32_t Id(unsigned type, unsigned serial, unsigned upper = 0) {
  return upper << 26 | type << 16 | serial;
}

TEST(DevName, ClassLetterModelAndSerial) {
  const struct {
    uint32_t id;
    const char* name;
  } rows[] = {
      {Id(1, 42), "R01_00042"},
      {Id(912, 1), "?12_00001"},          // class 9: no letter of its own
      {Id(1023, 65535), "?23_65535"},     // largest type code and serial
      {Id(346, 125), "K46_00125"},        // the controller this tool serves
      {Id(546, 7), "K46_00007"},          // the keypad shares the letter K
      {Id(717, 3), "D17_00003"},          // elevator module
      {Id(0, 0), "R00_00000"},
      {Id(1, 42, 0x3F), "R01_00042"},     // suffix and network marker bits are not part of the name
      {Id(346, 125, 0x2 << 2 | 3), "K46_00125"},
  };
  for (const auto& row : rows) EXPECT_EQ(DevName(row.id), row.name) << std::hex << row.id;
}

TEST(ClassLetter, TableByClass) {
  const std::string letters = "RTZKCKFD???";
  for (unsigned cls = 0; cls < letters.size(); ++cls) EXPECT_EQ(ClassLetter(cls), letters[cls]) << cls;
  EXPECT_EQ(ClassLetter(11), '?');
}

// The leading spaces are part of the names: they right-align the device list.
TEST(TypeName, ExactNamesWithTheirSpaces) {
  const char* const names[] = {"    Czytnik", "  Terminal", "      Zamek",  " Kontroler",
                               "Ctr",         " Klawiatura", " Interfejs", "      Moduł"};
  for (unsigned cls = 0; cls < 8; ++cls) EXPECT_EQ(TypeName(cls), Cp1250FromUtf8(names[cls])) << cls;
  EXPECT_EQ(TypeName(7), "      Modu\xB3");  // one byte per letter in Windows-1250
  for (unsigned cls : {8u, 9u, 10u, 11u}) EXPECT_EQ(TypeName(cls), "Nieznany typ") << cls;
}

TEST(Identity, FieldsAndFilter) {
  const uint32_t id = 0x2u << 28 | 2u << 26 | 346u << 16 | 125;
  EXPECT_EQ(Serial(id), 125u);
  EXPECT_EQ(TypeCode(id), 346u);
  EXPECT_EQ(SuffixIndex(id), 2u);
  EXPECT_TRUE(IsController(id));
  EXPECT_TRUE(PassesDiscoveryFilter(id));
  EXPECT_FALSE(PassesDiscoveryFilter(0x3u << 28 | 346u << 16));  // wrong network marker
  EXPECT_FALSE(PassesDiscoveryFilter(0x2u << 28 | 345u << 16));  // another controller model
  EXPECT_EQ(OrderingKey(id), 346u << 16 | 125);  // suffix bits do not order
}

}  // namespace
}  // namespace orvu
