#include "base/Cp1251.h"

#include <array>

namespace zorvan {
namespace {

// Code points of bytes 0x80-0xBF; 0xC0-0xFF are U+0410-U+044F in order.
constexpr std::array<char16_t, 64> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

int CodePointToByte(char32_t cp) {
  if (cp < 0x80) return static_cast<int>(cp);
  if (cp >= 0x0410 && cp <= 0x044F) return static_cast<int>(0xC0 + (cp - 0x0410));
  if (cp == 0xFFFD) return -1;
  for (std::size_t i = 0; i < kHigh.size(); ++i)
    if (kHigh[i] == cp) return static_cast<int>(0x80 + i);
  return -1;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

char32_t Cp1251ToCodePoint(unsigned char byte) {
  if (byte < 0x80) return byte;
  if (byte >= 0xC0) return 0x0410 + (byte - 0xC0);
  return kHigh[byte - 0x80];
}

std::string Cp1251ToUtf8(std::string_view cp1251) {
  std::string out;
  out.reserve(cp1251.size() * 2);
  for (char c : cp1251) AppendUtf8(out, Cp1251ToCodePoint(static_cast<unsigned char>(c)));
  return out;
}

std::string Utf8ToCp1251(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  const std::size_t n = utf8.size();
  auto byteAt = [&](std::size_t at) { return static_cast<unsigned char>(utf8[at]); };
  while (i < n) {
    const unsigned char b = byteAt(i);
    if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
      continue;
    }
    // Only the shortest form of a code point is accepted: an overlong form ("\xC0\x8D" for a
    // carriage return) would otherwise smuggle control bytes past any check on the UTF-8 text.
    // The allowed range of the second byte rules out overlong forms, surrogates and code
    // points beyond U+10FFFF.
    int extra = 0;
    unsigned char low = 0x80, high = 0xBF;
    char32_t cp = 0;
    if (b >= 0xC2 && b <= 0xDF) {
      extra = 1;
      cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      extra = 2;
      cp = b & 0x0F;
      if (b == 0xE0) low = 0xA0;
      if (b == 0xED) high = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      extra = 3;
      cp = b & 0x07;
      if (b == 0xF0) low = 0x90;
      if (b == 0xF4) high = 0x8F;
    } else {
      out += '?';
      ++i;
      continue;
    }
    bool ok = i + static_cast<std::size_t>(extra) < n;
    for (int k = 1; ok && k <= extra; ++k) {
      const unsigned char c = byteAt(i + static_cast<std::size_t>(k));
      const unsigned char from = k == 1 ? low : 0x80;
      const unsigned char to = k == 1 ? high : 0xBF;
      if (c < from || c > to) ok = false;
      else cp = (cp << 6) | (c & 0x3F);
    }
    if (!ok) {
      out += '?';
      ++i;
      continue;
    }
    i += static_cast<std::size_t>(extra) + 1;
    const int byte = CodePointToByte(cp);
    out += byte < 0 ? '?' : static_cast<char>(byte);
  }
  return out;
}

char Cp1251Upper(char c) {
  const auto b = static_cast<unsigned char>(c);
  if (b >= 'a' && b <= 'z') return static_cast<char>(b - 32);
  if (b >= 0xE0) return static_cast<char>(b - 32);
  if (b == 0xB8) return static_cast<char>(0xA8);  // ё
  return c;
}

char Cp1251Lower(char c) {
  const auto b = static_cast<unsigned char>(c);
  if (b >= 'A' && b <= 'Z') return static_cast<char>(b + 32);
  if (b >= 0xC0 && b <= 0xDF) return static_cast<char>(b + 32);
  if (b == 0xA8) return static_cast<char>(0xB8);  // Ё
  return c;
}

std::string Cp1251Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = Cp1251Upper(c);
  return out;
}

std::string Cp1251Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = Cp1251Lower(c);
  return out;
}

}  // namespace zorvan
