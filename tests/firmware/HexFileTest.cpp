#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "base/Cp1251.h"
#include "firmware/HexFile.h"

using namespace zorvan::firmware;

namespace {

// A data record with its checksum.
std::string Record(unsigned address, const std::vector<unsigned>& bytes, unsigned type = 0) {
  char part[16];
  std::snprintf(part, sizeof part, ":%02X%04X%02X", static_cast<unsigned>(bytes.size()), address, type);
  std::string line = part;
  unsigned sum = static_cast<unsigned>(bytes.size()) + (address >> 8) + (address & 0xFF) + type;
  for (unsigned b : bytes) {
    std::snprintf(part, sizeof part, "%02X", b);
    line += part;
    sum += b;
  }
  std::snprintf(part, sizeof part, "%02X", (0x100 - (sum & 0xFF)) & 0xFF);
  return line + part + "\r\n";
}

std::vector<unsigned> Bytes(unsigned first, unsigned count) {
  std::vector<unsigned> bytes;
  for (unsigned i = 0; i < count; ++i) bytes.push_back((first + i) & 0xFF);
  return bytes;
}

std::string Cells(const THexRow& row) {
  std::string text;
  for (const auto& cell : row.cells) text += cell.empty() ? ".." : cell;
  return text;
}

}  // namespace

TEST(HexFile, RowsFollowTheParagraphs) {
  // A first record at 0010 starts row 2 (paragraph 0001); row 1 stays empty.
  const std::string end = Record(0, {}, 1);
  THexTable table = ReadHexText(Record(0x0010, Bytes(0, 16)) + end);
  ASSERT_EQ(table.rows.size(), 2u);
  EXPECT_TRUE(table.complete);
  EXPECT_EQ(table.rows[0].paragraph, "0000");
  EXPECT_EQ(Cells(table.rows[0]), std::string(32, '.'));
  EXPECT_EQ(table.rows[1].paragraph, "0001");
  EXPECT_EQ(Cells(table.rows[1]), "000102030405060708090A0B0C0D0E0F");

  // Records shorter than a paragraph land at their own offset, not over each other.
  table = ReadHexText(Record(0x0000, Bytes(0x10, 8)) + Record(0x0008, Bytes(0x20, 8)) + end);
  ASSERT_EQ(table.rows.size(), 1u);
  EXPECT_EQ(Cells(table.rows[0]), "1011121314151617" "2021222324252627");

  // A record that runs into the next paragraph continues there.
  table = ReadHexText(Record(0x0008, Bytes(0, 16)) + end);
  ASSERT_EQ(table.rows.size(), 2u);
  EXPECT_EQ(Cells(table.rows[0]), std::string(16, '.') + "0001020304050607");
  EXPECT_EQ(Cells(table.rows[1]), "08090A0B0C0D0E0F" + std::string(16, '.'));
}

TEST(HexFile, TheAddressFieldWrapsOnceIntoTheSecondHalf) {
  std::string text = Record(0x0000, Bytes(0, 16));
  for (unsigned address = 0x10; address != 0x10000; address += 0x10) text += Record(address, Bytes(address >> 4, 16));
  text += Record(0x0000, Bytes(0xAA, 16)) + Record(0x0010, Bytes(0xBB, 16));
  text += Record(0, {}, 1);
  const THexTable table = ReadHexText(text);
  ASSERT_TRUE(table.complete) << zorvan::Cp1251ToUtf8(table.error);
  ASSERT_EQ(table.rows.size(), 0x1002u);
  EXPECT_EQ(table.rows[0x0FFF].paragraph, "0FFF");
  EXPECT_EQ(table.rows[0x1000].paragraph, "1000");
  EXPECT_EQ(table.rows[0x1001].paragraph, "1001");
  EXPECT_EQ(table.rows[0x1000].cells[0], "AA");
}

TEST(HexFile, ReadingStopsAtTheFirstProblemAndSaysWhere) {
  struct Case {
    std::string text;
    std::size_t rows;     // rows kept
    const char* inError;  // UTF-8 part of the message
  };
  std::string badSum = Record(0x0010, Bytes(0, 16));
  badSum[badSum.size() - 3] = badSum[badSum.size() - 3] == '0' ? '1' : '0';
  const Case cases[] = {
      {"REV 09.005.007\r\n" + Record(0, Bytes(0, 16)), 1, "строка 1"},
      {Record(0x8000, Bytes(0, 16)), 1, "8000"},
      {Record(0, Bytes(0, 16)) + badSum, 1, "строка 2: неверная контрольная сумма"},
      {Record(0, Bytes(0, 16)) + Record(0x0030, Bytes(0, 16)), 1, "0030"},
      {Record(0, Bytes(0, 16)) + ":10001000GG\r\n", 1, "строка 2"},
      {Record(0, Bytes(0, 16)) + Record(0x0010, Bytes(0, 16), 7), 1, "07"},
  };
  for (const Case& c : cases) {
    const THexTable table = ReadHexText(c.text);
    EXPECT_FALSE(table.complete) << c.inError;
    EXPECT_EQ(table.rows.size(), c.rows) << c.inError;
    EXPECT_EQ(table.rows[0].paragraph, "0000");
    EXPECT_NE(zorvan::Cp1251ToUtf8(table.error).find(c.inError), std::string::npos)
        << zorvan::Cp1251ToUtf8(table.error);
  }
}

