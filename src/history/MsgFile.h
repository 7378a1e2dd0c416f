#pragma once
// The event texts and history colours of "Messages.txt": one row per line,
// fields separated by "|": key (event code + qualifier digit), text,
// background colour, text colour (0x00BBGGRR, decimal or "$" hexadecimal).
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zorvan {

class TMsgFile {
 public:
  static constexpr int kDefaultBackColor = 0xFFFFFF;  // white
  static constexpr int kDefaultTextColor = 0;         // black
  // Far above any real message file; keeps a wrong path (a device, a huge file) from eating memory.
  static constexpr std::uintmax_t kMaxFileSize = 4u * 1024u * 1024u;

  // Replaces the table with the rows of the file. On failure the table is
  // empty and errorText (when given) receives the reason, in cp1251.
  bool LoadFromFile(const std::filesystem::path& path, std::string* errorText = nullptr);
  // The same from bytes already in memory.
  void LoadFromText(std::string_view text);

  int RowCount() const { return static_cast<int>(rows_.size()); }
  // Empty when the row or the column does not exist.
  std::string Field(int row, int column) const;

  // Text of the first row with this exact key and a text; a single space when there is none.
  std::string EventText(const std::string& key) const;
  // Colour of the first row with this key and a colour; the default when none or not a number.
  int BackColor(const std::string& key) const;
  int TextColor(const std::string& key) const;
  // Position of the event among the rows that are not restores (the zone page's code list); 0 when absent.
  int EventIndex(const std::string& key) const;

 private:
  using Row = std::vector<std::string>;

  const std::string& FieldOf(const Row& row, std::size_t column) const;
  int ColorOf(const std::string& key, std::size_t column, int fallback) const;

  std::vector<Row> rows_;
};

}  // namespace zorvan
