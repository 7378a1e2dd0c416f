#include "model/Codecs.h"

#include "base/ValueHelpers.h"

namespace zorvan {
namespace {

std::optional<long> InRange(std::optional<long> value, long min, long max) {
  if (!value || *value < min || *value > max) return std::nullopt;
  return value;
}

std::string Trimmed(std::string_view text) { return TrimBlanks(text); }

}  // namespace

std::optional<std::string> TTextCodec::Decode(std::string_view reply) const { return Trimmed(reply); }
std::optional<std::string> TTextCodec::Encode(const TFieldState& field) const { return field.text; }

std::optional<std::string> TFlagCodec::Decode(std::string_view reply) const {
  const std::string value = Trimmed(reply);
  // A switch is "0" or "1"; anything else is no answer to trust.
  if (value != "0" && value != "1") return std::nullopt;
  bool on = false;
  switch (rule_) {
    case OneIsOn: on = value == "1"; break;
    case OneIsOff: on = value != "1"; break;
    case FirstIsOne: on = value[0] == '1'; break;
    case ZeroIsOff: on = value[0] != '0'; break;
  }
  return on ? "true" : "false";
}

std::optional<std::string> TFlagCodec::Encode(const TFieldState& field) const {
  const bool one = rule_ == OneIsOff ? !field.checked : field.checked;
  return one ? "1" : "0";
}

std::optional<std::string> THexCodec::Decode(std::string_view reply) const {
  auto value = InRange(ParseHex(Trimmed(reply)), min_, max_);
  if (!value) return std::nullopt;
  return std::to_string(*value);
}

std::optional<std::string> THexCodec::Encode(const TFieldState& field) const {
  auto value = InRange(ParseDecimal(Trimmed(field.text)), min_, max_);
  if (!value) return std::nullopt;
  return HexText(*value, width_);
}

std::optional<std::string> TDecimalCodec::Decode(std::string_view reply) const {
  auto value = InRange(ParseDecimal(Trimmed(reply)), min_, max_);
  if (!value) return std::nullopt;
  return std::to_string(*value);
}

std::optional<std::string> TDecimalCodec::Encode(const TFieldState& field) const {
  auto value = InRange(ParseDecimal(Trimmed(field.text)), min_, max_);
  if (!value) return std::nullopt;
  return DecimalText(*value, width_);
}

std::optional<std::string> TItemIndexCodec::Decode(std::string_view reply) const {
  auto value = ParseDecimal(Trimmed(reply));
  if (!value) return std::nullopt;
  const long index = *value / scale_ - offset_;
  if (index < 0 || index >= items_) return std::nullopt;
  return std::to_string(index);
}

std::optional<std::string> TItemIndexCodec::Encode(const TFieldState& field) const {
  if (field.itemIndex < 0 || field.itemIndex >= items_) return std::nullopt;
  return DecimalText(static_cast<long>(field.itemIndex + offset_) * scale_, width_);
}

std::optional<std::string> TPartitionMaskCodec::Decode(std::string_view reply) const {
  const std::string value = Trimmed(reply);
  if (value.size() != 2) return std::nullopt;
  auto mask = ParseHex(value);
  if (!mask || *mask > 0x3F) return std::nullopt;
  std::string bits;
  for (int n = 0; n < 6; ++n) bits += (*mask >> n) & 1 ? '1' : '0';
  return bits;
}

std::optional<std::string> TPartitionMaskCodec::Encode(const TFieldState& field) const {
  if (field.text.size() != 6) return std::nullopt;
  long mask = 0;
  for (int n = 0; n < 6; ++n) {
    const char c = field.text[static_cast<std::size_t>(n)];
    if (c != '0' && c != '1') return std::nullopt;
    if (c == '1') mask |= 1L << n;
  }
  return HexText(mask, 2);
}

}  // namespace zorvan
