#pragma once
// Every text of the panel, of the files and of the pages is single-byte Windows-1251.
// Core strings hold those bytes; UTF-8 appears only in source literals and at the UI edge.
#include <string>
#include <string_view>

namespace zorvan {

// UTF-8 -> cp1251; a character that cp1251 cannot hold becomes '?'.
// Malformed UTF-8 (overlong forms, surrogates, beyond U+10FFFF, cut or stray bytes) becomes
// '?' too, one per bad byte: never a control byte.
std::string Utf8ToCp1251(std::string_view utf8);

// cp1251 -> UTF-8; the one unassigned byte (0x98) becomes U+FFFD.
std::string Cp1251ToUtf8(std::string_view cp1251);

// The Unicode code point of a cp1251 byte (0xFFFD for 0x98).
char32_t Cp1251ToCodePoint(unsigned char byte);

// Short form for UTF-8 source literals: W("Ошибка") gives the cp1251 bytes.
inline std::string W(std::string_view utf8) { return Utf8ToCp1251(utf8); }

// cp1251-aware case mapping and classification (ASCII and Cyrillic letters).
char Cp1251Upper(char c);
char Cp1251Lower(char c);
std::string Cp1251Upper(std::string_view s);
std::string Cp1251Lower(std::string_view s);

}  // namespace zorvan
