#include "widgets/CheckComboModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Cp1251.h"

namespace zorvan {
namespace {

class PartitionCombo : public ::testing::Test {
 protected:
  void SetUp() override {
    m.SetItems({"1", "2", "3", "4", "5", "6"});
    m.OnChange.Add([this] { ++changes; });
    m.OnMessage.Add([this](const std::string& text) { messages.push_back(text); });
  }
  CheckComboModel m;
  int changes = 0;
  std::vector<std::string> messages;
};

TEST_F(PartitionCombo, SelectionKeepsCheckOrderAndSortDisplayUsesListOrder) {
  EXPECT_EQ(m.ShownText(), "<none>");
  EXPECT_TRUE(m.SetChecked(2, true));
  EXPECT_TRUE(m.SetChecked(0, true));
  EXPECT_EQ(m.SelectionText(), "3,1");
  EXPECT_EQ(m.ShownText(), "3,1");
  EXPECT_EQ(m.Hint(), "1\n3");
  m.SetSortDisplay(true);
  EXPECT_EQ(m.ShownText(), "1,3");
  EXPECT_EQ(m.SelectionText(), "3,1");
  EXPECT_EQ(changes, 2);

  m.SetChecked(4, true);
  m.SetChecked(0, false);
  EXPECT_EQ(m.SelectionText(), "3,5");
  EXPECT_EQ((std::vector<int>{2, 4}), m.CheckOrder());
}

TEST_F(PartitionCombo, EveryItemCheckedGivesTheAllHint) {
  for (int i = 5; i >= 0; --i) m.SetChecked(i, true);
  EXPECT_EQ(m.Hint(), W("Выбрано все"));
  EXPECT_EQ(m.SelectionText(), "6,5,4,3,2,1");
  m.SetChecked(3, false);
  EXPECT_EQ(m.Hint(), "1\n2\n3\n5\n6");
}

TEST_F(PartitionCombo, IndexBeyondTheListOrAnUnchangedFlagChangesNothing) {
  m.SetChecked(1, true);
  changes = 0;
  EXPECT_FALSE(m.SetChecked(7, true));
  EXPECT_FALSE(m.SetChecked(-1, true));
  EXPECT_FALSE(m.SetChecked(1, true));
  EXPECT_FALSE(m.SetChecked(3, false));
  EXPECT_FALSE(m.Checked(7));
  EXPECT_EQ(m.SelectionText(), "2");
  EXPECT_EQ(changes, 0);
}

TEST_F(PartitionCombo, NewItemsClearTheChecks) {
  m.SetEmptyValue(W("<нет>"));
  m.SetChecked(0, true);
  m.SetChecked(3, true);
  int itemChanges = 0;
  m.OnItemsChanged.Add([&] { ++itemChanges; });
  m.SetItems({"1", "2", "5"});
  EXPECT_EQ(itemChanges, 1);
  EXPECT_EQ(m.CheckedCount(), 0);
  for (int i = 0; i < m.Count(); ++i) EXPECT_FALSE(m.Checked(i));
  EXPECT_EQ(m.ShownText(), W("<нет>"));
  EXPECT_EQ(m.Hint(), "");

  m.SetChecked(1, true);
  m.AddItem("6");  // changing the list counts too
  EXPECT_EQ(m.CheckedCount(), 0);
  m.SetChecked(1, true);
  m.Clear();
  EXPECT_EQ(m.Count(), 0);
  EXPECT_EQ(m.ShownText(), W("<нет>"));
  EXPECT_EQ(m.Hint(), "");  // an empty list is not "all checked"
}

TEST_F(PartitionCombo, SelectAllTakesListOrderAndDeselectAllEmpties) {
  m.SetChecked(4, true);
  m.SetChecked(1, true);
  m.SelectAll();
  EXPECT_EQ(m.SelectionText(), "1,2,3,4,5,6");
  EXPECT_EQ(m.Hint(), W("Выбрано все"));
  m.DeselectAll();
  EXPECT_EQ(m.CheckedCount(), 0);
  EXPECT_EQ(m.ShownText(), "<none>");
}

TEST(CheckComboModelTest, ItemsThatContainOneAnotherAreKeptApart) {
  CheckComboModel m;
  m.SetItems({"1", "11", "2"});
  m.SetChecked(1, true);
  m.SetChecked(0, true);  // "1" is inside "11" but is a different item
  EXPECT_EQ(m.SelectionText(), "11,1");
  m.SetChecked(0, false);
  EXPECT_EQ(m.SelectionText(), "11");
  EXPECT_TRUE(m.Checked(1));
}

TEST(CheckComboModelTest, TruncLengthCutsTheSelectionAndTheHintShowsTheRest) {
  CheckComboModel m;
  m.SetItems({W("01 Кухня"), W("02  Зал ")});
  m.SetTruncLength(true);
  m.SetVisibleLength(2);
  m.SetChecked(1, true);
  EXPECT_EQ(m.SelectionText(), "02");
  EXPECT_EQ(m.Hint(), W("Зал"));
  m.SetChecked(0, true);
  EXPECT_EQ(m.ShownText(), "02,01");
  EXPECT_EQ(m.Hint(), W("Выбрано все"));
}

TEST(CheckComboModelTest, SelectionTextStaysBelow65536Characters) {
  struct Case {
    std::vector<std::size_t> lengths;  // items, checked in this order
    bool lastAccepted;
  };
  const Case cases[] = {
      {{65535}, true},
      {{65536}, false},
      {{65533, 1}, true},   // 65533 + "," + 1 = 65535
      {{65533, 2}, false},  // 65536
  };
  for (const Case& c : cases) {
    CheckComboModel m;
    std::vector<std::string> items;
    for (std::size_t n : c.lengths) items.push_back(std::string(n, 'a'));
    m.SetItems(items);
    std::vector<std::string> messages;
    int changes = 0;
    m.OnMessage.Add([&](const std::string& t) { messages.push_back(t); });
    m.OnChange.Add([&] { ++changes; });
    const int last = m.Count() - 1;
    for (int i = 0; i < last; ++i) ASSERT_TRUE(m.SetChecked(i, true));
    EXPECT_EQ(m.SetChecked(last, true), c.lastAccepted);
    EXPECT_EQ(m.Checked(last), c.lastAccepted);
    EXPECT_EQ(changes, last + (c.lastAccepted ? 1 : 0));
    if (c.lastAccepted) {
      EXPECT_TRUE(messages.empty());
    } else {
      EXPECT_EQ(messages, std::vector<std::string>{"There is no room for Selected"});
      EXPECT_LT(m.SelectionText().size(), 65536u);
    }
  }
}

TEST(CheckComboModelTest, SelectAllStopsAtTheLimitWithOneMessage) {
  CheckComboModel m;
  m.SetItems({std::string(40000, 'a'), std::string(20000, 'b'), std::string(10000, 'c'), "d"});
  int messages = 0;
  m.OnMessage.Add([&](const std::string&) { ++messages; });
  m.SelectAll();
  EXPECT_EQ(messages, 1);
  EXPECT_TRUE(m.Checked(0));
  EXPECT_TRUE(m.Checked(1));
  EXPECT_FALSE(m.Checked(2));
  EXPECT_FALSE(m.Checked(3));
}

TEST(CheckComboModelTest, PopupLinesAndDefaults) {
  CheckComboModel m;
  EXPECT_EQ(m.EmptyValue(), "<none>");
  EXPECT_EQ(m.CapSelectAll(), "&Select All");
  EXPECT_EQ(m.CapDeSelectAll(), "&DeSelect All");
  EXPECT_EQ(m.Version(), "1.7");
  EXPECT_EQ(m.PopupLines(), 6);
  EXPECT_FALSE(m.SetDropDownLines(5));
  EXPECT_FALSE(m.SetDropDownLines(11));
  EXPECT_TRUE(m.SetDropDownLines(8));
  EXPECT_EQ(m.PopupLines(), 8);

  struct Case {
    int items, columns, lines;
  };
  const Case cases[] = {{21, 3, 8}, {6, 2, 6}, {30, 2, 10}, {30, 1, 8}};
  for (const Case& c : cases) {
    m.SetItems(std::vector<std::string>(static_cast<std::size_t>(c.items), "x"));
    m.SetColumns(c.columns);
    EXPECT_EQ(m.PopupLines(), c.lines) << c.items << " items, " << c.columns << " columns";
  }
}

TEST(CheckComboModelTest, SortedKeepsItemsInOrder) {
  CheckComboModel m;
  m.SetItems({"b", "A", "c"});
  m.SetChecked(0, true);
  m.SetSorted(true);
  EXPECT_EQ(m.Items(), (std::vector<std::string>{"A", "b", "c"}));
  EXPECT_EQ(m.CheckedCount(), 0);
  m.AddItem("B");
  EXPECT_EQ(m.Items(), (std::vector<std::string>{"A", "B", "b", "c"}));
}

TEST(CheckComboPopupPlacement, BelowTheControlUnlessTooCloseToTheScreenBottom) {
  struct Case {
    int controlY;
    int y;
    bool above;
  };
  // Control 145 x 21, items 16 high, 6 lines: pop-up 100 high; screen 0..768.
  const Case cases[] = {
      {200, 221, false},
      {627, 648, false},  // ends 20 pixels above the bottom
      {628, 528, true},   // would end 19 above
      {50, 71, false},
  };
  for (const Case& c : cases) {
    const PopupPlacement p = PlaceCheckComboPopup(100, c.controlY, 145, 21, 16, 6, 0, 768);
    EXPECT_EQ(p.x, 100);
    EXPECT_EQ(p.width, 145);
    EXPECT_EQ(p.height, 100);
    EXPECT_EQ(p.y, c.y) << "control at " << c.controlY;
    EXPECT_EQ(p.above, c.above);
  }
  // A screen too short either way keeps the pop-up on it.
  EXPECT_EQ(PlaceCheckComboPopup(0, 30, 145, 21, 16, 6, 0, 120).y, 0);
}

}  // namespace
}  // namespace zorvan
