#pragma once
// One Contact ID message: AAAA MM Q EEE GG ZZZ S, sixteen characters,
// as the panel stores it in its event log.
#include <string>
#include <string_view>

namespace zorvan {

class TContactID {
 public:
  TContactID() = default;
  explicit TContactID(std::string_view text) : text_(text) {}

  void SetText(std::string_view text) { text_ = text; }
  const std::string& Text() const { return text_; }

  // Fields as they stand; a short text gives what it holds of them.
  std::string Account() const;          // positions 1-4
  char Qualifier() const;               // position 7, '\0' when absent
  std::string EventCode() const;        // positions 8-10
  std::string PartitionDigits() const;  // positions 11-12
  std::string Zone() const;             // positions 13-15, zone or user number

  // The partition digits read as hexadecimal ("0A" gives 10); -1 when they are not two hex digits.
  int Partition() const;

  // "Тревога" for qualifier 1, "Восстановление" for 3, otherwise empty (cp1251).
  std::string QualifierText() const;

  // Every character is 0-9 or upper-case A-F; an empty text passes.
  bool IsAllHex() const;

  // The digits, with 0 and A worth 10, sum to a multiple of 15. Only a
  // message of exactly sixteen hexadecimal digits can pass.
  bool ChecksumOk() const;

 private:
  std::string Piece(std::size_t position, std::size_t length) const;

  std::string text_;
};

}  // namespace zorvan
