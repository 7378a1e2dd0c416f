#include <gtest/gtest.h>

#include <thread>

#include "session/OutArray.h"

using namespace zorvan;

TEST(OutArray, PostingOperationsMakeTheirElements) {
  TOutArray out;
  const TControlRef edit{"formCommon", "etO"};
  out.PostChecked(edit, true);
  out.PostChecked(edit, false);
  out.PostInt(edit, -42);
  out.PostColor(edit, clBlue);
  out.PostColor(edit, 0x00123456);
  out.PostSliderPosition({"formACP", "ts1"}, 40);
  out.PostStatus("09.005.012", 2);
  out.PostGridCell({"formHistory", "sg1"}, "x", 3, 7);
  out.PostListFill({"formWays", "lv1"}, "cap", {"a", "b"});

  struct Expected {
    int kind;
    std::string text;
  };
  const Expected expected[] = {{2, "true"}, {2, "false"}, {2, "-42"}, {12, "clBlue"}, {12, "$00123456"},
                               {6, "position"}, {10, "09.005.012"}, {11, "x"}, {7, "cap"}};
  for (const auto& want : expected) {
    auto element = out.TakeElement();
    ASSERT_TRUE(element);
    ASSERT_EQ(element->Kind(), want.kind);
    std::string text;
    switch (element->Kind()) {
      case 2:
      case 12: text = static_cast<TControlOut&>(*element).text; break;
      case 6: text = static_cast<TTriSliderOut&>(*element).text; break;
      case 10: text = static_cast<TStatusOut&>(*element).text; break;
      case 11: {
        auto& cell = static_cast<TOutStringGrid&>(*element);
        EXPECT_EQ(cell.column, 3);
        EXPECT_EQ(cell.row, 7);
        text = cell.text;
        break;
      }
      case 7: text = static_cast<TFullListOut&>(*element).caption; break;
    }
    EXPECT_EQ(text, want.text);
  }
  EXPECT_FALSE(out.HasElements());
  EXPECT_EQ(out.TakeElement(), nullptr);
  EXPECT_EQ(StringToColor("clWindowText"), clWindowText);
  EXPECT_EQ(StringToColor("$00123456"), 0x00123456u);
  EXPECT_FALSE(StringToColor("red"));
}

TEST(OutArray, TimeStampGoesInFrontOfTheLogText) {
  TOutArray out;
  out.PostLog("plain", true, false);
  out.PostLog("stamped", false, true);
  auto plain = out.TakeElement();
  auto stamped = out.TakeElement();
  EXPECT_EQ(static_cast<TMemoOut&>(*plain).text, "plain");
  EXPECT_TRUE(static_cast<TMemoOut&>(*plain).showInWindow);
  const std::string& text = static_cast<TMemoOut&>(*stamped).text;
  ASSERT_EQ(text.size(), std::string("dd.mm.yyyy hh:mm:ss stamped").size());
  EXPECT_EQ(text.substr(2, 1) + text.substr(5, 1) + text.substr(10, 1) + text.substr(13, 1), ".. :");
  EXPECT_EQ(text.substr(19), " stamped");
}

TEST(OutArray, FullRingMakesTheProducerWaitAndLosesNothing) {
  TOutArray out;
  constexpr int kCount = 5000;
  std::atomic<int> posted{0};
  std::thread producer([&] {
    for (int i = 0; i < kCount; ++i) {
      out.PostInt({"f", "c"}, i);
      posted.store(i + 1);
    }
  });
  // Nobody takes yet: the producer must stop at 1023 waiting elements.
  while (posted.load() < 1023) std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(posted.load(), 1023);
  for (int i = 0; i < kCount; ++i) {
    std::unique_ptr<TOutElement> element;
    while (!(element = out.TakeElement())) std::this_thread::yield();
    ASSERT_EQ(static_cast<TControlOut&>(*element).text, std::to_string(i));
  }
  producer.join();
  EXPECT_FALSE(out.HasElements());
}
