#include "history/MsgFile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "base/Cp1251.h"

namespace zorvan {
namespace {

namespace fs = std::filesystem;

TMsgFile FromText(std::string_view text) {
  TMsgFile file;
  file.LoadFromText(text);
  return file;
}

class MsgFileOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("zorvan-msgfile-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path Write(const std::string& name, std::string_view bytes) {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  fs::path dir_;
};

TEST(MsgFile, SplitsLinesAtBars) {
  const TMsgFile file = FromText("1301|text|255|16777215\r\na||b\r\nx|\r\n|\r\nno bar here\r\n\r\n1303|r|1|2|extra|more\r\n");
  ASSERT_EQ(file.RowCount(), 5);
  EXPECT_EQ(file.Field(0, 0), "1301");
  EXPECT_EQ(file.Field(0, 1), "text");
  EXPECT_EQ(file.Field(0, 2), "255");
  EXPECT_EQ(file.Field(0, 3), "16777215");
  EXPECT_EQ(file.Field(1, 0), "a");
  EXPECT_EQ(file.Field(1, 1), "");
  EXPECT_EQ(file.Field(1, 2), "b");
  EXPECT_EQ(file.Field(2, 0), "x");
  EXPECT_EQ(file.Field(2, 1), "");
  EXPECT_EQ(file.Field(3, 0), "");
  // Further fields are kept.
  EXPECT_EQ(file.Field(4, 5), "more");
}

TEST(MsgFile, FieldOutsideTheTableIsEmpty) {
  const TMsgFile file = FromText("1301|text\n");
  for (const auto& [row, column] : std::vector<std::pair<int, int>>{{-1, 0}, {0, -1}, {1, 0}, {0, 2}, {0, 1000}})
    EXPECT_EQ(file.Field(row, column), "") << row << "," << column;
  EXPECT_EQ(TMsgFile().Field(0, 0), "");
}

TEST(MsgFile, AcceptsEveryLineEnd) {
  const char* texts[] = {
      "1101|a\r\n1301|b\r\n",  // CR LF
      "1101|a\n1301|b\n",      // LF only
      "1101|a\r1301|b\r",      // CR only
      "1101|a\r\n1301|b",      // no final line end
      "1101|a\n\n\r\n1301|b\n\n",  // empty lines add nothing
  };
  for (const char* text : texts) {
    const TMsgFile file = FromText(text);
    ASSERT_EQ(file.RowCount(), 2) << text;
    EXPECT_EQ(file.Field(0, 1), "a") << text;
    EXPECT_EQ(file.Field(1, 1), "b") << text;
    EXPECT_EQ(file.Field(1, 2), "") << text;
  }
  EXPECT_EQ(FromText("").RowCount(), 0);
  EXPECT_EQ(FromText("x|y").Field(0, 1), "y");
}

TEST(MsgFile, EventTextTakesTheFirstRowWithAText) {
  const TMsgFile file = FromText(
      "1301||255|0\n"
      "1301|second|1|2\n"
      "1301|third\n"
      "1101|fire\n");
  EXPECT_EQ(file.EventText("1301"), "second");
  EXPECT_EQ(file.EventText("1101"), "fire");
  // Exact, case-sensitive keys.
  EXPECT_EQ(file.EventText("130"), " ");
  EXPECT_EQ(file.EventText("13011"), " ");
  EXPECT_EQ(file.EventText(""), " ");
  EXPECT_EQ(FromText("abc|lower\n").EventText("ABC"), " ");
  EXPECT_EQ(TMsgFile().EventText("1301"), " ");
}

TEST(MsgFile, ColoursReadDecimalAndDollarHexadecimal) {
  const struct {
    const char* field;
    int back;  // expected BackColor for the field in column 2
  } cases[] = {
      {"255", 255},
      {"16711680", 16711680},
      {"0", 0},
      {"$FF", 255},
      {"$00FF0000", 16711680},
      {"$ff00", 0xFF00},
      {" 32768 ", 32768},
      {"2147483647", 2147483647},
      {"abc", 0xFFFFFF},
      {"$", 0xFFFFFF},
      {"$G0", 0xFFFFFF},
      {"$123456789", 0xFFFFFF},
      {"0x10", 0xFFFFFF},
      {"12a", 0xFFFFFF},
      {"2147483648", 0xFFFFFF},
      {"99999999999999999999999", 0xFFFFFF},
      {"-", 0xFFFFFF},
  };
  for (const auto& c : cases) {
    const TMsgFile file = FromText(std::string("1301|t|") + c.field + "|" + c.field + "\n");
    EXPECT_EQ(file.BackColor("1301"), c.back) << c.field;
    EXPECT_EQ(file.TextColor("1301"), c.back == 0xFFFFFF ? 0 : c.back) << c.field;
  }
}

TEST(MsgFile, ColourComesFromTheFirstRowThatHasOne) {
  const TMsgFile file = FromText(
      "1301|t||\n"
      "1301|t|abc|xyz\n"
      "1301|t|255|255\n"
      "1101|t||$0000FF\n"
      "1101|t|$00FF00\n");
  // An unreadable first colour gives the default; later rows are not consulted.
  EXPECT_EQ(file.BackColor("1301"), 0xFFFFFF);
  EXPECT_EQ(file.TextColor("1301"), 0);
  EXPECT_EQ(file.BackColor("1101"), 0x00FF00);
  EXPECT_EQ(file.TextColor("1101"), 255);
  EXPECT_EQ(file.BackColor("9999"), 0xFFFFFF);
  EXPECT_EQ(file.TextColor("9999"), 0);
  EXPECT_EQ(TMsgFile().BackColor("1301"), 0xFFFFFF);
  EXPECT_EQ(TMsgFile().TextColor("1301"), 0);
}

TEST(MsgFile, EventIndexCountsOnlyRowsThatAreNotRestores) {
  const std::string restore = W("ВОССТ. Пожарная тревога");
  EXPECT_EQ(FromText("1101|fire\n1103|" + restore + "\n1301|zone\n").EventIndex("1301"), 1);

  const TMsgFile file = FromText(
      "1001|medical\n"
      "1003|" + restore + "\n"
      "1201|\n"  // no text: counted, never returned
      "1203|" + restore + "\n"
      "1301|zone\n"
      "1303|" + restore + "\n"
      "3801|" + W("Неисправность датчика зоны") + "\n");
  EXPECT_EQ(file.EventIndex("1001"), 0);
  EXPECT_EQ(file.EventIndex("1201"), 0);  // nothing to return: the default
  EXPECT_EQ(file.EventIndex("1301"), 2);
  EXPECT_EQ(file.EventIndex("130"), 2);   // a part of the key is enough
  EXPECT_EQ(file.EventIndex("1303"), 0);  // restores are never found
  EXPECT_EQ(file.EventIndex("3801"), 3);
  EXPECT_EQ(file.EventIndex("9991"), 0);
  EXPECT_EQ(TMsgFile().EventIndex("1301"), 0);
}

TEST_F(MsgFileOnDisk, LoadsCyrillicRowsFromAFile) {
  const std::string text = W("Пожарная тревога");
  const fs::path path = Write("Messages.txt", "1101|" + text + "|255|$FFFFFF\r\n1103|" + W("ВОССТ. ") + text + "|255|0");
  TMsgFile file;
  std::string error = "stale";
  ASSERT_TRUE(file.LoadFromFile(path, &error));
  EXPECT_EQ(error, "");
  EXPECT_EQ(file.RowCount(), 2);
  EXPECT_EQ(file.EventText("1101"), text);
  EXPECT_EQ(file.TextColor("1101"), 0xFFFFFF);
  EXPECT_EQ(file.EventIndex("1101"), 0);
}

TEST_F(MsgFileOnDisk, FailureToOpenOrReadGivesTheSystemErrorInRussianAndAnEmptyTable) {
  TMsgFile file;
  ASSERT_TRUE(file.LoadFromFile(Write("good.txt", "1301|zone\n")));
  ASSERT_EQ(file.RowCount(), 1);

  std::string error;
  EXPECT_FALSE(file.LoadFromFile(dir_ / "missing.txt", &error));
  EXPECT_EQ(Cp1251ToUtf8(error), "нет такого файла или папки");
  EXPECT_EQ(file.RowCount(), 0);
  EXPECT_EQ(file.EventText("1301"), " ");

  ASSERT_TRUE(file.LoadFromFile(dir_ / "good.txt"));
  error.clear();
  EXPECT_FALSE(file.LoadFromFile(dir_, &error));  // a folder opens but does not read
  EXPECT_EQ(Cp1251ToUtf8(error), "это папка, а не файл");
  EXPECT_EQ(file.RowCount(), 0);

  EXPECT_FALSE(file.LoadFromFile(dir_ / "missing.txt"));  // no error text wanted
}

TEST_F(MsgFileOnDisk, TakesAnyBytes) {
  // A NUL byte is an ordinary character of its field.
  const std::string withNul("1301|a\0b|25\0" "5\n", 14);
  TMsgFile file;
  ASSERT_TRUE(file.LoadFromFile(Write("nul.txt", withNul)));
  ASSERT_EQ(file.RowCount(), 1);
  EXPECT_EQ(file.EventText("1301"), std::string("a\0b", 3));
  EXPECT_EQ(file.BackColor("1301"), 0xFFFFFF);

  // A line of a megabyte, followed by a normal last line without a line end.
  const std::string longText(1 << 20, '\xC0');
  ASSERT_TRUE(file.LoadFromFile(Write("long.txt", "1301|" + longText + "|255\r\n1101|fire")));
  ASSERT_EQ(file.RowCount(), 2);
  EXPECT_EQ(file.EventText("1301"), longText);
  EXPECT_EQ(file.BackColor("1301"), 255);
  EXPECT_EQ(file.EventText("1101"), "fire");

  // Binary garbage: no separator or line end inside a field, and the lookups stay safe.
  std::string garbage;
  std::uint32_t state = 12345;
  for (int i = 0; i < 300000; ++i) {
    state = state * 1103515245u + 12345u;
    garbage += static_cast<char>(state >> 23);
  }
  ASSERT_TRUE(file.LoadFromFile(Write("garbage.bin", garbage)));
  EXPECT_GT(file.RowCount(), 0);
  for (int row = 0; row < file.RowCount(); ++row) {
    EXPECT_EQ(file.Field(row, 0).find_first_of("|\r\n"), std::string::npos);
    EXPECT_EQ(file.Field(row, 1).find_first_of("|\r\n"), std::string::npos);
    EXPECT_FALSE(file.EventText(file.Field(row, 0)).empty());
  }
}

TEST_F(MsgFileOnDisk, RefusesAFileFarTooLargeToBeAMessageFile) {
  TMsgFile file;
  std::string error;
  ASSERT_TRUE(file.LoadFromFile(Write("good.txt", "1301|zone\n")));
  EXPECT_FALSE(file.LoadFromFile(Write("huge.txt", std::string(5 << 20, '|')), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(file.RowCount(), 0);
}

}  // namespace
}  // namespace zorvan
