#include "history/ContactID.h"

#include <gtest/gtest.h>

#include "base/Cp1251.h"

namespace zorvan {
namespace {

TEST(ContactID, SplitsTheSixteenDigitsIntoFields) {
  const TContactID id("0457181130010018");
  EXPECT_EQ(id.Text(), "0457181130010018");
  EXPECT_EQ(id.Account(), "0457");
  EXPECT_EQ(id.Qualifier(), '1');
  EXPECT_EQ(id.EventCode(), "130");
  EXPECT_EQ(id.PartitionDigits(), "01");
  EXPECT_EQ(id.Partition(), 1);
  EXPECT_EQ(id.Zone(), "001");
  EXPECT_EQ(id.QualifierText(), W("Тревога"));

  TContactID other;
  other.SetText("1234183401AB0157");
  EXPECT_EQ(other.Qualifier(), '3');
  EXPECT_EQ(other.QualifierText(), W("Восстановление"));
  EXPECT_EQ(other.EventCode(), "401");
  EXPECT_EQ(other.Partition(), 0xAB);
  EXPECT_EQ(other.Zone(), "015");
}

TEST(ContactID, QualifierOtherThanOneOrThreeShowsNothing) {
  for (const char* text : {"0457186130010018", "0457180130010018", "0457"})
    EXPECT_EQ(TContactID(text).QualifierText(), "") << text;
}

TEST(ContactID, PartitionDigitsReadAsHexadecimal) {
  const struct {
    const char* digits;
    int value;
  } cases[] = {{"01", 1}, {"0A", 10}, {"10", 16}, {"FF", 255}, {"0a", 10}, {"G1", -1}, {" 1", -1}};
  for (const auto& c : cases) {
    const TContactID id(std::string("0457181130") + c.digits + "0018");
    EXPECT_EQ(id.Partition(), c.value) << c.digits;
  }
  EXPECT_EQ(TContactID("0457181130").Partition(), -1);
  EXPECT_EQ(TContactID("04571811300").Partition(), -1);
}

TEST(ContactID, ShortTextGivesWhatItHoldsOfEachField) {
  const TContactID id("045718113");
  EXPECT_EQ(id.Account(), "0457");
  EXPECT_EQ(id.EventCode(), "13");
  EXPECT_EQ(id.PartitionDigits(), "");
  EXPECT_EQ(id.Zone(), "");
  EXPECT_FALSE(id.ChecksumOk());

  const TContactID empty;
  EXPECT_EQ(empty.Account(), "");
  EXPECT_EQ(empty.Qualifier(), '\0');
  EXPECT_FALSE(empty.ChecksumOk());
}

TEST(ContactID, AllHexAcceptsOnlyDigitsAndUpperCaseLetters) {
  const struct {
    std::string text;
    bool hex;
  } cases[] = {
      {"", true},
      {"0123456789ABCDEF", true},
      {"FFFFFFFFFFFFFFFF", true},
      {"0457181130010018", true},
      {"045718113001001a", false},
      {"0457-81130010018", false},
      {"0457 81130010018", false},
      {"G", false},
      {std::string("0457\0" "81130010018", 16), false},
  };
  for (const auto& c : cases) EXPECT_EQ(TContactID(c.text).IsAllHex(), c.hex) << c.text;
}

TEST(ContactID, ChecksumCountsZeroAndAAsTenAndWantsALowerCaseDigit) {
  const struct {
    const char* text;
    bool ok;
  } cases[] = {
      // Public sample messages.
      {"0457181130010018", true},
      {"1234181131010158", true},
      {"3182181140010221", false},
      // Qualifier 3 changes the sum; the right digit for it is 6.
      {"0457183130010018", false},
      {"0457183130010016", true},
      // Ten is written a; 0 never passes.
      {"123418113101013a", true},
      {"123418113101013A", true},
      {"1234181131010130", false},
      {"045718113001009f", true},
      {"045718113001009F", true},
      {"0457181130010010", false},
      // A in the body is worth ten like 0, in either case.
      {"A457181130010018", true},
      {"a457181130010018", true},
      {"B457181130010018", false},
      // Not sixteen hexadecimal digits.
      {"045718113001001", false},
      {"04571811300100188", false},
      {"04571811300100G8", false},
      {"045718113001001G", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(TContactID(c.text).ChecksumOk(), c.ok) << c.text;
}

TEST(ContactID, AnyBytesAreSafe) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string huge(1 << 20, '\xFF');
  for (const std::string& text : {all, huge, all.substr(0, 16), std::string(16, '\0')}) {
    const TContactID id(text);
    EXPECT_FALSE(id.IsAllHex());
    EXPECT_FALSE(id.ChecksumOk());
    EXPECT_EQ(id.Account(), text.substr(0, 4));
    EXPECT_EQ(id.Zone(), text.substr(12, 3));
  }
}

}  // namespace
}  // namespace zorvan
