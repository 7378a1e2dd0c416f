// Control semantics the pages rely on, without a view.
#include "model/Control.h"

#include <gtest/gtest.h>

#include "base/Cp1251.h"
#include "model/Page.h"

namespace zorvan {
namespace {

using K = TControlKind;

// Two loop-type buttons declared as one group, and two connectors of another group on the
// same form: checking a button never touches the other group.
struct RadioForm : TformIncl {
  RadioForm() : TformIncl("formRadio") { ResolveStatusLabels(); }
  ZORVAN_CONTROL(rzt0, K::RadioButton, .hint = "true", .group = "loopType");
  ZORVAN_CONTROL(rzt1, K::RadioButton, .hint = "false", .group = "loopType");
  ZORVAN_CONTROLS(rbAnd, 2, K::RadioButton, .hint = "false", .group = "connector%d");
  ZORVAN_CONTROLS(rbOr, 2, K::RadioButton, .hint = "true", .group = "connector%d");
};

std::vector<bool> States(const RadioForm& f) {
  return {f.rzt0.Checked(), f.rzt1.Checked(), f.rbAnd[1].Checked(), f.rbOr[1].Checked(), f.rbAnd[2].Checked(),
          f.rbOr[2].Checked()};
}

TEST(RadioGroups, CheckingOneUnchecksTheOthersOfItsGroupOnly) {
  RadioForm f;
  f.SetDefaults();
  EXPECT_EQ(States(f), (std::vector<bool>{true, false, false, true, false, true}));
  f.rzt1.SetChecked(true);
  f.rbAnd[1].SetChecked(true);
  EXPECT_EQ(States(f), (std::vector<bool>{false, true, true, false, false, true}));
  EXPECT_EQ(f.rzt0.CheckedRadio(), &f.rzt1);
  EXPECT_EQ(f.rbOr[2].RadioGroupMembers(), (std::vector<TControl*>{&f.rbAnd[2], &f.rbOr[2]}));
}

// Handlers run after the whole group has settled: the one turned off, then the one turned on.
TEST(RadioGroups, HandlersSeeTheGroupSettled) {
  RadioForm f;
  f.SetDefaults();
  std::vector<std::string> seen;
  for (TControl* c : {&f.rzt0, &f.rzt1})
    c->OnChange([&](TControl& changed) {
      seen.push_back(changed.Name() + (changed.Checked() ? "+" : "-") + " checked:" + changed.CheckedRadio()->Name());
    });
  f.rzt1.SetChecked(true);
  EXPECT_EQ(seen, (std::vector<std::string>{"rzt0- checked:rzt1", "rzt1+ checked:rzt1"}));
  seen.clear();
  f.rzt1.SetChecked(true);  // already checked: nothing changes
  EXPECT_TRUE(seen.empty());
}

// A file that marks both buttons of a group keeps one: the last one read, as if it had been
// clicked last. What a file lacks stays as it was.
TEST(RadioGroups, LoadedFileLeavesTheGroupExclusive) {
  RadioForm f;
  f.SetDefaults();
  TIniFile ini;
  ini.WriteString("formRadio", "rzt0", "1");
  ini.WriteString("formRadio", "rzt1", "1");
  ini.WriteString("formRadio", "rbAnd1", "1");
  ini.WriteString("formRadio", "rbOr1", "0");
  f.LoadFromIni(ini);
  EXPECT_EQ(States(f), (std::vector<bool>{false, true, true, false, false, true}));
  f.LoadFromIni(TIniFile{});
  EXPECT_EQ(States(f), (std::vector<bool>{false, true, true, false, false, true}));
}

TEST(RadioGroups, AButtonBelongsToOneGroup) {
  TForm form("formTest");
  auto& rb = form.Add("rb", K::RadioButton);
  form.JoinRadioGroup(rb, "a");
  form.JoinRadioGroup(rb, "a");  // again: no change
  EXPECT_EQ(rb.RadioGroupMembers().size(), 1u);
  EXPECT_THROW(form.JoinRadioGroup(rb, "b"), std::logic_error);
}

// Ten codes by six partitions, with a caption and a status label that take both numbers.
struct GridForm : TForm {
  GridForm() : TForm("formGrid") { ResolveStatusLabels(); }
  ZORVAN_CONTROLS(lbNum, 10, K::Label);
  ZORVAN_CONTROLS2(cbRazd, 10, 6, K::CheckBox, .caption = "код %d, раздел %d", .status = "lbNum%d");
};

TEST(ControlGrids, NamesCaptionsAndTypedAccessTakeBothNumbers) {
  GridForm f;
  EXPECT_EQ(f.cbRazd.Count(), 10);
  EXPECT_EQ(f.cbRazd[1].Count(), 6);
  EXPECT_EQ(f.cbRazd[1][1].Name(), "cbRazd11");
  EXPECT_EQ(f.cbRazd[10][6].Name(), "cbRazd106");
  EXPECT_EQ(&f["cbRazd34"], &f.cbRazd[3][4]);
  EXPECT_EQ(f.cbRazd[10][2].Text(), W("код 10, раздел 2"));
  // The status label's "%d" takes the first number: the row's label here.
  EXPECT_EQ(f.cbRazd[4][6].StatusLabel(), &f.lbNum[4]);
  EXPECT_EQ(f.cbRazd[10][1].StatusLabel(), &f.lbNum[10]);
  // Component order: row by row.
  std::vector<std::string> order;
  for (const auto& c : f.Controls())
    if (c->Name().starts_with("cbRazd")) order.push_back(c->Name());
  EXPECT_EQ(order.size(), 60u);
  EXPECT_EQ(order[5], "cbRazd16");
  EXPECT_EQ(order[6], "cbRazd21");
  EXPECT_EQ(order[54], "cbRazd101");
}

// Counts whose names would run together ("1" + "11" and "11" + "1") are refused when the form
// is built.
TEST(ControlGrids, NamesThatRunTogetherAreRefused) {
  struct Clash : TForm {
    Clash() : TForm("formClash") { DeclareGrid(11, 11, {.name = "cb", .kind = K::CheckBox}); }
  };
  EXPECT_THROW(Clash{}, std::logic_error);
}

// A position set by code (a read, the live value, another slider's rule) runs no handler; the
// user's drag runs them once per change.
TEST(Sliders, OnlyTheUsersDragRunsTheHandlers) {
  TControl slider("tsn1", K::Slider);
  int changes = 0;
  slider.OnChange([&](TControl&) { ++changes; });
  slider.SetThumbs({0, 228, 371, 487, 759});
  slider.SetThumb(2, 300);
  slider.SetPosition(120);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(slider.Thumbs(), (std::vector<int>{0, 228, 300, 487, 759}));
  slider.DragThumbs({0, 228, 310, 487, 759});
  EXPECT_EQ(changes, 1);
  slider.DragThumbs({0, 228, 310, 487, 759});  // the mouse moved, the thumbs did not
  EXPECT_EQ(changes, 1);
}

TEST(ListRows, ReplaceRemoveClearAndSelection) {
  TControl list("lv1", K::ListView);
  std::vector<int> selections;
  list.OnChange([&](TControl& c) { selections.push_back(c.SelectedRow()); });
  for (const char* n : {"1", "2", "3", "4"}) list.AddRow({n, std::string("text ") + n});
  list.SetCellColors(1, 3, "clRed", "clWhite");
  list.SelectRow(2);
  list.SelectRow(2);  // no change: no handler
  list.SelectRow(9);  // beyond the rows: nothing selected
  list.SelectRow(2);
  EXPECT_EQ(selections, (std::vector<int>{2, -1, 2}));

  list.SetRow(1, {"2", "new"});
  list.SetRow(7, {"x"});  // beyond the rows: ignored
  EXPECT_EQ(list.Cell(1, 1), "new");
  EXPECT_EQ(list.Rows().size(), 4u);

  // A row above the selection goes: the selected row moves up with its texts and colours.
  list.RemoveRow(0);
  EXPECT_EQ(list.SelectedRow(), 1);
  EXPECT_EQ(list.Cell(0, 1), "3");
  EXPECT_EQ(list.CellColors(1, 2), (std::pair<std::string, std::string>{"clRed", "clWhite"}));
  EXPECT_EQ(list.CellColors(1, 3), (std::pair<std::string, std::string>{}));
  EXPECT_EQ(selections.size(), 3u);
  // The selected row goes: nothing is selected.
  list.RemoveRow(1);
  EXPECT_EQ(list.SelectedRow(), -1);
  EXPECT_EQ(selections.back(), -1);
  EXPECT_EQ(list.Rows(), (std::vector<std::vector<std::string>>{{"2", "new"}, {"4", "text 4"}}));
  list.SelectRow(1);
  list.ClearRows();
  EXPECT_TRUE(list.Rows().empty());
  EXPECT_EQ(list.SelectedRow(), -1);
  EXPECT_EQ(selections, (std::vector<int>{2, -1, 2, -1, 1, -1}));
}

TEST(Memos, SetLinesRunsTheHandlersOnAChange) {
  TControl memo("mtext", K::Memo);
  int changes = 0;
  memo.OnChange([&](TControl&) { ++changes; });
  memo.SetLines({"first", "second"});
  memo.SetLines({"first", "second"});
  EXPECT_EQ(changes, 1);
  memo.AppendLine("third");  // the log's way: no handler
  EXPECT_EQ(memo.Lines(), (std::vector<std::string>{"first", "second", "third"}));
  EXPECT_EQ(changes, 1);
}

TEST(ColumnWidths, KeptPerColumnZeroForNone) {
  TControl grid("StringGrid1", K::StringGrid);
  grid.SetColumnWidth(11, 300);
  grid.SetColumnWidth(-1, 50);
  grid.SetColumnWidth(2, -5);
  EXPECT_EQ(grid.ColumnWidth(11), 300);
  EXPECT_EQ(grid.ColumnWidth(2), 0);
  EXPECT_EQ(grid.ColumnWidth(12), 0);
  EXPECT_EQ(grid.ColumnWidths().size(), 12u);
}

}  // namespace
}  // namespace zorvan
