// The general settings page through the shell, against the virtual panel on a pseudo-terminal.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "base/Cp1251.h"
#include "app/HeadlessView.h"
#include "link/Clock.h"
#include "pages/common/Common.h"
#include "sim/VirtualPanel.h"
#include "tests/pages/PageRig.h"

namespace zorvan {
namespace {

namespace fs = std::filesystem;

using test::Unthrottled;

struct Rig : test::TPageRig {
  explicit Rig(sim::TPanelOptions options = Unthrottled()) : TPageRig(std::move(options), "common") {}
  TformCommon& Page() { return *shell.PageSet().Get<TformCommon>(); }
  TControl& operator[](const char* name) { return Page()[name]; }
};

TEST(CommonOnPanel, WriteNormalisesValuesAndReadBringsThemBack) {
  Rig rig;
  rig.shell.Connect();
  ASSERT_TRUE(rig.shell.Connected());
  rig.shell.Drain();
  EXPECT_TRUE(rig["IMEIidentGroup"].Visible());  // 09.005.012: build 12 has IMEI ident
  rig["etO"].SetText("7");
  rig["etKey"].SetText("999");
  rig["ChIMEI"].SetChecked(true);
  rig.Run([&] { rig.shell.WritePage(); });
  EXPECT_TRUE(rig.Sent("+o=0007"));
  EXPECT_TRUE(rig.Sent("+FMW=5281"));
  EXPECT_TRUE(rig.Sent("+P2=1"));
  EXPECT_EQ(rig.panel.Common().ObjectNumber(), "0007");
  EXPECT_TRUE(rig.panel.Common().Imei());
  EXPECT_EQ(rig["etO"].Text(), "0007");
  EXPECT_EQ(rig["etKey"].Text(), "5281");
  for (const char* label : {"lbO", "lbKey", "LIMEI"}) EXPECT_EQ(rig[label].FontColor(), "clBlue") << label;

  rig["ChIMEI"].SetChecked(false);
  rig["etKey"].SetText("4321");
  rig.Run([&] { rig.shell.ReadPage(); });
  EXPECT_EQ(rig["etO"].Text(), "0007");
  EXPECT_EQ(rig["etKey"].Text(), "5281");
  EXPECT_TRUE(rig["ChIMEI"].Checked());
  EXPECT_TRUE(rig.Sent("+P2"));
  for (const char* label : {"lbO", "lbKey", "LIMEI"}) EXPECT_EQ(rig[label].FontColor(), "clBlue") << label;

  for (const char* empty : {"", "0000"}) {
    rig["etO"].SetText(empty);
    rig["etKey"].SetText("1234");
    rig.Run([&] { rig.shell.WritePage(); });
    EXPECT_EQ(rig["etO"].Text(), "0050") << '"' << empty << '"';
  }
  EXPECT_EQ(rig.Count("+o=0050"), 2);
  EXPECT_EQ(rig.panel.Common().MasterCode(), "1234");
}

TEST(CommonOnPanel, ImeiIdentIsOnlyExchangedOnFamilyNineBuildsTwoTo999) {
  const std::pair<const char*, bool> cases[] = {
      {"09.005.012", true}, {"09.005.001", false}, {"09.003.000", false}, {"101.005.012", false}};
  for (auto [version, asked] : cases) {
    Rig rig(Unthrottled(version));
    rig.shell.Connect();
    ASSERT_TRUE(rig.shell.Connected()) << version;
    rig.Run([&] { rig.shell.ReadPage(); });
    rig.Run([&] { rig.shell.WritePage(); });
    EXPECT_EQ(rig.Sent("+P2"), asked) << version;
    EXPECT_EQ(rig.Sent("+P2=0"), asked) << version;
    EXPECT_EQ(rig["IMEIidentGroup"].Visible(), asked) << version;
    // Family 101 leaves the panel on SIM 1 after a write.
    EXPECT_EQ(rig.Sent("+AZ=0"), std::string(version).rfind("101.", 0) == 0) << version;
  }
}

TEST(CommonOnPanel, StatusLabelsTurnRedWhenThePanelFailsToAnswer) {
  TScopedTimeScale fast(0.02);
  Rig rig;
  rig.shell.Connect();
  ASSERT_TRUE(rig.shell.Connected());
  rig.panel.AddFault({sim::TFaultKind::Silent, "+FMR", -1});
  rig["etKey"].SetText("1111");
  rig.Run([&] { rig.shell.ReadPage(); });
  EXPECT_EQ(rig["lbO"].FontColor(), "clBlue");
  EXPECT_EQ(rig["lbKey"].FontColor(), "clRed");
  EXPECT_EQ(rig["etO"].Text(), "0050");
  EXPECT_EQ(rig["etKey"].Text(), "");  // cleared before the read, nothing came

  // A refused value colours its own label and the page goes on.
  rig.panel.ClearFaults();
  rig.panel.AddFault({sim::TFaultKind::Err, "+o=0123", -1});
  rig["etO"].SetText("123");
  rig["etKey"].SetText("2222");
  rig.Run([&] { rig.shell.WritePage(); });
  EXPECT_EQ(rig["lbO"].FontColor(), "clRed");
  EXPECT_EQ(rig["lbKey"].FontColor(), "clBlue");
  EXPECT_EQ(rig.panel.Common().ObjectNumber(), "0050");
  EXPECT_EQ(rig.panel.Common().MasterCode(), "2222");

  // A lost carrier ends the connection: the rest of the page is not sent.
  rig.panel.AddFault({sim::TFaultKind::NoCarrier, "+o=0456", 1});
  rig["etO"].SetText("456");
  rig["etKey"].SetText("3333");
  rig.Run([&] { rig.shell.WritePage(); });
  EXPECT_EQ(rig["lbO"].FontColor(), "clRed");
  EXPECT_FALSE(rig.Sent("+FMW=3333"));
}

TEST(CommonOnPanel, AGarbledSimAnswerLeavesTheGaugesAlone) {
  TScopedTimeScale fast(0.02);
  Rig rig;
  rig.shell.Connect();
  ASSERT_TRUE(rig.shell.Connected());
  rig.shell.Drain();
  ASSERT_EQ(rig["GSMSig"].BackColor(), "clBlue");  // shown right after connecting
  rig.panel.AddFault({sim::TFaultKind::Garbage, "+AZ", -1});
  rig.Run([&] { rig.shell.ReadPage(); });
  EXPECT_EQ(rig["GSMSig"].BackColor(), "clBlue");
  EXPECT_EQ(rig["GSMErr"].BackColor(), "clMoneyGreen");
  EXPECT_EQ(rig["GSMErr"].Position(), 0);
  EXPECT_EQ(rig["lbO"].FontColor(), "clBlue");  // the rest of the page was read
}

TEST(CommonOnPanel, IdleRefreshShowsTheActiveSimAndHoldsOffTheKeepAlive) {
  TScopedTimeScale fast(0.01);  // 10 s of refresh period in 100 ms, 60 s of keep-alive in 600 ms
  sim::TPanelOptions options = Unthrottled();
  options.gsmLevels = {23, 9};
  Rig rig(options);
  rig.shell.Connect();
  ASSERT_TRUE(rig.shell.Connected());
  const long stops = rig.Count("+sp");
  rig.RunFor(2500);
  EXPECT_GE(rig.Count("+AQ"), 3);
  EXPECT_EQ(rig.Count("+sp"), stops) << "the signal refresh keeps the line busy enough";
  EXPECT_EQ(rig["GSMSig"].BackColor(), "clBlue");
  EXPECT_EQ(rig["GSMErr"].BackColor(), "clMoneyGreen");
  EXPECT_EQ(rig["GSMSig"].Position(), 23);
  EXPECT_TRUE(rig["URLLabel6"].Enabled());
  EXPECT_FALSE(rig["URLLabel5"].Enabled());

  rig.Run([&] { rig["URLLabel6"].Click(); });
  EXPECT_EQ(rig.panel.Common().ActiveSim(), 2);
  EXPECT_EQ(rig["GSMErr"].BackColor(), "clBlue");
  EXPECT_EQ(rig["GSMSig"].BackColor(), "clMoneyGreen");
  EXPECT_TRUE(rig["URLLabel5"].Enabled());
  EXPECT_FALSE(rig["URLLabel6"].Enabled());
  rig.RunFor(500);
  EXPECT_EQ(rig["GSMErr"].Position(), 9);
  EXPECT_EQ(rig["GSMSig"].Position(), 23);  // the inactive SIM keeps its last value

  rig.Run([&] { rig["URLLabel5"].Click(); });
  EXPECT_EQ(rig.panel.Common().ActiveSim(), 1);
  EXPECT_EQ(rig["GSMSig"].BackColor(), "clBlue");

  // Another page: nothing refreshes, so the keep-alive comes back.
  rig.shell.ShowPage("formKeys");
  rig.RunFor(2000);
  EXPECT_GT(rig.Count("+sp"), stops);
}

TEST(CommonOnPanel, RestartLinkRebootsAndConnectsAgain) {
  Rig rig;
  rig.shell.Connect();
  ASSERT_TRUE(rig.shell.Connected());
  rig["etO"].SetText("ABCD");
  rig["URLLabel2"].Click();
  EXPECT_TRUE(rig.Sent("+rb"));
  EXPECT_TRUE(rig.shell.Connected());
  EXPECT_EQ(rig.Count("+id=5281"), 2);
  EXPECT_EQ(rig["etO"].Text(), "ABCD");  // the page keeps its values
}

}  // namespace
}  // namespace zorvan

