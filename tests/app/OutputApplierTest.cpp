#include "app/OutputApplier.h"

#include <gtest/gtest.h>

#include "session/OutArray.h"

namespace zorvan {
namespace {

using K = TControlKind;

struct ApplierFixture : ::testing::Test {
  TForm form{"formTest"};
  TFormRegistry registry;
  TOutArray out;
  TApplyContext context;
  std::vector<std::string> log, messages;
  void SetUp() override {
    registry.Register(form);
    context.registry = &registry;
    context.log = [this](const std::string& t, bool show) { log.push_back((show ? "W:" : "F:") + t); };
    context.messageBox = [this](const std::string& t) { messages.push_back(t); };
  }
  TControlRef Ref(const char* name) { return {"formTest", name}; }
  void Drain() {
    while (out.HasElements()) ApplyElement(*out.TakeElement(), context);
  }
};

TEST_F(ApplierFixture, TextCommandsByControlKind) {
  auto& spin = form.Add("se", K::SpinEdit);
  auto& edit = form.Add("et", K::Edit);
  auto& check = form.Add("cb", K::CheckBox);
  auto& label = form.Add("lb", K::Label);
  auto& gauge = form.Add("gg", K::Gauge);
  auto& combo = form.Add("cmb", K::ComboBox);
  combo.SetItems({"a", "b", "c"});
  auto& memo = form.Add("memo", K::Memo);
  out.PostText(Ref("se"), "abc");  // dropped, the next one still applies
  out.PostText(Ref("et"), "0007");
  out.PostInt(Ref("se"), 12);
  out.PostChecked(Ref("cb"), true);
  out.PostText(Ref("lb"), "f");
  out.PostText(Ref("gg"), "clBlue");
  out.PostText(Ref("gg"), "31");
  out.PostText(Ref("cmb"), "2");
  out.PostText(Ref("memo"), "line");
  out.PostText(Ref("nosuch"), "x");
  Drain();
  EXPECT_EQ(spin.Text(), "12");
  EXPECT_EQ(edit.Text(), "0007");
  EXPECT_TRUE(check.Checked());
  EXPECT_FALSE(label.Enabled());
  EXPECT_EQ(label.Text(), "");
  EXPECT_EQ(gauge.BackColor(), "clBlue");
  EXPECT_EQ(gauge.Position(), 31);
  EXPECT_EQ(combo.Text(), "c");
  out.PostText(Ref("cmb"), "*free");
  Drain();
  EXPECT_EQ(combo.Text(), "free");
  EXPECT_EQ(memo.Lines(), (std::vector<std::string>{"line"}));
}

TEST_F(ApplierFixture, ClicksTreeNodesAndForms) {
  auto& button = form.Add("tbtn", K::ToolButton);
  button.SetEnabled(false);
  int clicks = 0;
  button.onClick = [&](TControl&) { ++clicks; };
  auto& radio = form.Add("rb", K::RadioButton);
  int radioClicks = 0;
  radio.onClick = [&](TControl&) { ++radioClicks; };
  auto& tree = form.Add("tv1", K::TreeView);
  std::vector<TTreeNode> nodes(14);
  tree.SetNodes(nodes);
  out.PostText(Ref("tbtn"), "Click");
  out.PostChecked(Ref("rb"), true);
  out.PostChecked(Ref("rb"), false);
  out.PostText(Ref("tv1"), "12");
  out.PostText(Ref("tv1"), "99");
  out.PostText(Ref("tv1"), "false");
  out.PostText({"formTest", ""}, "Hide");
  Drain();
  EXPECT_EQ(clicks, 1);  // a disabled button still runs its handler
  EXPECT_TRUE(radio.Checked());
  EXPECT_EQ(radioClicks, 1);
  EXPECT_EQ(tree.SelectedNode(), 12);
  EXPECT_FALSE(tree.Enabled());
  EXPECT_FALSE(form.Self().Visible());
}

TEST_F(ApplierFixture, ColoursMenusListsGridsLogAndMessages) {
  auto& edit = form.Add("et", K::Edit);
  auto& label = form.Add("lb", K::Label);
  auto& menu = form.Add("mnu", K::MenuItem);
  auto& list = form.Add("lv", K::ListView);
  auto& grid = form.Add("sg", K::StringGrid);
  out.PostColor(Ref("et"), clRed);
  out.PostColor(Ref("lb"), clBlue);
  out.PostComponent(Ref("mnu"), "false");
  out.PostListFill(Ref("lv"), "cap", {"a", "b"});
  out.PostGridCell(Ref("sg"), "x", 2, 1);
  out.PostLog("hello", true, false);
  out.PostLog("file only", false, false);
  out.PostMessageBox("done");
  Drain();
  EXPECT_EQ(edit.BackColor(), "clRed");
  EXPECT_EQ(label.FontColor(), "clBlue");
  EXPECT_FALSE(menu.Enabled());
  EXPECT_EQ(list.Rows(), (std::vector<std::vector<std::string>>{{"cap", "a", "b"}}));
  EXPECT_EQ(grid.Cell(2, 1), "x");
  EXPECT_EQ(log, (std::vector<std::string>{"W:hello", "F:file only"}));
  EXPECT_EQ(messages, (std::vector<std::string>{"done"}));
}

}  // namespace
}  // namespace zorvan
