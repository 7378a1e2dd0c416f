#include "base/IniFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Files that are not settings files must never load as an empty (all defaults) configuration.
TEST_F(IniFileTest, RefusesWhatIsNotASettingsFileWithAReason) {
  const struct {
    const char* name;
    std::string bytes;
    std::string reason;  // a part of the message
  } cases[] = {
      {"empty", "", W("нет ни одного раздела")},
      {"only comments", "; saved by hand\r\n\r\n# nothing else\r\n", W("нет ни одного раздела")},
      {"cut before the first section", "; header\r\n[Conn", W("в строке 2 перед первым разделом")},
      {"binary", std::string("\x7F" "ELF\x02\x01\x01\0\0\0[formCommon]\n", 20), W("нулевые байты")},
      {"UTF-8 byte-order mark", "\xEF\xBB\xBF[Connect]\r\nMasterKey=0007\r\n", W("метки порядка байтов UTF-8")},
      {"UTF-16 little endian", std::string("\xFF\xFE[\0C\0]\0", 8), W("UTF-16")},
      {"UTF-16 big endian", std::string("\xFE\xFF\0[\0C\0]", 8), W("UTF-16")},
      {"UTF-16 without a mark", std::string("[\0C\0]\0\r\0\n\0", 10), W("нулевые байты")},
      {"a saved log", "\r\n" + std::string(81, '=') + "\r\n01.02.2024 10:00:00 -> com: +v\r\n[x]\r\n",
       W("в строке 2 перед первым разделом")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path path = dir / "bad.ini";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << c.bytes;
    TIniFile ini;
    ini.WriteString("kept", "k", "v");
    std::string error;
    EXPECT_FALSE(ini.LoadFromFile(path.string(), &error));
    EXPECT_NE(error.find(c.reason), std::string::npos) << Cp1251ToUtf8(error);
    EXPECT_NE(error.find(path.string()), std::string::npos);
    EXPECT_TRUE(ini.Sections().empty());
  }
  // Comments and blank lines in front of the first section are a settings file.
  std::ofstream(dir / "ok.ini", std::ios::binary) << "; saved\r\n\r\n  [Connect]\r\nMasterKey=0007\r\n";
  TIniFile ini;
  EXPECT_TRUE(ini.LoadFromFile((dir / "ok.ini").string()));
  EXPECT_EQ(ini.ReadString("Connect", "MasterKey", ""), "0007");
}

TEST_F(IniFileTest, ReadsOnlyRegularFilesOfBoundedSize) {
  const fs::path fifo = dir / "fifo.ini";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const fs::path big = dir / "big.ini";
  std::ofstream(big, std::ios::binary) << "[s]\r\nk=" << std::string(TIniFile::kMaxFileBytes, 'v') << "\r\n";
  const struct {
    const char* name;
    std::string path;
    std::string reason;
  } cases[] = {
      {"FIFO without a writer", fifo.string(), W("канал")},  // would block for ever if opened plainly
      {"endless device", "/dev/zero", W("устройство")},
      {"folder", dir.string(), W("папка")},
      {"over the size limit", big.string(), W("больше 4 МБ")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TIniFile ini;
    std::string error;
    EXPECT_FALSE(ini.LoadFromFile(c.path, &error));
    EXPECT_NE(error.find(c.reason), std::string::npos) << Cp1251ToUtf8(error);
  }
}

TEST_F(IniFileTest, SavingKeepsPermissionsFollowsLinksAndRefusesFolders) {
  TIniFile ini;
  ini.WriteString("Connect", "MasterKey", "0007");
  auto mode = [](const fs::path& p) {
    struct stat st {};
    stat(p.c_str(), &st);
    return st.st_mode & 07777;
  };
  // A new file may hold the master code: its owner only.
  const fs::path fresh = dir / "fresh.ini";
  ASSERT_TRUE(ini.SaveToFile(fresh.string()));
  EXPECT_EQ(mode(fresh), 0600u);
  // An existing file keeps what its owner chose, in both directions.
  for (mode_t chosen : {0640u, 0644u, 0600u}) {
    chmod(fresh.c_str(), chosen);
    ASSERT_TRUE(ini.SaveToFile(fresh.string()));
    EXPECT_EQ(mode(fresh), chosen);
  }
  // A symbolic link stays a link; its target gets the new contents.
  const fs::path target = dir / "real.ini", link = dir / "link.ini";
  std::ofstream(target, std::ios::binary) << "[old]\r\n";
  chmod(target.c_str(), 0640);
  fs::create_symlink("real.ini", link);
  ASSERT_TRUE(ini.SaveToFile(link.string()));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadFile(target), "[Connect]\r\nMasterKey=0007\r\n\r\n");
  EXPECT_EQ(mode(target), 0640u);
  // A dangling link is followed too: the file it names is created.
  const fs::path dangling = dir / "dangling.ini";
  fs::create_symlink("later.ini", dangling);
  ASSERT_TRUE(ini.SaveToFile(dangling.string()));
  EXPECT_TRUE(fs::is_symlink(dangling));
  EXPECT_EQ(ReadFile(dir / "later.ini"), "[Connect]\r\nMasterKey=0007\r\n\r\n");
  // A folder is never replaced by a file.
  fs::create_directory(dir / "folder.ini");
  std::string error;
  EXPECT_FALSE(ini.SaveToFile((dir / "folder.ini").string(), &error));
  EXPECT_NE(error.find(W("папка")), std::string::npos) << Cp1251ToUtf8(error);
  EXPECT_TRUE(fs::is_directory(dir / "folder.ini"));
  // No temporary file is left behind by any of it.
  for (const auto& entry : fs::directory_iterator(dir))
    EXPECT_EQ(entry.path().filename().string().find(".ini."), std::string::npos) << entry.path();
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

namespace zorvan {
namespace {

TEST(IniFile, ReplacingOneSectionKeepsEveryOtherByte) {
  const std::string section = "[formOuts]\r\nx=2\r\n\r\n";
  const struct {
    const char* name;
    std::string before, after;
  } cases[] = {
      {"in the middle", "; c\n[A]\r\na=1\r\n[formOuts]\r\nx=1\r\n\r\n[B]\nb=1\n",
       "; c\n[A]\r\na=1\r\n" + section + "[B]\nb=1\n"},
      {"last, in another case", "[A]\r\na=1\r\n[FORMOUTS]\r\nx=1", "[A]\r\na=1\r\n" + section},
      {"missing, no final line end", "[A]\r\na=1", "[A]\r\na=1\r\n" + section},
      {"missing, empty file", "", section},
      {"written twice", "[formOuts]\r\nx=1\r\n[A]\r\na=1\r\n[formOuts]\r\ny=1\r\n", section + "[A]\r\na=1\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(TIniFile::ReplaceSectionText(c.before, "formOuts", section), c.after) << c.name;
}

}  // namespace
}  // namespace zorvan
