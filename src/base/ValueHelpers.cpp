#include "base/ValueHelpers.h"

#include <cmath>
#include <cstdio>
#include <cstdint>
#include <vector>

#include "base/Cp1251.h"

namespace zorvan {
namespace {

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  if (from.empty()) return;
  std::string out;
  std::size_t pos = 0;
  while (true) {
    const std::size_t hit = text.find(from, pos);
    if (hit == std::string::npos) break;
    out.append(text, pos, hit - pos);
    out.append(to);
    pos = hit + from.size();
  }
  if (pos == 0) return;
  out.append(text, pos, std::string::npos);
  text.swap(out);
}

struct TranslitRow {
  const char* lower;
  const char* lowerLatin;
  const char* upper;
  const char* upperLatin;
};

// Rows 1-33 in the order the passes run; ц/Ц (row 2) take the vowel rule instead of the table.
const TranslitRow kRows[] = {
    {"щ", "shh", "Щ", "Shh"}, {"ц", "cz", "Ц", "Cz"}, {"ч", "ch", "Ч", "Ch"},
    {"ш", "sh", "Ш", "Sh"},   {"ю", "yu", "Ю", "Yu"}, {"я", "ya", "Я", "Ya"},
    {"ё", "yo", "Ё", "Yo"},   {"ж", "zh", "Ж", "Zh"}, {"з", "z", "З", "Z"},
    {"и", "i", "И", "I"},     {"й", "j", "Й", "J"},   {"к", "k", "К", "K"},
    {"л", "l", "Л", "L"},     {"м", "m", "М", "M"},   {"н", "n", "Н", "N"},
    {"о", "o", "О", "O"},     {"п", "p", "П", "P"},   {"р", "r", "Р", "R"},
    {"с", "s", "С", "S"},     {"т", "t", "Т", "T"},   {"у", "u", "У", "U"},
    {"ф", "f", "Ф", "F"},     {"х", "x", "Х", "X"},   {"б", "b", "Б", "B"},
    {"в", "v", "В", "V"},     {"г", "g", "Г", "G"},   {"а", "a", "А", "A"},
    {"ъ", "``", "Ъ", "``"},   {"ы", "y`", "Ы", "Y`"}, {"э", "e`", "Э", "E`"},
    {"ь", "`", "Ь", "`"},     {"д", "d", "Д", "D"},   {"е", "e", "Е", "E"},
};
constexpr std::size_t kTsRow = 1;

// ц before one of these vowels is written c, otherwise cz.
bool SoftVowel(char c) {
  static const std::string vowels = W("ЕЁИЙЫЭЮЯеёийыэюя");
  return vowels.find(c) != std::string::npos;
}

void TranslitTs(std::string& text, char ts, std::string_view soft, std::string_view hard) {
  std::size_t pos = 0;
  while ((pos = text.find(ts, pos)) != std::string::npos) {
    const bool beforeVowel = pos + 1 < text.size() && SoftVowel(text[pos + 1]);
    const std::string_view latin = beforeVowel ? soft : hard;
    text.replace(pos, 1, latin);
    pos += latin.size();
  }
}

std::string FormatHundredths(long long hundredths) {
  std::string out;
  if (hundredths < 0) {
    out += '-';
    hundredths = -hundredths;
  }
  out += std::to_string(hundredths / 100);
  const int frac = static_cast<int>(hundredths % 100);
  if (frac != 0) {
    out += ',';
    out += static_cast<char>('0' + frac / 10);
    if (frac % 10 != 0) out += static_cast<char>('0' + frac % 10);
  }
  return out;
}

bool ParseDecimal(std::string_view text, double& value) {
  const std::string t = TrimBlanks(text);
  if (t.empty()) return false;
  std::size_t i = 0;
  bool negative = false;
  if (t[i] == '-' || t[i] == '+') negative = t[i++] == '-';
  double result = 0;
  bool digits = false;
  for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i) {
    result = result * 10 + (t[i] - '0');
    digits = true;
  }
  if (i < t.size() && (t[i] == ',' || t[i] == '.')) {
    double scale = 0.1;
    for (++i; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i) {
      result += (t[i] - '0') * scale;
      scale /= 10;
      digits = true;
    }
  }
  if (!digits || i != t.size()) return false;
  value = negative ? -result : result;
  return true;
}

}  // namespace

std::string TrimBlanks(std::string_view text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
  return std::string(text.substr(begin, end - begin));
}

bool ParseInteger(std::string_view raw, int& value) {
  const std::string trimmed = TrimBlanks(raw);
  const std::string_view text = trimmed;
  if (text.empty()) return false;
  std::size_t i = 0;
  bool negative = false;
  int base = 10;
  if (text[0] == '$') {
    base = 16;
    i = 1;
  } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    i = 2;
  } else if (text[0] == '-' || text[0] == '+') {
    negative = text[0] == '-';
    i = 1;
  }
  if (i >= text.size()) return false;
  std::int64_t result = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return false;
    result = result * base + digit;
    // Hexadecimal may fill all 32 bits ($FFFFFFFF is -1), decimal must fit a signed int.
    if (result > (base == 16 ? 0xFFFFFFFFLL : 0x80000000LL)) return false;
  }
  if (base == 16) {
    value = static_cast<int>(static_cast<std::uint32_t>(result));
    return true;
  }
  if (negative) result = -result;
  if (result > INT32_MAX || result < INT32_MIN) return false;
  value = static_cast<int>(result);
  return true;
}

