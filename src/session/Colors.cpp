#include "session/Colors.h"

#include <array>
#include <cstdio>
#include <utility>

namespace zorvan {
namespace {

constexpr std::array<std::pair<TColor, const char*>, 23> kNames{{
    {clBlack, "clBlack"},     {clMaroon, "clMaroon"},     {clGreen, "clGreen"},   {clOlive, "clOlive"},
    {clNavy, "clNavy"},       {clPurple, "clPurple"},     {clTeal, "clTeal"},     {clGray, "clGray"},
    {clSilver, "clSilver"},   {clRed, "clRed"},           {clLime, "clLime"},     {clYellow, "clYellow"},
    {clBlue, "clBlue"},       {clFuchsia, "clFuchsia"},   {clAqua, "clAqua"},     {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"}, {clSkyBlue, "clSkyBlue"}, {clCream, "clCream"}, {clMedGray, "clMedGray"},
    {clWindow, "clWindow"},   {clWindowText, "clWindowText"}, {clBtnFace, "clBtnFace"},
}};

}  // namespace

std::string ColorToString(TColor color) {
  for (const auto& [value, name] : kNames)
    if (value == color) return name;
  char text[16];
  std::snprintf(text, sizeof text, "$%08X", static_cast<unsigned>(color));
  return text;
}

std::optional<TColor> StringToColor(std::string_view text) {
  for (const auto& [value, name] : kNames)
    if (text == name) return value;
  if (text.size() == 9 && text[0] == '$') {
    TColor value = 0;
    for (char c : text.substr(1)) {
      int digit;
      if (c >= '0' && c <= '9') digit = c - '0';
      else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
      else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
      else return std::nullopt;
      value = value * 16 + static_cast<TColor>(digit);
    }
    return value;
  }
  return std::nullopt;
}

}  // namespace zorvan
