#include "app/Shell.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/Cp1251.h"
#include "sim/VirtualPanel.h"

namespace zorvan {
namespace {

namespace fs = std::filesystem;

// Answers the dialogs the way a test wants and records what the program shows.
struct FakeView : TShellView {
  std::function<int(TForm&)> modal;
  std::vector<std::string> errors, messages, pages;
  std::string loadPath;
  int ExecModal(TForm& form) override { return modal ? modal(form) : TForm::mrCancel; }
  void ShowMessage(const std::string& t) override { messages.push_back(t); }
  void ShowError(const std::string& c, const std::string& t) override { errors.push_back(c + ": " + t); }
  std::string AskSaveSettingsPath() override { return loadPath; }
  std::string AskLoadSettingsPath() override { return loadPath; }
  std::string AskSaveLogPath() override { return {}; }
  void ShowPage(const std::string& p) override { pages.push_back(p); }
  void ShowAbout() override {}
  void ShowTerminal() override {}
  void CloseMainWindow() override {}
};

struct ShellFixture : ::testing::Test {
  fs::path dir = fs::temp_directory_path() / ("zorvan-shell-" + std::to_string(getpid()));
  void SetUp() override { fs::create_directories(dir); }
  void TearDown() override { fs::remove_all(dir); }
  std::string Folder() const { return dir.string() + "/"; }
};

// Runs the progress dialog as a modal loop would: ticking until the rules close it.
int RunSplash(TShell& shell, TForm& form, int seconds = 20) {
  int result = TForm::mrNone;
  form.onCloseModal = [&](int r) { result = r; };
  for (int i = 0; i < seconds * 100 && result == TForm::mrNone; ++i) {
    shell.Tick();
    usleep(10000);
  }
  form.onCloseModal = nullptr;
  return result;
}

// The connection dialog confirms the given port; the progress dialog runs until it closes.
void AnswerConnect(TShell& shell, FakeView& view, const std::string& device) {
  view.modal = [&shell, device](TForm& form) {
    if (&form == &shell.ConnectDialog()) {
      shell.ConnectDialog().Ports().SetText(device);
      return int(TForm::mrOk);
    }
    return RunSplash(shell, form);
  };
}

TEST_F(ShellFixture, ConnectToTheVirtualPanelEnablesCommandsAndDisconnectRestarts) {
  sim::TVirtualPanel panel;
  const std::string device = panel.Start();
  TShell shell(Folder());
  FakeView view;
  shell.SetView(&view);
  shell.Start();
  EXPECT_EQ(shell.Main().Tree().Nodes().size(), 14u);
  EXPECT_EQ(view.pages.back(), "formCommon");
  AnswerConnect(shell, view, device);
  shell.Connect();
  ASSERT_TRUE(shell.Connected());
  shell.Drain();
  EXPECT_EQ(Cp1251ToUtf8(shell.Splash()["Panel2"].Text()), "СОЕДИНЕНИЕ УСТАНОВЛЕНО");
  EXPECT_FALSE(shell.Main()["tbtnConnect"].Enabled());
  for (const char* name : {"tbtnDisconnect", "tbtnRead", "tbtnWriteAll", "mnuReadAll", "N2"})
    EXPECT_TRUE(shell.Main()[name].Enabled()) << name;
  EXPECT_EQ(shell.Main().StatusBar().Items()[0], device);
  EXPECT_EQ(shell.Main().StatusBar().Items()[2], "09.005.012");
  bool sawStop = false;
  for (const auto& line : shell.Main().Log().Lines()) sawStop = sawStop || line.find("+sp") != std::string::npos;
  EXPECT_TRUE(sawStop);

  shell.Main()["tbtnDisconnect"].Click();
  EXPECT_FALSE(shell.Connected());
  EXPECT_TRUE(shell.Main()["tbtnConnect"].Enabled());
  EXPECT_FALSE(shell.Main()["tbtnRead"].Enabled());
  const auto lines = panel.ReceivedLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "+rb");
}

TEST_F(ShellFixture, WrongMasterCodeKeepsTheProgressDialogOpenUntilCancel) {
  sim::TVirtualPanel panel;
  const std::string device = panel.Start();
  TShell shell(Folder());
  FakeView view;
  shell.SetView(&view);
  shell.Start();
  std::string status;
  view.modal = [&](TForm& form) {
    if (&form == &shell.ConnectDialog()) {
      shell.ConnectDialog().Ports().SetText(device);
      shell.ConnectDialog().MasterKey().SetText("1111");
      return int(TForm::mrOk);
    }
    // The dialog is not closed by the failing worker; the user cancels once the text shows.
    for (int i = 0; i < 1500 && status.empty(); ++i) {
      shell.Tick();
      if (shell.Splash()["Panel2"].Text().find(W("Ошибка авторизации")) != std::string::npos)
        status = shell.Splash()["Panel2"].Text();
      usleep(10000);
    }
    EXPECT_EQ(form.ModalResult(), TForm::mrNone);
    return int(TForm::mrCancel);
  };
  shell.Connect();
  EXPECT_EQ(Cp1251ToUtf8(status), "Ошибка авторизации! Неправильно введен мастер-код!");
  EXPECT_FALSE(shell.Connected());
  EXPECT_TRUE(shell.Main()["tbtnConnect"].Enabled());
  EXPECT_FALSE(shell.Main()["tbtnRead"].Enabled());
}

TEST_F(ShellFixture, ExitWritesSettingsAndBrokenFilesLoadWhatTheyCan) {
  {
    TShell shell(Folder());
    FakeView view;
    shell.SetView(&view);
    shell.Start();
    shell.ConnectDialog().Ports().SetText("/dev/ttyUSB3");
    shell.ConnectDialog().MasterKey().SetText("4321");
    shell.Close();
  }
  TIniFile saved;
  ASSERT_TRUE(saved.LoadFromFile(Folder() + "current.ini"));
  EXPECT_EQ(saved.ReadString("Connect", "ComPort", ""), "/dev/ttyUSB3");
  EXPECT_EQ(saved.ReadString("Connect", "MasterKey", ""), "4321");
  EXPECT_EQ(saved.ReadString("Debug", "Log", ""), "0");

  // A truncated, partly binary file: the readable keys still apply.
  std::ofstream(dir / "current.ini", std::ios::binary)
      << std::string("[Connect]\r\nComPort=/dev/ttyS7\r\nMaster\0\xFF\xFE[[\r\nConnectType=zz\r\n[Debug", 58);
  TShell again(Folder());
  FakeView view;
  again.SetView(&view);
  again.Start();
  EXPECT_EQ(again.ConnectDialog().Ports().Text(), "/dev/ttyS7");
  EXPECT_EQ(again.ConnectDialog().MasterKey().Text(), "5281");
  EXPECT_EQ(again.ConnectDialog().ConnectType().ItemIndex(), 0);
  EXPECT_TRUE(view.errors.empty());

  // Loading a saved configuration switches the connection dialog's port.
  TIniFile other;
  other.WriteString("Connect", "ComPort", "/dev/ttyACM0");
  ASSERT_TRUE(other.SaveToFile(Folder() + "other.ini"));
  view.loadPath = Folder() + "other.ini";
  again.Main()["mnuLoad"].Click();
  EXPECT_EQ(again.ConnectDialog().Ports().Text(), "/dev/ttyACM0");
}

TEST_F(ShellFixture, LogFileFramesAndNodeSelection) {
  TShell shell(Folder());
  FakeView view;
  shell.SetView(&view);
  shell.Start();
  shell.Main()["mnuLog"].Click();
  ASSERT_TRUE(shell.LogOn());
  shell.Out().PostLog("line one", false, false);
  shell.Drain();
  shell.Main()["mnuLog"].Click();
  EXPECT_FALSE(shell.LogOn());
  std::ifstream in(dir / "log.txt", std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string ruler(81, '=');
  EXPECT_NE(text.find(ruler + "\r\n"), std::string::npos);
  EXPECT_NE(text.find(W(" Начали процесс протоколирования")), std::string::npos);
  EXPECT_LT(text.find("line one\r\n"), text.find(W(" Окончили процесс протоколирования")));

  shell.SetDeviceType(101);
  shell.Main().Tree().SelectNode(4);  // "Кнопки"
  EXPECT_EQ(shell.Device().CurrentPage(), "formShleif");
  // No connection: reading and the terminal do nothing.
  shell.Main()["tbtnRead"].Click();
  shell.Terminal()["Button1"].Click();
  EXPECT_FALSE(shell.Connected());
}

}  // namespace
}  // namespace zorvan

