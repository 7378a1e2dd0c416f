#include "base/IniFile.h"

#include "base/Cp1251.h"
#include "base/FileAccess.h"
#include "base/ValueHelpers.h"

namespace zorvan {
namespace {

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Cp1251Lower(a[i]) != Cp1251Lower(b[i])) return false;
  return true;
}

std::string_view TrimSpaces(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

}  // namespace

TIniFile TIniFile::FromBytes(std::string_view bytes) {
  TIniFile ini;
  Section* current = nullptr;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t end = bytes.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = bytes.size();
    // Trailing blanks belong to the value, so only the front of the line is trimmed.
    std::string_view line = bytes.substr(pos, end - pos);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    pos = end;
    if (pos < bytes.size() && bytes[pos] == '\r') ++pos;
    if (pos < bytes.size() && bytes[pos] == '\n') ++pos;

    if (TrimSpaces(line).empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      const std::size_t close = line.find(']');
      if (close == std::string_view::npos) continue;
      current = &ini.SectionFor(TrimSpaces(line.substr(1, close - 1)));
      continue;
    }
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos || current == nullptr) continue;
    const std::string_view key = TrimSpaces(line.substr(0, eq));
    if (key.empty()) continue;
    std::string_view value = line.substr(eq + 1);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
    bool known = false;
    for (const Entry& e : current->entries) known = known || SameName(e.key, key);
    if (!known) current->entries.push_back({std::string(key), std::string(value)});
  }
  return ini;
}

std::string TIniFile::ToBytes() const {
  std::string out;
  for (const Section& s : sections_) {
    out += '[' + s.name + "]\r\n";
    for (const Entry& e : s.entries) out += e.key + '=' + e.value + "\r\n";
    out += "\r\n";
  }
  return out;
}

std::string TIniFile::FormProblem(std::string_view bytes) {
  if (bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF')))
    return W("текст в кодировке UTF-16, а файл настроек пишется в Windows-1251");
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
    return W("файл начинается с метки порядка байтов UTF-8, а файл настроек пишется в Windows-1251");
  if (bytes.find('\0') != std::string_view::npos)
    return W("в файле есть нулевые байты: это двоичный файл или текст в UTF-16, а не файл настроек");
  // Before the first section only blank lines and comments may stand: anything else is a
  // file of another kind (a log, a document), whose sections would be read by chance.
  std::size_t pos = 0;
  int line = 0;
  while (pos < bytes.size()) {
    std::size_t end = bytes.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view text = TrimSpaces(bytes.substr(pos, end - pos));
    ++line;
    pos = end;
    if (pos < bytes.size() && bytes[pos] == '\r') ++pos;
    if (pos < bytes.size() && bytes[pos] == '\n') ++pos;
    if (text.empty() || text.front() == ';' || text.front() == '#') continue;
    if (text.front() == '[' && text.find(']') != std::string_view::npos) return {};
    return W("в строке ") + std::to_string(line) +
           W(" перед первым разделом стоит текст, который не является ни разделом, ни комментарием");
  }
  return W("в файле нет ни одного раздела настроек");
}

bool TIniFile::LoadFromFile(const std::string& path, std::string* error) {
  sections_.clear();
  std::string bytes, why;
  const TReadResult read = ReadRegularFile(path, kMaxFileBytes, bytes, why);
  if (read == TReadResult::Missing) return true;
  if (read == TReadResult::Ok) why = FormProblem(bytes);
  if (why.empty()) {
    *this = FromBytes(bytes);
    return true;
  }
  if (error) *error = W("Файл настроек ") + QuotedPath(path) + W(" не прочитан: ") + why + ".";
  return false;
}

bool TIniFile::SaveToFile(const std::string& path, std::string* error) const {
  std::string why;
  if (ReplaceFile(path, ToBytes(), why)) return true;
  if (error) *error = W("Файл настроек ") + QuotedPath(path) + W(" не записан: ") + why + ".";
  return false;
}

std::string TIniFile::ReplaceSectionText(std::string_view bytes, std::string_view section,
                                         std::string_view sectionBytes) {
  std::string out;
  bool replaced = false, inside = false;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t end = bytes.find('\n', pos);
    end = end == std::string_view::npos ? bytes.size() : end + 1;
    const std::string_view line = bytes.substr(pos, end - pos);
    const std::string_view text = TrimSpaces(line);
    if (!text.empty() && text.front() == '[') {
      const auto close = text.find(']');
      inside = close != std::string_view::npos && SameName(TrimSpaces(text.substr(1, close - 1)), section);
      // A section written twice keeps its first place; the repeat goes.
      if (inside && !replaced) {
        out += sectionBytes;
        replaced = true;
      }
    }
    if (!inside) out += line;
    pos = end;
  }
  if (!replaced) {
    if (!out.empty() && out.back() != '\n') out += "\r\n";
    out += sectionBytes;
  }
  return out;
}

const TIniFile::Section* TIniFile::FindSection(std::string_view name) const {
  for (const Section& s : sections_)
    if (SameName(s.name, name)) return &s;
  return nullptr;
}

TIniFile::Section& TIniFile::SectionFor(std::string_view name) {
  for (Section& s : sections_)
    if (SameName(s.name, name)) return s;
  sections_.push_back({std::string(name), {}});
  return sections_.back();
}

const std::string* TIniFile::FindValue(std::string_view section, std::string_view key) const {
  const Section* s = FindSection(section);
  if (!s) return nullptr;
  for (const Entry& e : s->entries)
    if (SameName(e.key, key)) return &e.value;
  return nullptr;
}

bool TIniFile::SectionExists(std::string_view section) const { return FindSection(section); }

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
  return FindValue(section, key);
}

std::vector<std::string> TIniFile::Sections() const {
  std::vector<std::string> names;
  for (const Section& s : sections_) names.push_back(s.name);
  return names;
}

std::vector<std::string> TIniFile::Keys(std::string_view section) const {
  std::vector<std::string> keys;
  if (const Section* s = FindSection(section))
    for (const Entry& e : s->entries) keys.push_back(e.key);
  return keys;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view fallback) const {
  const std::string* v = FindValue(section, key);
  return v ? *v : std::string(fallback);
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int fallback) const {
  const std::string* v = FindValue(section, key);
  int value = 0;
  return v && ParseInteger(*v, value) ? value : fallback;
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  const std::string* v = FindValue(section, key);
  int value = 0;
  return v && ParseInteger(*v, value) ? value != 0 : fallback;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  Section& s = SectionFor(section);
  // A line end inside a value would break the file apart; it is kept as a blank.
  std::string clean(value);
  for (char& c : clean)
    if (c == '\r' || c == '\n') c = ' ';
  for (Entry& e : s.entries)
    if (SameName(e.key, key)) {
      e.value = clean;
      return;
    }
  s.entries.push_back({std::string(key), clean});
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void TIniFile::EraseSection(std::string_view section) {
  for (auto it = sections_.begin(); it != sections_.end(); ++it)
    if (SameName(it->name, section)) {
      sections_.erase(it);
      return;
    }
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key) {
  for (Section& s : sections_)
    if (SameName(s.name, section))
      for (auto it = s.entries.begin(); it != s.entries.end(); ++it)
        if (SameName(it->key, key)) {
          s.entries.erase(it);
          return;
        }
}

}  // namespace zorvan
