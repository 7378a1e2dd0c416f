#include "base/Cp1251.h"

#include <gtest/gtest.h>
#include <iconv.h>

namespace zorvan {
namespace {

// The C library's converter is an independent table to check ours against.
std::string IconvToUtf8(unsigned char byte) {
  iconv_t cd = iconv_open("UTF-8", "CP1251");
  if (cd == reinterpret_cast<iconv_t>(-1)) return "<no iconv>";
  char in[1] = {static_cast<char>(byte)};
  char out[8] = {};
  char* pin = in;
  char* pout = out;
  size_t inLeft = 1, outLeft = sizeof out;
  const size_t rc = iconv(cd, &pin, &inLeft, &pout, &outLeft);
  iconv_close(cd);
  if (rc == static_cast<size_t>(-1)) return "<invalid>";
  return std::string(out, sizeof out - outLeft);
}

TEST(Cp1251, EveryAssignedByteAgreesWithTheSystemTableAndRoundTrips) {
  for (int b = 0; b < 256; ++b) {
    if (b == 0x98) continue;
    const std::string byte(1, static_cast<char>(b));
    const std::string utf8 = Cp1251ToUtf8(byte);
    EXPECT_EQ(utf8, IconvToUtf8(static_cast<unsigned char>(b))) << "byte " << b;
    EXPECT_EQ(Utf8ToCp1251(utf8), byte) << "byte " << b;
  }
}

TEST(Cp1251, UnassignedByteAndUnmappableCharacters) {
  EXPECT_EQ(Cp1251ToUtf8("\x98"), "\xEF\xBF\xBD");
  EXPECT_EQ(Utf8ToCp1251("\xEF\xBF\xBD"), "?");
  EXPECT_EQ(Utf8ToCp1251("a\xE4\xB8\xAD" "b"), "a?b");     // a CJK character
  EXPECT_EQ(Utf8ToCp1251("\xF0\x9F\x98\x80"), "?");        // an emoji
}

TEST(Cp1251, MalformedUtf8NeverReadsPastTheEnd) {
  EXPECT_EQ(Utf8ToCp1251("\xD0"), "?");                     // cut after the lead byte
  EXPECT_EQ(Utf8ToCp1251("x\xE2\x82"), "x??");
  EXPECT_EQ(Utf8ToCp1251("\x80\xBF"), "??");                // stray continuation bytes
  EXPECT_EQ(Utf8ToCp1251(std::string("\xD0\0", 2)), std::string("?\0", 2));
}

TEST(Cp1251, InvalidUtf8NeverBecomesAControlByte) {
  const struct {
    const char* name;
    std::string utf8;
    std::string cp1251;
  } cases[] = {
      {"overlong carriage return", "+v\xC0\x8D+typepan", "+v??+typepan"},
      {"overlong line feed", "a\xC0\x8A" "b", "a??b"},
      {"three-byte overlong CR", "\xE0\x80\x8D", "???"},
      {"four-byte overlong CR", "\xF0\x80\x80\x8D", "????"},
      {"overlong NUL", std::string("\xC0\x80", 2), "??"},
      {"overlong Cyrillic a", "\xE0\x90\xB0", "???"},
      {"UTF-16 surrogate", "\xED\xA0\x80", "???"},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", "????"},
      {"lead byte F5", "\xF5\x80\x80\x80", "????"},
      {"shortest Cyrillic a", "\xD0\xB0", "\xE0"},
      {"last code point", "\xF4\x8F\xBF\xBF", "?"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Utf8ToCp1251(c.utf8), c.cp1251);
  }
}

TEST(Cp1251, LiteralHelperAndCaseMapping) {
  EXPECT_EQ(W("ВОССТ"), "\xC2\xCE\xD1\xD1\xD2");
  EXPECT_EQ(W("Ёё№"), "\xA8\xB8\xB9");
  EXPECT_EQ(Cp1251Upper(W("щука ёж")), W("ЩУКА ЁЖ"));
  EXPECT_EQ(Cp1251Lower(W("ЦИФРА Ё")), W("цифра ё"));
}

}  // namespace
}  // namespace zorvan
