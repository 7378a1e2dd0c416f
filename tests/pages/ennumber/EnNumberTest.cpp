// The engineer numbers page: its rule, its settings-file section and its exchange with the
// virtual panel through the shell.
#include <gtest/gtest.h>

#include "base/Cp1251.h"
#include "link/Clock.h"
#include "pages/ennumber/EnNumber.h"
#include "tests/pages/PageRig.h"

namespace zorvan {
namespace {

using test::TPageRig;

TFormEnNumber& Page(TShell& shell) { return *shell.PageSet().Get<TFormEnNumber>(); }

TEST(EnNumberPage, AnyNumberDisablesTheNumbersWhateverChangesTheBox) {
  TShell shell("./");
  TFormEnNumber& page = Page(shell);
  EXPECT_FALSE(page.cbEnNumber.Checked());
  EXPECT_TRUE(page.etN[3].Enabled());
  EXPECT_EQ(page.etN[3].BackColor(), "clWindow");
  EXPECT_EQ(Cp1251ToUtf8(page.lN[4].Text()), "Номер 4");
  page.etN[2].SetText("+79001234567");
  page.SetDefaults();
  EXPECT_TRUE(page.cbEnNumber.Checked());
  EXPECT_EQ(page.etN[2].Text(), "");
  for (TControl* number : page.etN) {
    EXPECT_FALSE(number->Enabled());
    EXPECT_EQ(number->BackColor(), "clBtnFace");
  }
  // A settings file with the box unchecked brings the numbers back to life.
  TIniFile ini;
  ini.WriteBool("FormEnNumber", "cbEnNumber", false);
  ini.WriteString("FormEnNumber", "etN5", "8W123");
  page.LoadFromIni(ini);
  EXPECT_TRUE(page.etN[1].Enabled());
  EXPECT_EQ(page.etN[5].Text(), "8W123");
  EXPECT_EQ(page.etN[1].Text(), "");  // a plain page: a missing key empties the field
  TIniFile saved;
  page.SaveToIni(saved);
  EXPECT_EQ(saved.ReadString("FormEnNumber", "etN5", ""), "8W123");
  EXPECT_EQ(saved.ReadString("FormEnNumber", "cbEnNumber", ""), "0");
}

TEST(EnNumberPage, KeyFilterTakesDigitsPlusAndPause) {
  for (char key : std::string("0189+Ww\b")) EXPECT_EQ(FilterEngineerNumberKey(key), key) << key;
  for (char key : std::string("a-#* ")) EXPECT_EQ(FilterEngineerNumberKey(key), 0) << key;
}

TEST(EnNumberOnPanel, WritesAndReadsBack) {
  TPageRig rig;
  ASSERT_TRUE(rig.Connect());
  TFormEnNumber& page = Page(rig.shell);

  // All numbers empty and the box unchecked: the panel stays configurable from any number.
  std::size_t mark = rig.Mark();
  rig.WritePage("FormEnNumber");
  EXPECT_EQ(rig.SentSince(mark), (std::vector<std::string>{"+E=0", "+J0=", "+J1=", "+J2=", "+J3=", "+J4="}));
  EXPECT_TRUE(page.cbEnNumber.Checked());
  EXPECT_FALSE(page.etN[1].Enabled());

  // One number in the third field, the box unchecked: only the engineers, the number in slot 2.
  page.cbEnNumber.SetChecked(false);
  page.etN[3].SetText("+79001234567");
  mark = rig.Mark();
  rig.WritePage("FormEnNumber");
  EXPECT_EQ(rig.SentSince(mark),
            (std::vector<std::string>{"+E=1", "+J0=", "+J1=", "+J2=+79001234567", "+J3=", "+J4="}));
  EXPECT_TRUE(rig.shell.Failures().empty());
  EXPECT_EQ(page.lN[3].FontColor(), "clBlue");

  page.cbEnNumber.SetChecked(true);
  page.etN[3].SetText("");
  mark = rig.Mark();
  rig.ReadPage("FormEnNumber");
  EXPECT_EQ(rig.SentSince(mark), (std::vector<std::string>{"+E", "+j0", "+j1", "+j2", "+j3", "+j4"}));
  EXPECT_FALSE(page.cbEnNumber.Checked());
  EXPECT_TRUE(page.etN[3].Enabled());
  EXPECT_EQ(page.etN[3].Text(), "+79001234567");
  EXPECT_EQ(page.lbEnNumber.FontColor(), "clBlue");

  rig.Preset("+E=0");
  rig.ReadPage("FormEnNumber");
  EXPECT_TRUE(page.cbEnNumber.Checked());
  EXPECT_FALSE(page.etN[3].Enabled());
}

TEST(EnNumberOnPanel, AFailedNumberIsEmptyRedAndNamed) {
  TScopedTimeScale fast(0.02);
  TPageRig rig;
  ASSERT_TRUE(rig.Connect());
  TFormEnNumber& page = Page(rig.shell);
  rig.Preset("+J3=123");
  page.etN[4].SetText("stale");
  rig.panel.AddFault({sim::TFaultKind::Silent, "+j3", -1});
  rig.ReadPage("FormEnNumber");
  EXPECT_EQ(page.etN[4].Text(), "");
  EXPECT_EQ(page.lN[4].FontColor(), "clRed");
  EXPECT_EQ(page.lN[5].FontColor(), "clBlue");
  ASSERT_EQ(rig.shell.Failures().size(), 1u);
  EXPECT_EQ(Cp1251ToUtf8(TShell::FailureText(rig.shell.Failures()[0])), "Номер 4 (+j3): панель не ответила");

  // A refusal is not silence.
  rig.panel.ClearFaults();
  rig.panel.AddFault({sim::TFaultKind::Err, "+J1=555", -1});
  page.cbEnNumber.SetChecked(false);
  page.etN[2].SetText("555");
  rig.WritePage("FormEnNumber");
  ASSERT_EQ(rig.shell.Failures().size(), 1u);
  EXPECT_EQ(Cp1251ToUtf8(TShell::FailureText(rig.shell.Failures()[0])), "Номер 2 (+J1): панель ответила ERR");
}

}  // namespace
}  // namespace zorvan
