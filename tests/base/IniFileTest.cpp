#include "base/IniFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "base/Cp1251.h"

namespace zorvan {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class IniFileTest : public ::testing::Test {
 protected:
  fs::path dir = fs::temp_directory_path() / ("zorvan-ini-" + std::to_string(getpid()));
  void SetUp() override { fs::create_directories(dir); }
  void TearDown() override { fs::remove_all(dir); }
};

TEST_F(IniFileTest, CyrillicRoundTripIsByteIdentical) {
  const std::string original = W(
      "[formCommon]\r\netO=0007\r\ncbMedic=1\r\n\r\n"
      "[Раздел]\r\nКлюч=Значение с пробелом \r\nПусто=\r\n\r\n");
  const fs::path a = dir / "a.ini", b = dir / W("б.ini");
  std::ofstream(a, std::ios::binary) << original;
  TIniFile ini;
  ASSERT_TRUE(ini.LoadFromFile(a.string()));
  EXPECT_EQ(ini.ReadString(W("Раздел"), W("Ключ"), ""), W("Значение с пробелом "));
  ASSERT_TRUE(ini.SaveToFile(b.string()));
  EXPECT_EQ(ReadFile(b), original);
  // Only the target is left: the temporary file was renamed, not copied.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 2);
}

TEST_F(IniFileTest, WritesValueFormsAndKeepsOrder) {
  TIniFile ini;
  ini.WriteString("S2", "text", W("Текст"));
  ini.WriteInteger("S1", "neg", -5);
  ini.WriteBool("S1", "on", true);
  ini.WriteBool("S1", "off", false);
  ini.WriteString("S2", "text", "replaced");
  EXPECT_EQ(ini.ToBytes(), "[S2]\r\ntext=replaced\r\n\r\n[S1]\r\nneg=-5\r\non=1\r\noff=0\r\n\r\n");
  ini.WriteString("S1", "multi", "a\r\nb");
  EXPECT_EQ(ini.ReadString("S1", "multi", ""), "a  b");
}

TEST(IniFileParse, ReaderDefaultsAndLooseInput) {
  const TIniFile ini = TIniFile::FromBytes(
      "; comment\n"
      "orphan=1\n"
      "[ A ]\n"
      "  dec = 12\n"
      "hex1=$1\n"
      "hex2=0x1\n"
      "word=yes\n"
      "zero=0\n"
      "dup=first\n"
      "dup=second\n"
      "\n"
      "[b]\r\n"
      "text=  x = y  \r\n"
      "[a]\n"
      "later=3");
  EXPECT_EQ(ini.ReadInteger("A", "dec", -1), 12);
  EXPECT_EQ(ini.ReadInteger("a", "DEC", -1), 12);  // names ignore case
  EXPECT_TRUE(ini.ReadBool("A", "hex1", false));
  EXPECT_TRUE(ini.ReadBool("A", "hex2", false));
  EXPECT_TRUE(ini.ReadBool("A", "word", true));
  EXPECT_FALSE(ini.ReadBool("A", "word", false));
  EXPECT_EQ(ini.ReadInteger("A", "word", 77), 77);
  EXPECT_FALSE(ini.ReadBool("A", "zero", true));
  EXPECT_EQ(ini.ReadString("A", "dup", ""), "first");
  EXPECT_EQ(ini.ReadString("b", "text", ""), "x = y  ");
  EXPECT_EQ(ini.ReadInteger("A", "later", 0), 3);  // a repeated section continues the first
  EXPECT_EQ(ini.ReadString("A", "missing", "def"), "def");
  EXPECT_FALSE(ini.ValueExists("", "orphan"));
  EXPECT_EQ(ini.Sections(), (std::vector<std::string>{"A", "b"}));
}

TEST(IniFileParse, AnyBytesParseWithoutHarm) {
  std::mt19937 rng(1251);
  for (int round = 0; round < 200; ++round) {
    std::string bytes(static_cast<std::size_t>(rng() % 4096), '\0');
    for (char& c : bytes) c = static_cast<char>(rng() % 8 == 0 ? "[]=\r\n;"[rng() % 6] : rng());
    const TIniFile ini = TIniFile::FromBytes(bytes);
    // Whatever was read writes out and reads back the same.
    EXPECT_EQ(TIniFile::FromBytes(ini.ToBytes()).ToBytes(), ini.ToBytes());
  }
  std::string huge = "[s]\nk=" + std::string(1 << 20, 'v') + std::string("\0tail", 5);
  const TIniFile ini = TIniFile::FromBytes(huge);
  EXPECT_EQ(ini.ReadString("s", "k", "").size(), (1u << 20) + 5);
}

TEST_F(IniFileTest, MissingFileIsEmptyUnreadableFails) {
  TIniFile ini;
  EXPECT_TRUE(ini.LoadFromFile((dir / "none.ini").string()));
  EXPECT_TRUE(ini.Sections().empty());
  std::string error;
  EXPECT_FALSE(ini.LoadFromFile(dir.string(), &error));  // a folder reads as an error
  EXPECT_NE(error.find(dir.string()), std::string::npos);
  EXPECT_FALSE(ini.SaveToFile((dir / "no" / "such" / "x.ini").string(), &error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace zorvan
