#include "base/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/Cp1251.h"
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

std::string SystemError() { return std::strerror(errno); }

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

bool TIniFile::LoadFromFile(const std::string& path, std::string* error) {
  sections_.clear();
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return true;
    if (error) *error = path + ": " + SystemError();
    return false;
  }
  std::string content;
  char buffer[65536];
  while (true) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      if (error) *error = path + ": " + SystemError();
      close(fd);
      return false;
    }
    if (n == 0) break;
    content.append(buffer, static_cast<std::size_t>(n));
  }
  close(fd);
  *this = FromBytes(content);
  return true;
}

bool TIniFile::SaveToFile(const std::string& path, std::string* error) const {
  const std::string bytes = ToBytes();
  std::string temp = path + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) {
    if (error) *error = path + ": " + SystemError();
    return false;
  }
  std::size_t done = 0;
  bool ok = true;
  while (ok && done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ok = false;
    else done += static_cast<std::size_t>(n);
  }
  ok = ok && fsync(fd) == 0;
  // The temporary file is private to its creator; a settings file is as readable as any other.
  ok = ok && fchmod(fd, 0644) == 0;
  if (close(fd) != 0) ok = false;
  if (ok && std::rename(temp.c_str(), path.c_str()) == 0) return true;
  if (error) *error = path + ": " + SystemError();
  unlink(temp.c_str());
  return false;
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
