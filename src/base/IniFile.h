#pragma once
// Settings files: INI text in cp1251 with CR LF line ends, held whole in memory.
// Sections and keys keep their file order; names compare without regard to case.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zorvan {

class TIniFile {
 public:
  TIniFile() = default;

  // Parses any bytes; lines it cannot read are skipped.
  static TIniFile FromBytes(std::string_view bytes);
  std::string ToBytes() const;

  // Files larger than this are not settings files.
  static constexpr std::size_t kMaxFileBytes = 4 * 1024 * 1024;
  // Why the bytes are not a settings file in the Windows-1251 INI form (a Russian text), or
  // empty when they are: UTF-16, a UTF-8 byte-order mark, NUL bytes, no section, or text
  // before the first section that is not a comment.
  static std::string FormProblem(std::string_view bytes);

  // A missing file loads as empty and succeeds. Anything but a regular file of at most
  // kMaxFileBytes in the INI form fails with a Russian text that names the file and why;
  // nothing of it is loaded then.
  bool LoadFromFile(const std::string& path, std::string* error = nullptr);
  // Written to a temporary file and renamed into place; a symbolic link is followed, an
  // existing file keeps its permissions and a new one is readable by its owner only (it may
  // hold the master code).
  bool SaveToFile(const std::string& path, std::string* error = nullptr) const;

  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  std::vector<std::string> Sections() const;
  std::vector<std::string> Keys(std::string_view section) const;

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view fallback) const;
  // Decimal, "$hex" or "0xhex"; anything else gives the fallback.
  int ReadInteger(std::string_view section, std::string_view key, int fallback) const;
  // An integer, non-zero = true; anything else gives the fallback.
  bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int value);
  void WriteBool(std::string_view section, std::string_view key, bool value);

  // The file's bytes with one section's lines (its header up to the next header) replaced by
  // sectionBytes, or sectionBytes added at the end when the file has no such section. Every
  // other byte stays as it was.
  static std::string ReplaceSectionText(std::string_view bytes, std::string_view section,
                                        std::string_view sectionBytes);

  void EraseSection(std::string_view section);
  void DeleteKey(std::string_view section, std::string_view key);
  void Clear() { sections_.clear(); }

 private:
  struct Entry {
    std::string key;
    std::string value;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
  };

  const Section* FindSection(std::string_view name) const;
  Section& SectionFor(std::string_view name);
  const std::string* FindValue(std::string_view section, std::string_view key) const;

  std::vector<Section> sections_;
};

}  // namespace zorvan