TEST(HexFile, TheEndRecordIsNeededAndNothingMayFollowIt) {
  const std::string end = Record(0, {}, 1);
  // Zero extended addresses and start addresses carry no data and change nothing.
  const std::string good = Record(0, {0x00, 0x00}, 4) + Record(0, {0x00, 0x00}, 2) + Record(0, Bytes(1, 16)) +
                           Record(0, {0, 0, 0, 0}, 5) + end + "\r\n";
  const THexTable table = ReadHexText(good);
  EXPECT_TRUE(table.complete) << zorvan::Cp1251ToUtf8(table.error);
  ASSERT_EQ(table.rows.size(), 1u);
  EXPECT_EQ(Cells(table.rows[0]), "0102030405060708090A0B0C0D0E0F10");
  EXPECT_EQ(table.dataBytes, 16u);

  struct Case {
    const char* name;
    std::string text;
    const char* inError;
  };
  const Case cases[] = {
      // A download cut at a line boundary.
      {"no end record", Record(0, Bytes(1, 16)) + Record(0x10, Bytes(2, 16)), "нет записи конца файла"},
      {"data after the end", Record(0, Bytes(1, 16)) + end + Record(0x0010, Bytes(9, 16)),
       "строка 3: запись после записи конца файла"},
      {"a second end", Record(0, Bytes(1, 16)) + end + end, "строка 3: запись после записи конца файла"},
      {"extended linear address", Record(0, {0x00, 0x01}, 4) + Record(0, Bytes(1, 16)) + end,
       "строка 1: расширенный адрес 0001 не поддерживается"},
      {"extended segment address", Record(0, Bytes(1, 16)) + Record(0, {0x10, 0x00}, 2) + end,
       "строка 2: расширенный адрес 1000 не поддерживается"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const THexTable bad = ReadHexText(c.text);
    EXPECT_FALSE(bad.complete);
    EXPECT_NE(zorvan::Cp1251ToUtf8(bad.error).find(c.inError), std::string::npos) << zorvan::Cp1251ToUtf8(bad.error);
  }
}

TEST(HexFile, OnlyRegularFilesOfBoundedSizeAreRead) {
  const std::string folder = ::testing::TempDir();
  const std::string fifo = folder + "zorvan-hex-fifo";
  ::unlink(fifo.c_str());
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string big = folder + "zorvan-big.hex";
  {
    // Well-formed records beyond the size a 128 KB image needs.
    std::ofstream file(big, std::ios::binary);
    const std::string record = Record(0, Bytes(0, 16));
    for (std::size_t written = 0; written <= 1024 * 1024; written += record.size()) file << record;
  }
  struct Case {
    std::string path;
    const char* inError;
  };
  const Case cases[] = {
      {"/dev/zero", "это устройство, а не файл"},
      {fifo, "это канал (FIFO), а не файл"},
      {folder, "это папка, а не файл"},
      {big, "файл больше 1 МБ"},
      {folder + "zorvan-no-such.hex", "нет такого файла"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const THexTable table = ReadHexFile(c.path);
    EXPECT_FALSE(table.complete);
    EXPECT_EQ(table.dataBytes, 0u);
    EXPECT_EQ(zorvan::Cp1251ToUtf8(table.error), c.inError);
  }
  ::unlink(fifo.c_str());
  ::unlink(big.c_str());
}

TEST(HexFile, BlocksPadMissingRowsAndCellsWithErasedFlash) {
  std::string text;
  for (unsigned paragraph = 0; paragraph < 6; ++paragraph) text += Record(paragraph * 16, Bytes(paragraph, 16));
  THexTable table = ReadHexText(text + Record(0, {}, 1));
  auto blocks = FileBlocks(table);
  ASSERT_EQ(blocks.size(), 2u);
  EXPECT_EQ(blocks[0].number, "0000");
  EXPECT_EQ(blocks[1].number, "0004");
  // The last block has two rows: their bytes, then 64 "F" digits for the missing rows.
  EXPECT_EQ(blocks[1].data, Cells(table.rows[4]) + Cells(table.rows[5]) + std::string(64, 'F'));

  table = ReadHexText(Record(0x0000, Bytes(0x40, 4)));
  blocks = FileBlocks(table);
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].data, "40414243" + std::string(128 - 8, 'F'));
}
