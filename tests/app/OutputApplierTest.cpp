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

// A page that takes the channel-type texts ("w" + digit + code) itself and keeps what it is
// told as a whole, as the channels and SMS pages do.
class TChannelsLikeForm : public TForm {
 public:
  TChannelsLikeForm() : TForm("formWays") {}
  bool ApplyText(TControl& target, const std::string& text) override {
    if (!target.IsA(K::ComboBoxEx) || text.size() != 4 || text[0] != 'w') return false;
    TControl& box = (*this)["cb" + std::to_string(text[1] - '0' + 1)];
    for (int i = 0; i < static_cast<int>(box.Items().size()); ++i)
      if (box.ItemCode(i) == std::stoi(text.substr(2))) box.SetItemIndex(i);
    return true;
  }
  void Applied(TControl& target) override { applied.push_back(target.Name()); }
  void ApplyOutput(const TPageOutput& output) override { outputs.push_back(output); }
  std::vector<std::string> applied;
  std::vector<TPageOutput> outputs;
};

TEST_F(ApplierFixture, SlidersCheckedCombosListsAndPageOutput) {
  TChannelsLikeForm ways;
  registry.Register(ways);
  auto& cb1 = ways.Add("cb1", K::ComboBoxEx);
  auto& cb2 = ways.Add("cb2", K::ComboBoxEx);
  cb2.SetListItems({{"GSM", 1}, {"GPRS", 31}, {"CSD", 2}});
  auto& slider = ways.Add("tsn1", K::Slider);
  slider.SetThumbs({0, 0, 0, 0, 0});
  int drags = 0;
  slider.OnChange([&](TControl&) { ++drags; });
  auto& combo = form.Add("cbExit", K::CheckCombo);
  combo.SetItems({"1", "3", "4"});
  auto& list = form.Add("lv", K::ListView);
  list.AddRow({"old"});

  out.PostText({"formWays", "cb1"}, "w131");  // channel 2 takes the type coded 31
  out.PostSlider({"formWays", "tsn1"}, 2, "400");
  out.PostSliderPosition({"formWays", "tsn1"}, 215);
  out.PostText(Ref("cbExit"), "09");  // partitions 1 and 4
  out.PostText(Ref("lv"), "Clear");
  out.PostToPage("formWays", "sms", {"a", "b"}, {3});
  Drain();
  EXPECT_EQ(cb2.ItemIndex(), 1);
  EXPECT_EQ(cb1.ItemIndex(), -1);
  EXPECT_EQ(slider.Thumbs(), (std::vector<int>{0, 0, 385, 0, 0}));
  EXPECT_EQ(slider.Position(), 200);
  EXPECT_EQ(drags, 0);  // set by code, not dragged
  EXPECT_EQ(ways.applied, (std::vector<std::string>{"tsn1", "tsn1"}));
  EXPECT_TRUE(combo.Enabled());
  EXPECT_TRUE(combo.ItemChecked(0));
  EXPECT_FALSE(combo.ItemChecked(1));
  EXPECT_TRUE(combo.ItemChecked(2));
  EXPECT_TRUE(list.Rows().empty());
  EXPECT_TRUE(list.Enabled());
  ASSERT_EQ(ways.outputs.size(), 1u);
  EXPECT_EQ(ways.outputs[0].topic, "sms");
  EXPECT_EQ(ways.outputs[0].texts, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(ways.outputs[0].numbers, (std::vector<long long>{3}));
}

}  // namespace
}  // namespace zorvan
