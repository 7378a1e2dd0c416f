#pragma once
// Firmware images as the panel receives them: the built-in images (a version line and
// Intel HEX data records placed by their position), the panel they suit, and the 64-byte
// blocks that the write commands carry. The data bytes are opaque: their hexadecimal
// text goes into the commands unchanged.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zorvan::firmware {

// Variant and build of a version line "REV aa.bbb.ccc"; -1 where the text is no number.
struct TVersionNumbers {
  int variant = -1;
  int build = -1;
};
TVersionNumbers ParseVersionLine(std::string_view line);

// What the connection found out about the panel.
struct TPanelFirmware {
  int variant = -1;
  int build = -1;
  bool flagA = false;  // "+typepan" characters 3-4 are "01"
  bool flagB = false;  // "+typepan" characters 1-2 are "00" (M45PE16 flash)
};

// A built-in image: line 0 the version line, every further line one data record.
using TImageLines = std::vector<std::string>;

// Splits the embedded text into its lines (CR LF or LF ends).
TImageLines SplitImageText(std::string_view text);

// 1 for variants 0 and 3, 2 for variant 5, 0 when no built-in image suits the panel.
int ImageNumberForVariant(int variant);

// Whether the update is offered to the panel, given the version lines of images 1 and 2.
bool UpdateOffered(const TPanelFirmware& panel, std::string_view image1Version, std::string_view image2Version);

// One write block: its number (four upper-case hexadecimal digits) and its data digits.
struct TBlock {
  std::string number;
  std::string data;
};

// Exclusive-or of the data bytes, two upper-case hexadecimal digits.
std::string BlockCheckByte(std::string_view data);
std::uint8_t BlockCheckValue(std::string_view data);

// Blocks of four records from line 1 on; a short last block carries the records that exist.
std::vector<TBlock> BuiltInBlocks(const TImageLines& lines);

// "+W" + number + ":" + data + ":" + check byte.
std::string WriteCommand(const TBlock& block);
// "+EE" + the four check accumulators.
std::string FinishCommand(const std::array<std::uint8_t, 4>& checks);

// Upper-case hexadecimal with at least the given number of digits.
std::string Hex(unsigned value, int digits);

// A short fingerprint of a block list, so that an interrupted upload resumes only with the
// same image.
std::uint64_t ImageFingerprint(const std::vector<TBlock>& blocks);

}  // namespace zorvan::firmware