namespace zorvan {
namespace {

TEST(CommonOnPanel, AGarbledObjectNumberIsAFailedReadNotAValue) {
  Rig rig;
  rig.shell.Connect();
  ASSERT_TRUE(rig.shell.Connected());
  rig.panel.Parameters().Override("o", [](const sim::TCommand&) { return sim::TAnswer::Ok("Z#\x01?"); });
  rig.Run([&] { rig.shell.ReadPage(); });
  EXPECT_EQ(rig["etO"].Text(), "");  // cleared before the read; the junk is not shown
  EXPECT_EQ(rig["lbO"].FontColor(), "clRed");
  EXPECT_EQ(rig["lbKey"].FontColor(), "clBlue");
  ASSERT_EQ(rig.shell.Failures().size(), 1u);
  EXPECT_EQ(Cp1251ToUtf8(TShell::FailureText(rig.shell.Failures()[0])), "Номер объекта (+o): ответ панели не распознан");
  bool logged = false;
  for (const auto& line : rig.shell.Main().Log().Lines())
    logged = logged || line.find(W("Ошибка при чтении общих настроек!")) != std::string::npos;
  EXPECT_TRUE(logged);
}

}  // namespace
}  // namespace zorvan

namespace zorvan {
namespace {

TEST(CommonOnPanel, ALineLostDuringAWriteNamesWhatHadBeenWritten) {
  TScopedTimeScale fast(0.02);
  Rig rig;
  rig.shell.Connect();
  ASSERT_TRUE(rig.shell.Connected());
  rig.panel.AddFault({sim::TFaultKind::NoCarrier, "+P2=1", 1});
  rig["etO"].SetText("0007");
  rig["etKey"].SetText("1234");
  rig["ChIMEI"].SetChecked(true);
  rig.shell.WritePage();
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (rig.shell.Connected() && std::chrono::steady_clock::now() < until) rig.Tick();
  ASSERT_FALSE(rig.shell.Connected());
  ASSERT_EQ(rig.view.errors.size(), 1u);
  EXPECT_EQ(Cp1251ToUtf8(rig.view.errors[0]),
            "Ошибка: Связь с панелью потеряна во время записи. Панель успела получить:\n"
            "Общие настройки: Номер объекта (+o)\n"
            "Общие настройки: Код для входа в режим программирования (+FMW)");

}

TEST(CommonOnPanel, ADisconnectAfterAWriteSaysNothing) {
  Rig rig;
  rig.shell.Connect();
  ASSERT_TRUE(rig.shell.Connected());
  rig.Run([&] { rig.shell.WritePage(); });
  rig.shell.Disconnect();
  EXPECT_TRUE(rig.view.errors.empty());
}

}  // namespace
}  // namespace zorvan
