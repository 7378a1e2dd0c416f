#include "history/ContactID.h"

#include "base/Cp1251.h"

namespace zorvan {
namespace {

constexpr std::size_t kMessageLength = 16;

// Value of a hexadecimal digit of either case, -1 for anything else.
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string TContactID::Piece(std::size_t position, std::size_t length) const {
  const std::size_t start = position - 1;
  if (start >= text_.size()) return {};
  return text_.substr(start, length);
}

std::string TContactID::Account() const { return Piece(1, 4); }

char TContactID::Qualifier() const { return text_.size() >= 7 ? text_[6] : '\0'; }

std::string TContactID::EventCode() const { return Piece(8, 3); }

std::string TContactID::PartitionDigits() const { return Piece(11, 2); }

std::string TContactID::Zone() const { return Piece(13, 3); }

int TContactID::Partition() const {
  const std::string digits = PartitionDigits();
  if (digits.size() != 2) return -1;
  const int high = HexValue(digits[0]);
  const int low = HexValue(digits[1]);
  if (high < 0 || low < 0) return -1;
  return high * 16 + low;
}

std::string TContactID::QualifierText() const {
  switch (Qualifier()) {
    case '1':
      return W("Тревога");
    case '3':
      return W("Восстановление");
    default:
      return {};
  }
}

bool TContactID::IsAllHex() const {
  for (const char c : text_)
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
  return true;
}

bool TContactID::ChecksumOk() const {
  if (text_.size() != kMessageLength) return false;
  int sum = 0;
  for (std::size_t i = 0; i + 1 < kMessageLength; ++i) {
    const int value = HexValue(text_[i]);
    if (value < 0) return false;
    // Contact ID sends the digit 0 as ten.
    sum += value == 0 ? 10 : value;
  }
  const int expected = 15 - sum % 15;  // 1..15
  const char expectedDigit =
      static_cast<char>(expected < 10 ? '0' + expected : 'a' + (expected - 10));
  const char given = text_[kMessageLength - 1];
  const char givenLower = (given >= 'A' && given <= 'F') ? static_cast<char>(given - 'A' + 'a') : given;
  return givenLower == expectedDigit;
}

}  // namespace zorvan
