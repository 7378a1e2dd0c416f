#include <gtest/gtest.h>

#include "firmware/BuiltInImages.h"
#include "firmware/FirmwareImage.h"

using namespace zorvan::firmware;

TEST(VersionLine, VariantAndBuild) {
  struct Case {
    const char* line;
    int variant;
    int build;
  };
  const Case cases[] = {
      {"REV 09.005.007", 5, 7}, {"REV 09.003.007", 3, 7}, {"REV 09.005.0x7", 5, -1},
      {"REV 09.abc.007", -1, 7}, {"REV 09", -1, -1},      {"", -1, -1},
  };
  for (const Case& c : cases) {
    const TVersionNumbers numbers = ParseVersionLine(c.line);
    EXPECT_EQ(numbers.variant, c.variant) << c.line;
    EXPECT_EQ(numbers.build, c.build) << c.line;
  }
}

TEST(UpdateOffered, RulesByVariantBuildAndFlags) {
  struct Case {
    TPanelFirmware panel;
    const char* image1;
    const char* image2;
    bool offered;
  };
  const Case cases[] = {
      {{3, 6, true, true}, "REV 09.003.007", "REV 09.005.007", true},
      {{3, 7, true, true}, "REV 09.003.007", "REV 09.005.007", false},
      {{3, 6, true, false}, "REV 09.003.007", "REV 09.005.007", false},
      {{3, 6, false, true}, "REV 09.003.007", "REV 09.005.007", false},
      // Variant 0 build 18 is offered whatever the image's version line says.
      {{0, 18, true, true}, "garbage", "REV 09.005.007", true},
      {{0, 17, true, true}, "REV 09.003.007", "REV 09.005.007", false},
      {{0, 18, true, false}, "REV 09.003.007", "REV 09.005.007", false},
      {{5, 6, true, true}, "REV 09.003.007", "REV 09.005.007", true},
      {{5, 6, true, true}, "REV 09.003.099", "REV 09.005.001", false},  // image 2 decides
      {{5, 6, true, true}, "REV 09.003.007", "REV 09.005.x", false},    // build not a number
      {{4, 1, true, true}, "REV 09.003.007", "REV 09.005.007", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(UpdateOffered(c.panel, c.image1, c.image2), c.offered)
        << "variant " << c.panel.variant << " build " << c.panel.build << " A " << c.panel.flagA << " B "
        << c.panel.flagB << " " << c.image1 << " / " << c.image2;
  EXPECT_EQ(ImageNumberForVariant(0), 1);
  EXPECT_EQ(ImageNumberForVariant(3), 1);
  EXPECT_EQ(ImageNumberForVariant(5), 2);
  EXPECT_EQ(ImageNumberForVariant(4), 0);
}

TEST(Blocks, CheckByteAndCommands) {
  EXPECT_EQ(BlockCheckByte("0102030405"), "01");
  EXPECT_EQ(BlockCheckByte("FFfe"), "01");
  const TImageLines lines{"REV 09.003.007", ":10000000000102030405060708090A0B0C0D0E0F78",
                          ":10001000101112131415161718191A1B1C1D1E1F68"};
  const auto blocks = BuiltInBlocks(lines);
  ASSERT_EQ(blocks.size(), 1u);  // a short last block carries the records that exist
  EXPECT_EQ(blocks[0].number, "0000");
  EXPECT_EQ(blocks[0].data, "000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F");
  EXPECT_EQ(WriteCommand(blocks[0]), "+W0000:" + blocks[0].data + ":00");
  EXPECT_EQ(FinishCommand({0x01, 0xAB, 0x00, 0xF0}), "+EE01AB00F0");
}

// Every record is a well-formed 16-byte data record whose checksum adds up.
void ExpectRecord(const std::string& record, unsigned address) {
  ASSERT_EQ(record.size(), 43u) << record;
  ASSERT_EQ(record.substr(0, 3), ":10");
  char expected[8];
  std::snprintf(expected, sizeof expected, "%04X", address);
  ASSERT_EQ(record.substr(3, 4), expected) << record;
  ASSERT_EQ(record.substr(7, 2), "00");
  unsigned sum = 0;
  for (std::size_t i = 1; i < record.size(); i += 2) sum += static_cast<unsigned>(std::stoul(record.substr(i, 2), nullptr, 16));
  ASSERT_EQ(sum & 0xFF, 0u) << record;
}

TEST(BuiltInImages, TwoImagesOfTheFixedForm) {
  const char* versions[] = {"REV 09.003.007", "REV 09.005.007"};
  TImageLines images[2];
  for (int number = 1; number <= 2; ++number) {
    const TImageLines lines = LoadBuiltInImage(number);
    ASSERT_EQ(lines.size(), 6489u);
    EXPECT_EQ(lines[0], versions[number - 1]);
    EXPECT_NE(BuiltInImageText(number).find("\r\n"), std::string_view::npos);
    for (std::size_t k = 1; k < lines.size(); ++k) ExpectRecord(lines[k], static_cast<unsigned>(((k - 1) * 16) & 0xFFFF));
    // The 16-bit address wraps from FFF0 to 0000 in the middle of the image.
    EXPECT_EQ(lines[4096].substr(3, 4), "FFF0");
    EXPECT_EQ(lines[4097].substr(3, 4), "0000");
    const auto blocks = BuiltInBlocks(lines);
    ASSERT_EQ(blocks.size(), 1622u);
    EXPECT_EQ(blocks[0].number, "0000");
    EXPECT_EQ(blocks[1].number, "0004");
    EXPECT_EQ(blocks.back().number, "1954");
    for (const auto& block : blocks) ASSERT_EQ(block.data.size(), 128u);
    const std::string command = WriteCommand(blocks[0]);
    EXPECT_EQ(command.size(), 2u + 4 + 1 + 128 + 1 + 2);
    EXPECT_EQ(command.substr(0, 7), "+W0000:");
    images[number - 1] = lines;
  }
  EXPECT_NE(images[0][1], images[1][1]);
  EXPECT_TRUE(LoadBuiltInImage(3).empty());
}
