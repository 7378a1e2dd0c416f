#include "history/MsgFile.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>

#include "base/Cp1251.h"
#include "base/FileAccess.h"

namespace zorvan {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A colour field: decimal with an optional minus, or "$" and up to eight
// hexadecimal digits taken as a 32-bit pattern; spaces around are allowed.
bool ReadColorNumber(std::string_view text, int& value) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  if (text.empty()) return false;

  if (text.front() == '$') {
    text.remove_prefix(1);
    if (text.empty() || text.size() > 8) return false;
    std::uint32_t bits = 0;
    for (const char c : text) {
      int digit;
      if (c >= '0' && c <= '9') digit = c - '0';
      else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
      else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
      else return false;
      bits = bits * 16u + static_cast<std::uint32_t>(digit);
    }
    value = static_cast<int>(bits);
    return true;
  }

  const bool negative = text.front() == '-';
  if (negative) text.remove_prefix(1);
  if (text.empty()) return false;
  std::int64_t magnitude = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > 2147483648LL) return false;  // also stops the growth on a long run of digits
  }
  const std::int64_t signedValue = negative ? -magnitude : magnitude;
  if (signedValue > 2147483647LL) return false;
  value = static_cast<int>(signedValue);
  return true;
}

}  // namespace

bool TMsgFile::LoadFromFile(const std::filesystem::path& path, std::string* errorText) {
  rows_.clear();
  auto fail = [&](std::string text) {
    rows_.clear();
    if (errorText) *errorText = std::move(text);
    return false;
  };

  errno = 0;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) return fail(SystemErrorText(errno != 0 ? errno : EIO));

  std::string bytes;
  char buffer[64 * 1024];
  for (;;) {
    const std::size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
    bytes.append(buffer, got);
    if (bytes.size() > kMaxFileSize) return fail(W("Файл сообщений слишком велик"));
    if (got < sizeof buffer) break;
  }
  // A directory opens but does not read; report that like any other read failure.
  if (std::ferror(file.get())) return fail(SystemErrorText(errno != 0 ? errno : EIO));

  LoadFromText(bytes);
  if (errorText) errorText->clear();
  return true;
}

void TMsgFile::LoadFromText(std::string_view text) {
  rows_.clear();
  Row row;
  std::string field;
  bool sawSeparator = false;

  auto endLine = [&] {
    if (sawSeparator) {
      row.push_back(std::move(field));
      rows_.push_back(std::move(row));
    }
    row = Row();
    field.clear();
    sawSeparator = false;
  };

  // CR LF, LF and a lone CR all end a line; a last line without an end still counts.
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      endLine();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c == '|') {
      row.push_back(std::move(field));
      field.clear();
      sawSeparator = true;
    } else {
      field += c;
    }
  }
  endLine();
}

const std::string& TMsgFile::FieldOf(const Row& row, std::size_t column) const {
  static const std::string kEmpty;
  return column < row.size() ? row[column] : kEmpty;
}

std::string TMsgFile::Field(int row, int column) const {
  if (row < 0 || column < 0 || static_cast<std::size_t>(row) >= rows_.size()) return {};
  return FieldOf(rows_[static_cast<std::size_t>(row)], static_cast<std::size_t>(column));
}

std::string TMsgFile::EventText(const std::string& key) const {
  for (const Row& row : rows_) {
    const std::string& text = FieldOf(row, 1);
    if (FieldOf(row, 0) == key && !text.empty()) return text;
  }
  return " ";
}

int TMsgFile::ColorOf(const std::string& key, std::size_t column, int fallback) const {
  for (const Row& row : rows_) {
    const std::string& colour = FieldOf(row, column);
    if (FieldOf(row, 0) != key || colour.empty()) continue;
    // The first row with a colour decides, even when that colour is unreadable.
    int value = 0;
    return ReadColorNumber(colour, value) ? value : fallback;
  }
  return fallback;
}

int TMsgFile::BackColor(const std::string& key) const { return ColorOf(key, 2, kDefaultBackColor); }

int TMsgFile::TextColor(const std::string& key) const { return ColorOf(key, 3, kDefaultTextColor); }

int TMsgFile::EventIndex(const std::string& key) const {
  const std::string restoreMark = W("ВОССТ");
  int position = 0;
  for (const Row& row : rows_) {
    const std::string& text = FieldOf(row, 1);
    const bool isRestore = text.find(restoreMark) != std::string::npos;
    if (!isRestore && !text.empty() && FieldOf(row, 0).find(key) != std::string::npos) return position;
    if (!isRestore) ++position;
  }
  return 0;
}

}  // namespace zorvan
