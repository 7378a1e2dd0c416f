#include "firmware/FirmwareImage.h"

#include <cstdio>

#include "base/ValueHelpers.h"

namespace zorvan::firmware {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

TVersionNumbers ParseVersionLine(std::string_view line) {
  TVersionNumbers numbers;
  if (line.size() <= 4) return numbers;
  std::string_view rest = line.substr(4);
  auto first = rest.find('.');
  if (first == std::string_view::npos) return numbers;
  rest = rest.substr(first + 1);
  auto second = rest.find('.');
  int value = 0;
  if (ParseWhole(rest.substr(0, second), value)) numbers.variant = value;
  if (second != std::string_view::npos && ParseWhole(rest.substr(second + 1), value)) numbers.build = value;
  return numbers;
}

TImageLines SplitImageText(std::string_view text) {
  TImageLines lines;
  std::size_t start = 0;
  while (start < text.size()) {
    auto end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    start = end + 1;
  }
  // A final line end does not make an empty record.
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

int ImageNumberForVariant(int variant) {
  if (variant == 0 || variant == 3) return 1;
  if (variant == 5) return 2;
  return 0;
}

bool UpdateOffered(const TPanelFirmware& panel, std::string_view image1Version, std::string_view image2Version) {
  const bool flags = panel.flagA && panel.flagB;
  auto newer = [&](std::string_view versionLine) {
    const TVersionNumbers image = ParseVersionLine(versionLine);
    return image.variant >= 0 && image.build >= 0 && panel.build < image.build;
  };
  switch (panel.variant) {
    case 0: return panel.build == 18 && flags;
    case 3: return flags && newer(image1Version);
    case 5: return flags && newer(image2Version);
    default: return false;
  }
}

std::uint8_t BlockCheckValue(std::string_view data) {
  std::uint8_t check = 0;
  for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
    const int high = HexDigit(data[i]);
    const int low = HexDigit(data[i + 1]);
    if (high < 0 || low < 0) continue;
    check = static_cast<std::uint8_t>(check ^ (high * 16 + low));
  }
  return check;
}

std::string BlockCheckByte(std::string_view data) { return Hex(BlockCheckValue(data), 2); }

std::string Hex(unsigned value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

std::vector<TBlock> BuiltInBlocks(const TImageLines& lines) {
  std::vector<TBlock> blocks;
  for (std::size_t first = 1; first < lines.size(); first += 4) {
    TBlock block;
    block.number = Hex(static_cast<unsigned>(first - 1), 4);
    for (std::size_t line = first; line < first + 4 && line < lines.size(); ++line) {
      const std::string& record = lines[line];
      // ":" LL AAAA TT in front, CC behind.
      if (record.size() > 11) block.data += record.substr(9, record.size() - 11);
    }
    blocks.push_back(std::move(block));
  }
  return blocks;
}

std::string WriteCommand(const TBlock& block) {
  return "+W" + block.number + ":" + block.data + ":" + BlockCheckByte(block.data);
}

std::string FinishCommand(const std::array<std::uint8_t, 4>& checks) {
  std::string command = "+EE";
  for (std::uint8_t check : checks) command += Hex(check, 2);
  return command;
}

std::uint64_t ImageFingerprint(const std::vector<TBlock>& blocks) {
  // FNV-1a over numbers and data.
  std::uint64_t hash = 1469598103934665603ull;
  auto add = [&](std::string_view text) {
    for (char c : text) {
      hash ^= static_cast<unsigned char>(c);
      hash *= 1099511628211ull;
    }
    hash ^= 0xff;
    hash *= 1099511628211ull;
  };
  for (const TBlock& block : blocks) {
    add(block.number);
    add(block.data);
  }
  return hash == 0 ? 1 : hash;
}

}  // namespace zorvan::firmware