namespace zorvan {
namespace {

TEST_F(ShellFixture, LostLineLeavesTheWindowDisconnected) {
  sim::TVirtualPanel panel;
  const std::string device = panel.Start();
  TShell shell(Folder());
  FakeView view;
  shell.SetView(&view);
  shell.Start();
  AnswerConnect(shell, view, device);
  shell.Connect();
  ASSERT_TRUE(shell.Connected());
  shell.Main()["tbtnReadAll"].Click();
  panel.CloseLine();
  // The ending worker clicks the disconnect button; the timer applies it.
  for (int i = 0; i < 1500 && shell.Connected(); ++i) {
    shell.Tick();
    usleep(10000);
  }
  EXPECT_FALSE(shell.Connected());
  EXPECT_TRUE(shell.Main()["tbtnConnect"].Enabled());
  EXPECT_TRUE(shell.Main()["mnuConnect"].Enabled());
  for (const char* name : TMainForm::ConnectedCommands()) EXPECT_FALSE(shell.Main()[name].Enabled()) << name;
  EXPECT_FALSE(shell.LastPortFailure().empty());
  // The interrupted read-all gave back the tree and the menus.
  EXPECT_TRUE(shell.Main().Tree().Enabled());
  EXPECT_TRUE(shell.Main()["mnuFile"].Enabled());
  EXPECT_TRUE(shell.Main()["mnuProperties"].Enabled());
}

}  // namespace
}  // namespace zorvan