std::string TranslitToLatin(std::string_view input) {
  std::string text(input);
  // Lower-case pass, then upper-case pass; Ц sees the vowels the first pass has left.
  for (int upper = 0; upper < 2; ++upper) {
    for (std::size_t row = 0; row < std::size(kRows); ++row) {
      const TranslitRow& r = kRows[row];
      const std::string letter = W(upper ? r.upper : r.lower);
      if (row == kTsRow) TranslitTs(text, letter[0], upper ? "C" : "c", upper ? "Cz" : "cz");
      else ReplaceAll(text, letter, upper ? r.upperLatin : r.lowerLatin);
    }
  }
  return text;
}

std::string TranslitToCyrillic(std::string_view input) {
  std::string text(input);
  ReplaceAll(text, "Yo", W("Ё"));
  ReplaceAll(text, "E`", W("Э"));
  ReplaceAll(text, "Yu", W("Ю"));
  ReplaceAll(text, "Ya", W("Я"));
  ReplaceAll(text, "y`", W("ы"));
  ReplaceAll(text, "Y`", W("Ы"));
  for (int upper = 0; upper < 2; ++upper) {
    for (const TranslitRow& r : kRows)
      ReplaceAll(text, upper ? r.upperLatin : r.lowerLatin, W(upper ? r.upper : r.lower));
    // A c left over after cz is a ц as well.
    ReplaceAll(text, upper ? "C" : "c", W(upper ? "Ц" : "ц"));
  }
  return text;
}

std::string LoopValueToText(int value, bool isSliderPosition) {
  const long long v = isSliderPosition ? static_cast<long long>(value) + 15 : value;
  if (v == 15) return W("обрыв");
  if (v == 785) return "1,12";
  const double r = 12.0 / (static_cast<double>(v) * 0.0082 - 0.1) - 0.75;
  const double hundredths = std::nearbyint(r * 100.0);  // default rounding: halves to even
  if (!std::isfinite(hundredths) || std::fabs(hundredths) > 1e15) return W("обрыв");
  return FormatHundredths(static_cast<long long>(hundredths));
}

int LoopTextToValue(std::string_view input, bool wantSliderPosition) {
  const int shift = wantSliderPosition ? 15 : 0;
  const std::string text = input.empty() ? std::string("0") : std::string(input);
  if (text == "1,12") return 785 - shift;
  if (text.find(W("обрыв")) != std::string::npos) return 15 - shift;
  double x = 0;
  if (!ParseDecimal(text, x) || x + 0.75 == 0.0) return 15 - shift;
  const double v = std::nearbyint((12.0 / (x + 0.75) + 0.1) * 121.95121951219512);
  if (!std::isfinite(v) || v > INT32_MAX / 2 || v < INT32_MIN / 2) return 15 - shift;
  return static_cast<int>(v) - shift;
}

bool HexToBits(std::string& text) {
  text = Cp1251Upper(TrimBlanks(text));
  if (text.size() < 4) return false;
  std::string bits;
  for (std::size_t i = 0; i < 4; ++i) {
    const char c = text[i];
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return false;
    for (int bit = 3; bit >= 0; --bit) bits += (digit >> bit) & 1 ? '1' : '0';
  }
  text = bits;
  return true;
}

std::string DurationText(long long seconds) {
  if (seconds < 0) seconds = 0;
  const long long d = seconds / 86400, rest = seconds % 86400;
  const long long h = rest / 3600, m = rest % 3600 / 60, s = rest % 60;
  std::string out;
  if (d > 0) out += std::to_string(d) + W(" сут ");
  if (d > 0 || h > 0) out += std::to_string(h) + W(" ч ");
  if (d > 0 || h > 0 || m > 0) out += std::to_string(m) + W(" мин ");
  out += std::to_string(s) + W(" сек ");
  return out;
}

std::string CleanReply(std::string_view reply) {
  const std::size_t ok = reply.find("OK");
  if (ok == std::string_view::npos) return {};
  std::string_view head = reply.substr(0, ok);
  while (!head.empty() && head.back() == '\r') head.remove_suffix(1);
  std::string value = TrimBlanks(head);
  std::size_t cr;
  while ((cr = value.find('\r')) != std::string::npos) value = value.substr(cr + 1, 255);
  return value;
}

namespace {

std::optional<long> ParseDigits(std::string_view text, int base) {
  if (text.empty() || text.size() > 9) return std::nullopt;  // fits a long everywhere
  long value = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else return std::nullopt;
    value = value * base + digit;
  }
  return value;
}

}  // namespace

std::optional<long> ParseHex(std::string_view text) { return ParseDigits(text, 16); }
std::optional<long> ParseDecimal(std::string_view text) { return ParseDigits(text, 10); }

bool ParseWhole(std::string_view text, int& value) {
  const auto number = ParseDecimal(text);
  if (!number) return false;
  value = static_cast<int>(*number);
  return true;
}

std::string HexText(long value, int width) {
  char text[32];
  std::snprintf(text, sizeof text, "%0*lX", width, value);
  return text;
}

std::string DecimalText(long value, int width) {
  char text[32];
  std::snprintf(text, sizeof text, "%0*ld", width, value);
  return text;
}

}  // namespace zorvan
