#pragma once
// Value codecs and text helpers shared by the device object, the pages and the main window.
// Texts are cp1251 bytes; positions are counted from 1 where the comments say so.
#include <optional>
#include <string>
#include <string_view>

namespace zorvan {

std::string TranslitToLatin(std::string_view text);
std::string TranslitToCyrillic(std::string_view text);

// A slider position is the loop value minus 15.
std::string LoopValueToText(int value, bool isSliderPosition);
int LoopTextToValue(std::string_view text, bool wantSliderPosition);

// Replaces text by the 16 bits of its first four hexadecimal digits; false when it has none.
// The text is left trimmed and in upper case even on failure.
bool HexToBits(std::string& text);

// "1 мин 30 сек " style; every unit word carries its spaces, so the text ends with one.
std::string DurationText(long long seconds);

// The folder of the running executable, ending with '/'.
std::string ProgramFolder();

// The value of a panel reply: the last line before the first "OK"; empty without "OK".
std::string CleanReply(std::string_view reply);

// Spaces and control characters (bytes up to 0x20) cut from both ends.
std::string TrimBlanks(std::string_view text);

// Decimal, "$hex" or "0xhex" to a 32-bit integer; false for anything else or out of range.
bool ParseInteger(std::string_view text, int& value);
// Whole digits only (no sign, no blanks, no "$" or "0x"), at most nine of them.
std::optional<long> ParseHex(std::string_view text);
std::optional<long> ParseDecimal(std::string_view text);
bool ParseWhole(std::string_view text, int& value);  // ParseDecimal into an int; false when none
std::string HexText(long value, int width);      // upper case, zero-padded
std::string DecimalText(long value, int width);  // zero-padded

}  // namespace zorvan
