// The message file that ships beside the program.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>

#include "base/Cp1251.h"
#include "history/MsgFile.h"

namespace zorvan {
namespace {

const std::filesystem::path kMessages = std::filesystem::path(ZORVAN_DATA_DIR) / "Messages.txt";

class ShippedMessages : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(file_.LoadFromFile(kMessages, &error)) << error;
    ASSERT_GT(file_.RowCount(), 0);
  }
  TMsgFile file_;
};

bool IsColour(const std::string& text) {
  return !text.empty() && text.size() <= 8 && text.find_first_not_of("0123456789") == std::string::npos &&
         std::stol(text) <= 0xFFFFFF;
}

TEST_F(ShippedMessages, EveryRowIsAKeyATextAndTwoColours) {
  const std::string restoreMark = W("ВОССТ");
  std::set<std::string> keys;
  for (int row = 0; row < file_.RowCount(); ++row) {
    const std::string key = file_.Field(row, 0);
    const std::string text = file_.Field(row, 1);
    SCOPED_TRACE("row " + std::to_string(row) + " key " + key);
    ASSERT_EQ(key.size(), 4u);
    EXPECT_EQ(key.find_first_not_of("0123456789"), std::string::npos);
    EXPECT_TRUE(keys.insert(key).second) << "duplicate key";
    EXPECT_FALSE(text.empty());
    // Restores carry the mark, events never do: the zone page's list depends on it.
    EXPECT_EQ(text.find(restoreMark) != std::string::npos, key[3] == '3');
    EXPECT_TRUE(key[3] == '1' || key[3] == '3');
    EXPECT_TRUE(IsColour(file_.Field(row, 2))) << file_.Field(row, 2);
    EXPECT_TRUE(IsColour(file_.Field(row, 3))) << file_.Field(row, 3);
    EXPECT_EQ(file_.Field(row, 4), "");
  }
  // Each event comes with its restore, one after the other.
  for (int row = 0; row + 1 < file_.RowCount(); row += 2)
    EXPECT_EQ(file_.Field(row, 0).substr(0, 3) + "3", file_.Field(row + 1, 0));
  EXPECT_EQ(file_.RowCount() % 2, 0);
}

TEST_F(ShippedMessages, HoldsTheCodesThatPagesNameAndTheDefaultAlarmCodePosition) {
  EXPECT_EQ(file_.EventText("1301"), W("Тревога по зоне"));
  EXPECT_EQ(file_.EventText("1101"), W("Пожарная тревога"));
  EXPECT_EQ(file_.EventText("1181"), W("Возможность пожара"));
  EXPECT_EQ(file_.EventText("3801"), W("Неисправность датчика зоны"));
  // The zone page selects the item at position 16 as every zone's alarm code.
  EXPECT_EQ(file_.EventIndex("1301"), 16);
  EXPECT_EQ(file_.EventIndex("1001"), 0);
}

TEST_F(ShippedMessages, ClassesHaveTheirOwnColours) {
  // Fire stands out from other alarms, and restores look like their events.
  EXPECT_NE(file_.BackColor("1101"), file_.BackColor("1301"));
  EXPECT_EQ(file_.BackColor("1101"), file_.BackColor("1181"));
  EXPECT_EQ(file_.BackColor("1301"), file_.BackColor("1303"));
  std::set<int> classes;
  for (const char* key : {"1301", "1101", "3801", "4011", "6021"}) classes.insert(file_.BackColor(key));
  EXPECT_EQ(classes.size(), 5u);
}

TEST(ShippedMessagesFile, IsCp1251WithCrLfLineEnds) {
  std::ifstream in(kMessages, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  ASSERT_FALSE(bytes.empty());
  EXPECT_NE(bytes.find(W("Тревога по зоне")), std::string::npos);  // cp1251, not UTF-8
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n') {
      ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at " << i;
    }
    if (bytes[i] == '\r') {
      ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "bare CR at " << i;
    }
  }
}

}  // namespace
}  // namespace zorvan
