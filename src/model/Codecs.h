#pragma once
// How panel values and page fields turn into each other. A codec is pure: it decodes a cleaned
// reply into the text command that shows it in the field (the text an output element carries),
// and encodes what the field holds into the value sent after the write command.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/ValueHelpers.h"

namespace zorvan {

// What a field holds, as the worker sees it in a page snapshot.
struct TFieldState {
  std::string text;
  bool checked = false;
  int itemIndex = -1;
  bool enabled = true;
  std::vector<std::string> items = {};
  std::vector<int> itemCodes = {};
  std::vector<bool> itemChecks = {};  // a checked combo box's marks
  std::vector<std::vector<std::string>> rows = {};  // list view rows, grid cells
  std::vector<std::string> lines = {};  // memo
  std::vector<int> thumbs = {};         // slider
};

class TCodec {
 public:
  virtual ~TCodec() = default;
  // Nothing when the reply does not hold a value of this kind: the read has failed.
  virtual std::optional<std::string> Decode(std::string_view reply) const = 0;
  // Nothing when the field holds nothing that can be sent.
  virtual std::optional<std::string> Encode(const TFieldState& field) const = 0;
  // What a write shows in the field before sending, when the field holds what the panel must
  // not get (empty, out of range): its default or a clamped value. Nothing: send as it is.
  virtual std::optional<std::string> Fill(const TFieldState&) const { return std::nullopt; }

 protected:
  // What Fill gives for a field whose write sends it normalised: the normalised text, shown
  // only when it differs from what the field holds.
  static std::optional<std::string> FillWith(std::string normalised, const std::string& shown) {
    if (normalised == shown) return std::nullopt;
    return normalised;
  }
};

// Text as it stands (blanks and control characters trimmed from a reply).
class TTextCodec : public TCodec {
 public:
  std::optional<std::string> Decode(std::string_view reply) const override;
  std::optional<std::string> Encode(const TFieldState& field) const override;
};

// A check box on the wire as "1" or "0".
class TFlagCodec : public TCodec {
 public:
  enum TRule {
    OneIsOn,    // checked when the reply is "1"
    OneIsOff,   // unchecked when the reply is "1" (and "1" is sent for unchecked)
    FirstIsOne, // checked when the reply's first character is "1"
    ZeroIsOff   // checked unless the reply starts with "0"
  };
  explicit TFlagCodec(TRule rule) : rule_(rule) {}
  std::optional<std::string> Decode(std::string_view reply) const override;
  std::optional<std::string> Encode(const TFieldState& field) const override;

 private:
  TRule rule_;
};

// A number shown in decimal, on the wire in upper-case hexadecimal of at least `width` digits.
class THexCodec : public TCodec {
 public:
  THexCodec(int width, long min, long max) : width_(width), min_(min), max_(max) {}
  std::optional<std::string> Decode(std::string_view reply) const override;
  std::optional<std::string> Encode(const TFieldState& field) const override;

 private:
  int width_;
  long min_, max_;
};

// A number in decimal both ways, on the wire with at least `width` digits.
class TDecimalCodec : public TCodec {
 public:
  TDecimalCodec(int width, long min, long max) : width_(width), min_(min), max_(max) {}
  std::optional<std::string> Decode(std::string_view reply) const override;
  std::optional<std::string> Encode(const TFieldState& field) const override;

 private:
  int width_;
  long min_, max_;
};

// A list's item index: item i stands for (i + offset) x scale, in decimal of `width` digits.
class TItemIndexCodec : public TCodec {
 public:
  TItemIndexCodec(int items, int scale, int offset, int width)
      : items_(items), scale_(scale), offset_(offset), width_(width) {}
  std::optional<std::string> Decode(std::string_view reply) const override;
  std::optional<std::string> Encode(const TFieldState& field) const override;

 private:
  int items_, scale_, offset_, width_;
};

// Six partitions as a field text of "0"/"1" per partition ("101000": partitions 1 and 3),
// on the wire as two upper-case hexadecimal digits with bit n - 1 for partition n.
class TPartitionMaskCodec : public TCodec {
 public:
  std::optional<std::string> Decode(std::string_view reply) const override;
  std::optional<std::string> Encode(const TFieldState& field) const override;
};

namespace codec {
inline const TTextCodec kText;
inline const TFlagCodec kFlag{TFlagCodec::OneIsOn};
}  // namespace codec

}  // namespace zorvan
