#include "firmware/HexFile.h"

#include "base/Cp1251.h"
#include "base/FileAccess.h"

namespace zorvan::firmware {
namespace {

constexpr int kMaxParagraph = 0x1FFF;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Bytes of the record after the colon; false when it is not hexadecimal pairs.
bool RecordBytes(std::string_view digits, std::vector<unsigned>& bytes) {
  if (digits.size() % 2 != 0) return false;
  bytes.clear();
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    const int high = HexDigit(digits[i]);
    const int low = HexDigit(digits[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes.push_back(static_cast<unsigned>(high * 16 + low));
  }
  return true;
}

std::string Upper(std::string_view text) {
  std::string result(text);
  for (char& c : result)
    if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
  return result;
}

}  // namespace

THexTable ReadHexText(std::string_view text) {
  THexTable table;
  int current = 0;  // paragraph of the last row (17 bits: the wrap sets bit 12)
  bool wrapped = false;
  int lineNumber = 0;
  std::size_t start = 0;
  std::vector<unsigned> bytes;
  bool ended = false;
  auto fail = [&](const std::string& why) {
    table.error = W("строка ") + std::to_string(lineNumber) + ": " + why;
    return table;
  };
  while (start < text.size()) {
    auto end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    // Whatever follows the end record would be dropped without a word: refuse the file.
    if (ended) return fail(W("запись после записи конца файла"));
    if (line[0] != ':' || line.size() < 11 || !RecordBytes(line.substr(1), bytes))
      return fail(W("это не запись Intel HEX"));
    const unsigned length = bytes[0];
    if (bytes.size() != length + 5) return fail(W("длина записи не совпадает с её данными"));
    unsigned sum = 0;
    for (unsigned b : bytes) sum += b;
    if ((sum & 0xFF) != 0) return fail(W("неверная контрольная сумма"));
    const unsigned type = bytes[3];
    if (type == 1) {  // end of file
      ended = true;
      continue;
    }
    // Extended addresses would move data where the panel's 16-bit numbering cannot follow:
    // only zero (the first 64 KB) is taken. Start addresses mean nothing to the panel.
    if (type == 2 || type == 4) {
      if (length == 2 && bytes[4] == 0 && bytes[5] == 0) continue;
      return fail(W("расширенный адрес ") + Upper(std::string(line.substr(9, 2 * length))) +
                  W(" не поддерживается: образ панели задается 16-битными адресами"));
    }
    if (type == 3 || type == 5) continue;
    if (type != 0) return fail(W("неизвестный тип записи ") + Upper(std::string(line.substr(7, 2))));
    const unsigned address = bytes[1] * 256 + bytes[2];
    int paragraph = static_cast<int>(address >> 4) + (wrapped ? 0x1000 : 0);
    if (!wrapped && current >= 0x0F00 && paragraph < 0x0100) {
      // The 16-bit address field wrapped into the second 64 KB.
      wrapped = true;
      paragraph += 0x1000;
    }
    if (paragraph != current && paragraph != current + 1)
      return fail(W("адрес ") + Hex(address, 4) + W(" не продолжает параграф ") + Hex(static_cast<unsigned>(current), 4));
    // Each byte goes to its own place, also when a record starts inside a paragraph or
    // runs into the next one.
    for (unsigned i = 0; i < length; ++i) {
      const unsigned at = (address & 0xF) + i;
      const int row = paragraph + static_cast<int>(at >> 4);
      if (row > kMaxParagraph) return fail(W("образ больше 128 КБ"));
      while (current < row) {
        ++current;
        table.rows.push_back(THexRow{Hex(static_cast<unsigned>(current), 4), {}});
      }
      table.rows.back().cells[at & 0xF] = Hex(bytes[4 + i], 2);
      ++table.dataBytes;
    }
  }
  // A download cut at a line boundary looks like a good file but for this.
  if (!ended) {
    table.error = W("нет записи конца файла (:00000001FF): файл обрезан");
    return table;
  }
  table.complete = true;
  return table;
}

THexTable ReadHexFile(const std::string& path) {
  std::string text, error;
  switch (ReadRegularFile(path, kMaxHexFileBytes, text, error)) {
    case TReadResult::Ok: return ReadHexText(text);
    case TReadResult::Missing: error = W("нет такого файла"); break;
    case TReadResult::Failed: break;
  }
  THexTable table;
  table.error = error;
  return table;
}

std::vector<TBlock> FileBlocks(const THexTable& table) {
  std::vector<TBlock> blocks;
  for (std::size_t first = 0; first < table.rows.size(); first += 4) {
    TBlock block;
    block.number = table.rows[first].paragraph;
    for (std::size_t row = first; row < first + 4; ++row)
      for (std::size_t cell = 0; cell < 16; ++cell) {
        const bool present = row < table.rows.size() && !table.rows[row].cells[cell].empty();
        block.data += present ? table.rows[row].cells[cell] : "FF";
      }
    blocks.push_back(std::move(block));
  }
  return blocks;
}

}  // namespace zorvan::firmware
