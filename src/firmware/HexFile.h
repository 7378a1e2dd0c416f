#pragma once
// An Intel HEX file as a table of 16-byte paragraphs, the form the service user sees and
// the file update sends. The 16-bit address field may wrap once (paragraph FFF goes on at
// 1000), so a file covers at most 128 KB.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "firmware/FirmwareImage.h"

namespace zorvan::firmware {

struct THexRow {
  std::string paragraph;           // four upper-case hexadecimal digits
  std::array<std::string, 16> cells;  // two digits each, empty where the file gave nothing
};

struct THexTable {
  // Row 1 is paragraph 0000 and is there even when the file gave it nothing.
  std::vector<THexRow> rows{THexRow{"0000", {}}};
  // The whole file was read; otherwise error names the line and the problem, and rows
  // hold what was read before it.
  bool complete = false;
  std::string error;
  // Data bytes placed into the table.
  std::size_t dataBytes = 0;
};

// 128 KB of image in 16-byte records take some 370 KB of text; shorter records, comments
// and blank lines get room, a device or a runaway file does not.
inline constexpr std::size_t kMaxHexFileBytes = 1024 * 1024;

// Reads the text of a HEX file (line ends CR LF or LF). It is complete only with its end
// record and nothing but blank lines after it.
THexTable ReadHexText(std::string_view text);
// Reads a regular file of at most kMaxHexFileBytes; a file that cannot be read gives an
// incomplete table with the reason.
THexTable ReadHexFile(const std::string& path);

// Blocks of four rows from row 1 on; rows beyond the table and cells the file left empty
// are sent as erased flash ("FF").
std::vector<TBlock> FileBlocks(const THexTable& table);

}  // namespace zorvan::firmware
