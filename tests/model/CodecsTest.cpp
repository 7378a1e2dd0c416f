// The codecs between panel values and page fields, as tables of cases.
#include <gtest/gtest.h>

#include "model/Codecs.h"

namespace zorvan {
namespace {

const std::optional<std::string> kNone;

struct TDecodeCase {
  const TCodec* codec;
  const char* reply;
  std::optional<std::string> shown;
};

TEST(Codecs, DecodeRepliesOrRefuseThem) {
  const THexCodec hex2{2, 0, 255};
  const TDecimalCodec decimal{4, 0, 9999};
  const TItemIndexCodec pause{10, 100, 1, 4};
  const TFlagCodec oneIsOn{TFlagCodec::OneIsOn}, oneIsOff{TFlagCodec::OneIsOff}, first{TFlagCodec::FirstIsOne},
      zeroIsOff{TFlagCodec::ZeroIsOff};
  const TPartitionMaskCodec mask;
  const TDecodeCase cases[] = {
      {&codec::kText, "  apn.example \r", "apn.example"},
      {&hex2, "0C", "12"},
      {&hex2, "ff", "255"},
      {&hex2, "1FF", kNone},  // beyond the range
      {&hex2, "xx", kNone},
      {&hex2, "", kNone},
      {&decimal, "0042", "42"},
      {&decimal, "4 2", kNone},
      {&decimal, "-1", kNone},
      {&pause, "0500", "4"},
      {&pause, "1000", "9"},
      {&pause, "0000", kNone},  // no item for no pause
      {&pause, "1100", kNone},
      {&pause, "0550", "4"},  // whole hundreds count
      {&oneIsOn, "1", "true"},
      {&oneIsOn, "0", "false"},
      {&oneIsOn, "", kNone},
      // A switch is exactly "0" or "1": noise in front of it, or after it, is no answer.
      {&oneIsOn, "10", kNone},
      {&oneIsOn, "\xb5\xfc\x87#1", kNone},
      {&oneIsOff, "1", "false"},
      {&oneIsOff, "0", "true"},
      {&first, "1", "true"},
      {&first, "10", kNone},
      {&zeroIsOff, "2", kNone},
      {&zeroIsOff, "0", "false"},
      {&mask, "05", "101000"},
      {&mask, "3F", "111111"},
      {&mask, "40", kNone},  // a seventh partition does not exist
      {&mask, "5", kNone},
  };
  for (const TDecodeCase& c : cases) EXPECT_EQ(c.codec->Decode(c.reply), c.shown) << '"' << c.reply << '"';
}

struct TEncodeCase {
  const TCodec* codec;
  TFieldState field;
  std::optional<std::string> sent;
};

TEST(Codecs, EncodeFieldsOrRefuseThem) {
  const THexCodec hex2{2, 0, 255};
  const TDecimalCodec decimal{4, 0, 9999};
  const TItemIndexCodec pause{10, 100, 1, 4};
  const TFlagCodec oneIsOn{TFlagCodec::OneIsOn}, oneIsOff{TFlagCodec::OneIsOff};
  const TPartitionMaskCodec mask;
  const TEncodeCase cases[] = {
      {&codec::kText, {"", false, -1}, ""},
      {&hex2, {"24", false, -1}, "18"},
      {&hex2, {"30", false, -1}, "1E"},
      {&hex2, {"256", false, -1}, kNone},
      {&hex2, {"abc", false, -1}, kNone},
      {&decimal, {"7", false, -1}, "0007"},
      {&pause, {"", false, 9}, "1000"},
      {&pause, {"", false, 2}, "0300"},
      {&pause, {"", false, -1}, kNone},
      {&oneIsOn, {"", true, -1}, "1"},
      {&oneIsOff, {"", true, -1}, "0"},
      {&mask, {"101000", false, -1}, "05"},
      {&mask, {"000001", false, -1}, "20"},
      {&mask, {"10100", false, -1}, kNone},
      {&mask, {"1x1000", false, -1}, kNone},
  };
  for (const TEncodeCase& c : cases)
    EXPECT_EQ(c.codec->Encode(c.field), c.sent) << '"' << c.field.text << "\" " << c.field.itemIndex;
}

}  // namespace
}  // namespace zorvan
