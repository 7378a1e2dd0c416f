// The outputs page: the siren time rule, its settings-file key, the reads and writes and the
// output links against the virtual panel.
#include <gtest/gtest.h>

#include "base/Cp1251.h"
#include "pages/outs/Outs.h"
#include "tests/pages/PageRig.h"

namespace zorvan {
namespace {

using test::TPageRig;

TformOuts& Page(TShell& shell) { return *shell.PageSet().Get<TformOuts>(); }

TEST(OutsPage, SirenTimeStaysANumberUpTo255AndSurvivesASettingsFile) {
  TShell shell("./");
  TformOuts& page = Page(shell);
  const std::pair<const char*, const char*> typed[] = {{"300", "255"}, {"abc", "1"}, {"", "1"}, {"45", "45"},
                                                       {"0", "0"},     {"-5", "1"}};
  for (const auto& [text, kept] : typed) {
    page.SyrenTimeComboBox.SetText(text);
    EXPECT_EQ(page.SyrenTimeComboBox.Text(), kept) << text;
  }
  page.SetDefaults();
  EXPECT_EQ(page.SyrenTimeComboBox.Text(), "120");
  page.SyrenTimeComboBox.SetText("45");
  TIniFile ini;
  page.SaveToIni(ini);
  EXPECT_EQ(ini.ReadString("formOuts", "SyrenTimeComboBoxText", ""), "45");
  page.SetDefaults();
  page.LoadFromIni(ini);
  EXPECT_EQ(page.SyrenTimeComboBox.Text(), "45");
  page.LoadFromIni(TIniFile());  // a file without the page changes nothing
  EXPECT_EQ(page.SyrenTimeComboBox.Text(), "45");
  // The time's own key passes the field's rules like a typed time, and counts as the field's.
  TIniFile own;
  own.WriteString("formOuts", "SyrenTimeComboBoxText", "300");
  EXPECT_TRUE(page.FileHolds(own, page.SyrenTimeComboBox));
  page.LoadFromIni(own);
  EXPECT_EQ(page.SyrenTimeComboBox.Text(), "255");
}

TEST(OutsOnPanel, SirenValuesGoAndComeBack) {
  TPageRig rig;
  ASSERT_TRUE(rig.Connect());
  TformOuts& page = Page(rig.shell);
  page.SyrenTimeComboBox.SetText("30");
  page.SyrenCancelCheckBox.SetChecked(true);
  std::size_t mark = rig.Mark();
  rig.WritePage("formOuts");
  EXPECT_EQ(rig.SentSince(mark), (std::vector<std::string>{"+y=1E", "+yc=1"}));
  EXPECT_EQ(page.SyrenTimeLabel.FontColor(), "clBlue");

  page.SyrenTimeComboBox.SetText("60");
  page.SyrenCancelCheckBox.SetChecked(false);
  mark = rig.Mark();
  rig.ReadPage("formOuts");
  EXPECT_EQ(rig.SentSince(mark), (std::vector<std::string>{"+e", "+y", "+yc"}));
  EXPECT_EQ(page.SyrenTimeComboBox.Text(), "30");
  EXPECT_TRUE(page.SyrenCancelCheckBox.Checked());
  EXPECT_TRUE(rig.shell.Failures().empty());

  // What the panel holds is shown, even when it is no number.
  const std::pair<const char*, const char*> answers[] = {{"00", "1"}, {"01", "1"}, {"FF", "255"}, {"xx", "255"}};
  for (const auto& [answer, shown] : answers) {
    const std::string reply = answer;
    rig.panel.Parameters().Override("y", [reply](const sim::TCommand&) { return sim::TAnswer::Ok(reply); });
    rig.ReadPage("formOuts");
    EXPECT_EQ(page.SyrenTimeComboBox.Text(), shown) << answer;
    EXPECT_EQ(page.SyrenTimeLabel.FontColor(), "clBlue") << answer;
  }
}

TEST(OutsOnPanel, LinksSwitchTheOutputThePanelReports) {
  TPageRig rig;
  TformOuts& page = Page(rig.shell);
  page.URLLabel1.Click();  // not connected: nothing happens
  EXPECT_EQ(Cp1251ToUtf8(page.URLLabel1.Text()), "Включить");
  ASSERT_TRUE(rig.Connect());

  rig.Preset("+e=12");  // ОК2 on
  rig.ReadPage("formOuts");
  EXPECT_EQ(Cp1251ToUtf8(page.URLLabel1.Text()), "Включить");
  EXPECT_EQ(page.URLLabel1.FontColor(), "clGreen");
  EXPECT_EQ(Cp1251ToUtf8(page.URLLabel2.Text()), "Выключить");
  EXPECT_EQ(page.URLLabel2.FontColor(), "clRed");

  std::size_t mark = rig.Mark();
  rig.Run([&] { page.URLLabel1.Click(); });
  EXPECT_EQ(rig.SentSince(mark), (std::vector<std::string>{"+e", "+e=13"}));
  EXPECT_EQ(Cp1251ToUtf8(page.URLLabel1.Text()), "Выключить");  // flipped at once

  rig.Preset("+e=12");
  mark = rig.Mark();
  rig.Run([&] { page.URLLabel2.Click(); });
  EXPECT_EQ(rig.SentSince(mark), (std::vector<std::string>{"+e", "+e=10"}));
}

}  // namespace
}  // namespace zorvan
