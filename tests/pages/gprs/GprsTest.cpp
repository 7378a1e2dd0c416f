// The GPRS page: its defaults and adaptation, and its exchange with the virtual panel.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/Cp1251.h"
#include "link/Clock.h"
#include "pages/gprs/Gprs.h"
#include "tests/pages/PageRig.h"

namespace zorvan {
namespace {

using test::TPageRig;

TformGPRS& Page(TShell& shell) { return *shell.PageSet().Get<TformGPRS>(); }

bool Has(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(GprsPage, DefaultsAdaptationAndSettingsFile) {
  TShell shell("./");
  TformGPRS& page = Page(shell);
  EXPECT_EQ(page.etSIM1Phone.Text(), "*99#");
  EXPECT_EQ(page.etServerPswd1.Text(), "MovaPeka");
  page.SetDefaults();
  EXPECT_EQ(Cp1251ToUtf8(page.cbTime.Text()), "3 минуты");
  EXPECT_TRUE(page.cbP.Checked());
  EXPECT_EQ(page.etServerAddr2.Text(), "0.0.0.0");
  EXPECT_NE(page.etSIM1LOGIN.Text(), page.etSIM2Login.Text());
  EXPECT_EQ(page.etSIM2Login.Text().size(), 7u);
  EXPECT_EQ(page.etSIM2Login.Text(), page.etSIM2Pswd.Text());

  page.AdaptToPanel({9, 3, 12});
  EXPECT_FALSE(page.GroupBox2.Enabled());
  EXPECT_FALSE(page.etSIM2Addr.Enabled());
  EXPECT_TRUE(page.etSIM1ADDR.Enabled());
  page.AdaptToPanel({101, 5, 3});
  EXPECT_FALSE(page.GroupBox2.Visible());
  EXPECT_EQ(Cp1251ToUtf8(page.GroupBox3.Text()), "Настройки SIM");
  page.AdaptToPanel({9, 5, 12});
  EXPECT_TRUE(page.GroupBox2.Visible());
  EXPECT_TRUE(page.etSIM2Addr.Enabled());

  page.etServerPswd1.SetText("AB CD");
  EXPECT_EQ(page.etServerPswd1.Text(), "AB0CD");
  page.cbTime.SetItemIndex(9);
  TIniFile ini;
  page.SaveToIni(ini);
  EXPECT_EQ(ini.ReadInteger("formGPRS", "cbTime", -1), 9);
  ini.DeleteKey("formGPRS", "etSIM1ADDR");
  ini.DeleteKey("formGPRS", "etServerPswd2");
  page.etSIM1ADDR.SetText("apn.kept");
  page.etServerPswd2.SetText("Kept1234");
  page.cbTime.SetItemIndex(0);
  page.LoadFromIni(ini);
  // A key the file lacks leaves its field as it was.
  EXPECT_EQ(page.etSIM1ADDR.Text(), "apn.kept");
  EXPECT_EQ(page.etServerPswd2.Text(), "Kept1234");
  EXPECT_EQ(page.cbTime.ItemIndex(), 9);
}

TEST(GprsOnPanel, WriteFillsEmptyFieldsAndTheBackupServer) {
  TPageRig rig;
  ASSERT_TRUE(rig.Connect());
  TformGPRS& page = Page(rig.shell);
  page.cbTime.SetItemIndex(9);
  page.etSIM2Addr.SetText("");
  page.etServerAddr1.SetText("10.1.2.3");
  page.etServerAddr2.SetText("");
  page.etServerPort1.SetText("");
  page.etServerPort2.SetText("");
  page.etServerPswd1.SetText("AB");
  std::size_t mark = rig.Mark();
  rig.WritePage("formGPRS");
  const auto sent = rig.SentSince(mark);
  EXPECT_TRUE(Has(sent, "+GT=1000"));
  EXPECT_TRUE(Has(sent, "+GS1=10.1.2.3"));
  EXPECT_TRUE(Has(sent, "+GS2=10.1.2.3"));
  EXPECT_TRUE(Has(sent, "+GG1=3058"));
  EXPECT_TRUE(Has(sent, "+GG2=3058"));
  EXPECT_TRUE(Has(sent, "+GI1=AB000000"));
  EXPECT_TRUE(Has(sent, "+GN2=internet.mts.ru"));
  EXPECT_EQ(sent.front(), "+GC1=*99#");
  EXPECT_EQ(sent.back(), "+P=0");
  EXPECT_EQ(page.etServerAddr2.Text(), "10.1.2.3");  // what was sent is shown
  EXPECT_EQ(page.etServerPswd1.Text(), "AB000000");
  EXPECT_TRUE(rig.shell.Failures().empty());

  // Both server addresses empty: both get the built-in one.
  page.etServerAddr1.SetText("");
  page.etServerAddr2.SetText("");
  mark = rig.Mark();
  rig.WritePage("formGPRS");
  EXPECT_TRUE(Has(rig.SentSince(mark), "+GS1=0.0.0.0"));
  EXPECT_TRUE(Has(rig.SentSince(mark), "+GS2=0.0.0.0"));

  // A typed address or port the field's rule refuses is not sent; the rest of the page goes.
  page.etServerAddr1.SetText("999.1.2.3");
  page.etServerPort2.SetText("70000");
  mark = rig.Mark();
  rig.WritePage("formGPRS");
  EXPECT_FALSE(Has(rig.SentSince(mark), "+GS1=999.1.2.3"));
  EXPECT_FALSE(Has(rig.SentSince(mark), "+GG2=70000"));
  EXPECT_TRUE(Has(rig.SentSince(mark), "+GS2=0.0.0.0"));
  ASSERT_EQ(rig.shell.Failures().size(), 2u);
  EXPECT_EQ(rig.shell.Failures()[0].command, "+GS1");
  page.etServerAddr1.SetText("monitor.example-1.ru");
  page.etServerPort2.SetText("3058");

  rig.Preset("+GT=0500");
  rig.Preset("+GN1=apn.example");
  rig.Preset("+P=1");
  rig.ReadPage("formGPRS");
  EXPECT_EQ(Cp1251ToUtf8(page.cbTime.Text()), "5 минут");
  EXPECT_EQ(page.etSIM1ADDR.Text(), "apn.example");
  EXPECT_TRUE(page.cbP.Checked());
  EXPECT_EQ(page.lbGPRSTimeOut.FontColor(), "clBlue");
}

TEST(GprsOnPanel, AOneSimPanelGetsTheFirstCardsDataInBothSlots) {
  TPageRig rig(test::Unthrottled("101.005.003"));
  ASSERT_TRUE(rig.Connect());
  TformGPRS& page = Page(rig.shell);
  page.etSIM1ADDR.SetText("one.apn");
  page.etSIM2Addr.SetText("two.apn");
  std::size_t mark = rig.Mark();
  rig.WritePage("formGPRS");
  EXPECT_TRUE(Has(rig.SentSince(mark), "+GN1=one.apn"));
  EXPECT_TRUE(Has(rig.SentSince(mark), "+GN2=one.apn"));
  EXPECT_FALSE(Has(rig.SentSince(mark), "+GN2=two.apn"));
}

TEST(GprsOnPanel, UnreadableOrRefusedRepliesFailTheirParameterAndTheReadGoesOn) {
  TScopedTimeScale fast(0.02);
  TPageRig rig;
  ASSERT_TRUE(rig.Connect());
  TformGPRS& page = Page(rig.shell);
  rig.panel.Parameters().Override("GT", [](const sim::TCommand&) { return sim::TAnswer::Ok("xx"); });
  rig.panel.AddFault({sim::TFaultKind::Err, "+GN1", -1});
  page.cbTime.SetItemIndex(3);
  rig.ReadPage("formGPRS");
  EXPECT_EQ(page.lbetSIM1ADDR.FontColor(), "clRed");  // a refusal is no value
  EXPECT_EQ(page.cbTime.ItemIndex(), 3);
  EXPECT_EQ(page.lbGPRSTimeOut.FontColor(), "clRed");
  EXPECT_EQ(page.lbP.FontColor(), "clBlue");  // the read goes on
  std::vector<std::string> failures;
  for (const auto& f : rig.shell.Failures()) failures.push_back(Cp1251ToUtf8(TShell::FailureText(f)));
  EXPECT_EQ(failures, (std::vector<std::string>{"Точка доступа GPRS (+GN1): панель ответила ERR",
                                                "Пауза между попытками установить GPRS соединения (+GT): ответ панели не распознан"}));
}

}  // namespace
}  // namespace zorvan
