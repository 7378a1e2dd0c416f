#include "base/ValueHelpers.h"

#include <gtest/gtest.h>

#include "base/Cp1251.h"

namespace zorvan {
namespace {

struct TextCase {
  const char* in;
  const char* out;
};

TEST(Translit, ToLatin) {
  const TextCase cases[] = {
      {"ЦИФРА", "CIFRA"}, {"цифра", "cifra"}, {"конец", "konecz"}, {"Цена", "Czena"},
      {"щука", "shhuka"}, {"цаца", "czacza"}, {"Объём", "Ob``yom"}, {"Эхо мыть", "E`xo my`t`"},
      {"ЦЫ", "CY`"}, {"Тест 123 abc!", "Test 123 abc!"},
  };
  for (const auto& c : cases) EXPECT_EQ(Cp1251ToUtf8(TranslitToLatin(W(c.in))), c.out) << c.in;
}

TEST(Translit, ToCyrillic) {
  const TextCase cases[] = {
      {"shhuka", "щука"}, {"CIFRA", "ЦИФРА"}, {"Czena", "Цзена"}, {"konecz", "конец"},
      {"Ob``yom", "Объём"}, {"E`xo", "Эхо"}, {"Yolka Yula Yama", "Ёлка Юла Яма"},
      {"hqw", "hqw"}, {"Shum SH", "Шум СH"},
  };
  for (const auto& c : cases) EXPECT_EQ(Cp1251ToUtf8(TranslitToCyrillic(c.in)), c.out) << c.in;
}

TEST(LoopValues, TextsAndValues) {
  EXPECT_EQ(Cp1251ToUtf8(LoopValueToText(0, true)), "обрыв");
  EXPECT_EQ(Cp1251ToUtf8(LoopValueToText(15, false)), "обрыв");
  EXPECT_EQ(LoopValueToText(785, false), "1,12");
  EXPECT_EQ(LoopValueToText(770, true), "1,12");
  // 12/(100*0.0082-0.1)-0.75 = 15.9166... ; 12/(400*0.0082-0.1)-0.75 = 3.0235...
  EXPECT_EQ(LoopValueToText(100, false), "15,92");
  EXPECT_EQ(LoopValueToText(400, false), "3,02");
  EXPECT_EQ(LoopValueToText(385, true), "3,02");

  EXPECT_EQ(LoopTextToValue(W("обрыв"), true), 0);
  EXPECT_EQ(LoopTextToValue(W("обрыв"), false), 15);
  EXPECT_EQ(LoopTextToValue("1,12", false), 785);
  EXPECT_EQ(LoopTextToValue("1,12", true), 770);
  // (12/(2+0.75)+0.1)/0.0082 = 544.3...
  EXPECT_EQ(LoopTextToValue("2", false), 544);
  EXPECT_EQ(LoopTextToValue("1,5", false), 663);  // (12/2.25+0.1)/0.0082 = 662.6
  EXPECT_EQ(LoopTextToValue("", false), LoopTextToValue("0", false));
  EXPECT_EQ(LoopTextToValue("abc", false), 15);
  EXPECT_EQ(LoopTextToValue("-0,75", false), 15);
  EXPECT_EQ(LoopTextToValue("abc", true), 0);
}

TEST(LoopValues, TextOfAValueReadsBackToTheSameValue) {
  for (int v = 16; v <= 784; ++v) {
    const int back = LoopTextToValue(LoopValueToText(v, false), false);
    EXPECT_NEAR(back, v, v > 600 ? 12 : 3) << v;
  }
}

TEST(HexToBits, Cases) {
  std::string t = " a5c0 ";
  EXPECT_TRUE(HexToBits(t));
  EXPECT_EQ(t, "1010010111000000");
  t = "FFFF12";
  EXPECT_TRUE(HexToBits(t));
  EXPECT_EQ(t, "1111111111111111");
  t = "12g4";
  EXPECT_FALSE(HexToBits(t));
  EXPECT_EQ(t, "12G4");
  t = "12";
  EXPECT_FALSE(HexToBits(t));
  t = "\r\n";
  EXPECT_FALSE(HexToBits(t));
  EXPECT_EQ(t, "");
}

TEST(DurationText, Forms) {
  const std::pair<long long, const char*> cases[] = {
      {0, "0 сек "}, {59, "59 сек "}, {90, "1 мин 30 сек "}, {3600, "1 ч 0 мин 0 сек "},
      {86400, "1 сут 0 ч 0 мин 0 сек "}, {90061, "1 сут 1 ч 1 мин 1 сек "},
  };
  for (const auto& [seconds, text] : cases) EXPECT_EQ(Cp1251ToUtf8(DurationText(seconds)), text);
}

TEST(CleanReply, Cases) {
  const TextCase cases[] = {
      {"+o\r0050\rOK\r", "0050"},
      {"+o\r0050OK\r", "0050"},        // value and OK not separated
      {"0050\r\r\rOK", "0050"},
      {"+v\r09.005.012\r\rOK\r", "09.005.012"},
      {"+o\rERR\r", ""},
      {"", ""},
      {"  12 34 \rOK", "12 34"},
      {"a\rb\rc\rOK", "c"},
      {"OK", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(CleanReply(c.in), c.out) << c.in;
  // The last line is cut to 255 characters.
  EXPECT_EQ(CleanReply("x\r" + std::string(300, 'v') + "\rOK").size(), 255u);
}

TEST(ParseInteger, Forms) {
  int v = 0;
  EXPECT_TRUE(ParseInteger("42", v));
  EXPECT_EQ(v, 42);
  EXPECT_TRUE(ParseInteger("-7", v));
  EXPECT_EQ(v, -7);
  EXPECT_TRUE(ParseInteger("$FF", v));
  EXPECT_EQ(v, 255);
  EXPECT_TRUE(ParseInteger("0x1", v));
  EXPECT_EQ(v, 1);
  EXPECT_TRUE(ParseInteger("$FFFFFFFF", v));
  EXPECT_EQ(v, -1);
  EXPECT_TRUE(ParseInteger("-2147483648", v));
  EXPECT_EQ(v, INT32_MIN);
  for (const char* bad : {"", "yes", "1.5", "$", "0x", "2147483648", "$100000000", "-$1", "12a"})
    EXPECT_FALSE(ParseInteger(bad, v)) << bad;
}

TEST(ProgramFolder, EndsWithSeparatorAndHoldsTheTestProgram) {
  const std::string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_EQ(folder.front(), '/');
}

}  // namespace
}  // namespace zorvan
