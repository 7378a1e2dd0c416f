#include "app/ShellForms.h"

#include <gtest/gtest.h>

#include "base/Cp1251.h"

namespace zorvan {
namespace {

TEST(ConnectDialog, MasterKeyIsAlwaysFourDigits) {
  TConnectDialog dialog;
  const std::pair<const char*, const char*> cases[] = {
      {"", "0000"}, {"    ", "0000"}, {"12 4", "1204"}, {"7", "7000"}, {"__1_", "0010"}, {"ab12", "0000"}, {"123456", "1234"}};
  for (const auto& [typed, shown] : cases) {
    dialog.MasterKey().SetText("9999");
    dialog.MasterKey().SetText(typed);
    EXPECT_EQ(dialog.MasterKey().Text(), shown) << typed;
  }
}

TEST(ConnectDialog, ConnectTypeRulesAndProtocol) {
  TConnectDialog dialog;
  int protocol = -1;
  dialog.onProtocol = [&](int p) { protocol = p; };
  EXPECT_FALSE(dialog.Phones().Enabled());
  dialog.ConnectType().SetItemIndex(2);
  dialog.ConnectType().Changed();
  EXPECT_TRUE(dialog.Phones().Enabled());
  EXPECT_TRUE(dialog["Label2"].Enabled());
  EXPECT_EQ(protocol, 1);
  dialog.ConnectType().SetItemIndex(1);
  dialog.ConnectType().Changed();
  EXPECT_EQ(protocol, 0);
  dialog.ConnectType().SetItemIndex(0);
  dialog.ConnectType().Changed();
  EXPECT_FALSE(dialog.Phones().Enabled());
  EXPECT_EQ(protocol, 0);
}

TEST(ConnectDialog, PhoneHistoryOfFive) {
  TConnectDialog dialog;
  int result = 0;
  dialog.onCloseModal = [&](int r) { result = r; };
  for (const char* n : {"1", "2", "3", "4", "5"}) {
    dialog.Phones().SetText(n);
    dialog["OKBtn"].Click();
  }
  EXPECT_EQ(result, TForm::mrOk);
  EXPECT_EQ(dialog.Phones().Items(), (std::vector<std::string>{"5", "4", "3", "2", "1"}));
  dialog.Phones().SetText("6");
  dialog.ConfirmPhone();
  EXPECT_EQ(dialog.Phones().Items(), (std::vector<std::string>{"6", "5", "4", "3", "2"}));
  dialog.Phones().SetText("4");
  dialog.ConfirmPhone();
  EXPECT_EQ(dialog.Phones().Items(), (std::vector<std::string>{"6", "5", "4", "3", "2"}));
  dialog.Phones().SetText("");
  dialog.ConfirmPhone();
  EXPECT_EQ(dialog.Phones().Items().size(), 5u);
}

TEST(ConnectSettings, RoundTripAndGapInHistory) {
  TConnectDialog dialog;
  dialog.Ports().SetText("/dev/ttyUSB0");
  dialog.ConnectType().SetItemIndex(2);
  dialog.MasterKey().SetText("1234");
  dialog.Phones().SetText("89001234567");
  dialog.ConfirmPhone();
  TIniFile ini;
  SaveConnectSettings(ini, dialog, TDebugSettings{true});
  EXPECT_EQ(ini.Keys("Connect"), (std::vector<std::string>{"ComPort", "Phone1", "Phone2", "Phone3", "Phone4",
                                                           "Phone5", "Phone", "ConnectType", "MasterKey"}));
  EXPECT_EQ(ini.ReadString("Connect", "Phone2", "x"), "");
  EXPECT_EQ(ini.ReadString("Debug", "Memo", ""), "0");
  EXPECT_EQ(ini.ReadString("Debug", "Log", ""), "1");

  TConnectDialog fresh;
  int protocol = -1;
  fresh.onProtocol = [&](int p) { protocol = p; };
  TDebugSettings debug;
  LoadConnectSettings(ini, fresh, debug);
  EXPECT_EQ(fresh.Ports().Text(), "/dev/ttyUSB0");
  EXPECT_EQ(fresh.ConnectType().ItemIndex(), 2);
  EXPECT_TRUE(fresh.Phones().Enabled());
  EXPECT_EQ(protocol, 1);
  EXPECT_EQ(fresh.MasterKey().Text(), "1234");
  EXPECT_EQ(fresh.Phones().Text(), "89001234567");
  EXPECT_TRUE(debug.log);

  TIniFile gap = TIniFile::FromBytes("[Connect]\nPhone1=111\nPhone3=333\nConnectType=7\nMasterKey=12\n");
  TConnectDialog other;
  LoadConnectSettings(gap, other, debug);
  EXPECT_EQ(other.Phones().Items(), (std::vector<std::string>{"111"}));
  EXPECT_EQ(other.ConnectType().ItemIndex(), 0);  // out of range falls back to the cable
  EXPECT_EQ(other.MasterKey().Text(), "1200");
  EXPECT_FALSE(debug.log);
}

TEST(MainForm, CommandsAtStart) {
  TMainForm form;
  EXPECT_TRUE(form["tbtnConnect"].Enabled());
  EXPECT_TRUE(form["tbtnCalcel"].Enabled());
  EXPECT_FALSE(form["tbtnRead"].Enabled());
  EXPECT_FALSE(form["mnuWriteAll"].Enabled());
  EXPECT_FALSE(form["mnuUpdate"].Visible());
  EXPECT_EQ(Cp1251ToUtf8(form["tbtnCalcel"].Text()), "Остановить чтение/запись настроек");
  form.SetStatusPanel(2, "09.005.012");
  EXPECT_EQ(form.StatusBar().Items()[2], "09.005.012");
  form.SetStatusPanel(7, "x");
}

}  // namespace
}  // namespace zorvan
