#include "app/HeadlessView.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "base/Cp1251.h"
#include "sim/VirtualPanel.h"

namespace zorvan {
namespace {

namespace fs = std::filesystem;

struct ShellFixture : ::testing::Test {
  fs::path dir = fs::temp_directory_path() / ("zorvan-shell-" + std::to_string(getpid()));
  void SetUp() override { fs::create_directories(dir); }
  void TearDown() override { fs::remove_all(dir); }
  std::string Folder() const { return dir.string() + "/"; }
};

// The program without windows.
struct Program {
  explicit Program(const std::string& folder) : shell(folder), view(shell) {
    shell.SetView(&view);
    view.tickMs = 10;
    view.progressLimitMs = 20000;
    shell.Start();
  }
  // The connection dialog confirms the given port.
  void AnswerConnect(const std::string& device) {
    view.onConnectDialog = [device](TConnectDialog& dialog) { dialog.Ports().SetText(device); };
  }
  TShell shell;
  THeadlessView view;
};

TEST_F(ShellFixture, ConnectToTheVirtualPanelEnablesCommandsAndDisconnectRestarts) {
  sim::TVirtualPanel panel;
  const std::string device = panel.Start();
  Program program(Folder());
  TShell& shell = program.shell;
  THeadlessView& view = program.view;
  EXPECT_EQ(shell.Main().Tree().Nodes().size(), 14u);
  EXPECT_EQ(view.pages.back(), "formCommon");
  program.AnswerConnect(device);
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

  EXPECT_EQ(shell.Main().StatusBar().Items()[3], "AT45DB161D");
  shell.Main()["tbtnDisconnect"].Click();
  EXPECT_FALSE(shell.Connected());
  // Nothing of the panel that has gone stays in the status bar.
  EXPECT_EQ(Cp1251ToUtf8(shell.Main().StatusBar().Items()[2]), "Версия прошивки:");
  EXPECT_EQ(shell.Main().StatusBar().Items()[3], "");
  EXPECT_TRUE(shell.Main()["tbtnConnect"].Enabled());
  EXPECT_FALSE(shell.Main()["tbtnRead"].Enabled());
  const auto lines = panel.ReceivedLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "+rb");
}

TEST_F(ShellFixture, WrongMasterCodeKeepsTheProgressDialogOpenUntilCancel) {
  sim::TVirtualPanel panel;
  const std::string device = panel.Start();
  Program program(Folder());
  TShell& shell = program.shell;
  THeadlessView& view = program.view;
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
    Program program(Folder());
    TShell& shell = program.shell;
    shell.ConnectDialog().Ports().SetText("/dev/ttyUSB3");
    shell.ConnectDialog().MasterKey().SetText("4321");
    shell.Close();
  }
  TIniFile saved;
  ASSERT_TRUE(saved.LoadFromFile(Folder() + "current.ini"));
  EXPECT_EQ(saved.ReadString("Connect", "ComPort", ""), "/dev/ttyUSB3");
  EXPECT_EQ(saved.ReadString("Connect", "MasterKey", ""), "4321");
  EXPECT_EQ(saved.ReadString("Debug", "Log", ""), "0");

  // A truncated, partly binary file is not read: the user is told why, the program starts with
  // defaults, a copy is kept and exit does not overwrite the file.
  const std::string broken("[Connect]\r\nComPort=/dev/ttyS7\r\nMaster\0\xFF\xFE[[\r\nConnectType=zz\r\n[Debug", 58);
  std::ofstream(dir / "current.ini", std::ios::binary | std::ios::trunc) << broken;
  {
    Program second(Folder());
    TShell& again = second.shell;
    THeadlessView& view = second.view;
    EXPECT_EQ(again.ConnectDialog().Ports().Text(), "");
    EXPECT_EQ(again.ConnectDialog().MasterKey().Text(), "5281");
    ASSERT_EQ(view.errors.size(), 1u);
    EXPECT_NE(view.errors[0].find(W("нулевые байты")), std::string::npos) << Cp1251ToUtf8(view.errors[0]);
    EXPECT_NE(view.errors[0].find(W("не будет перезаписан")), std::string::npos);
    int copies = 0;
    for (const auto& entry : fs::directory_iterator(dir))
      if (entry.path().filename().string().rfind("current.ini.unreadable-", 0) == 0) {
        ++copies;
        std::ifstream in(entry.path(), std::ios::binary);
        EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()), broken);
      }
    EXPECT_EQ(copies, 1);

    // Loading a saved configuration switches the connection dialog's port.
    TIniFile other;
    other.WriteString("Connect", "ComPort", "/dev/ttyACM0");
    ASSERT_TRUE(other.SaveToFile(Folder() + "other.ini"));
    view.settingsPath = Folder() + "other.ini";
    again.Main()["mnuLoad"].Click();
    EXPECT_EQ(again.ConnectDialog().Ports().Text(), "/dev/ttyACM0");
    // A file of another kind loads nothing and says why.
    std::ofstream(dir / "log.txt", std::ios::binary) << "\r\n=====\r\n -> com: +v\r\n";
    view.settingsPath = Folder() + "log.txt";
    again.Main()["mnuLoad"].Click();
    EXPECT_EQ(again.ConnectDialog().Ports().Text(), "/dev/ttyACM0");
    ASSERT_EQ(view.errors.size(), 2u);
    EXPECT_NE(view.errors[1].find(W("перед первым разделом")), std::string::npos);
    again.Close();
  }
  std::ifstream kept(dir / "current.ini", std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(kept)), std::istreambuf_iterator<char>()), broken);
}

// A panel whose version shows before the check refuses it: the failed connect clears it again.
TEST_F(ShellFixture, FailedConnectLeavesNoVersionInTheStatusBar) {
  sim::TPanelOptions options;
  options.version = "09.000.018";  // accepted, but needs the other flash type
  sim::TVirtualPanel panel(options);
  const std::string device = panel.Start();
  Program program(Folder());
  TShell& shell = program.shell;
  bool shown = false;
  program.view.modal = [&](TForm& form) {
    if (&form == &shell.ConnectDialog()) {
      shell.ConnectDialog().Ports().SetText(device);
      return int(TForm::mrOk);
    }
    for (int i = 0; i < 1500 && !shown; ++i) {
      shell.Tick();
      shown = shell.Splash()["Panel2"].Text() == W("ОШИБКА при проверки версии!");
      usleep(10000);
    }
    EXPECT_EQ(shell.Main().StatusBar().Items()[2], "09.000.018");
    return int(TForm::mrCancel);
  };
  shell.Connect();
  EXPECT_TRUE(shown);
  EXPECT_FALSE(shell.Connected());
  EXPECT_EQ(Cp1251ToUtf8(shell.Main().StatusBar().Items()[2]), "Версия прошивки:");
  EXPECT_EQ(shell.Main().StatusBar().Items()[3], "");
}

TEST_F(ShellFixture, AnInstalledProgramKeepsSettingsAndLogInTheUsersFolders) {
  const fs::path config = dir / "config", state = dir / "state";
  fs::create_directories(config);
  fs::create_directories(state);
  for (int run = 0; run < 2; ++run) {
    TShell shell(config.string() + "/", state.string() + "/");
    THeadlessView view(shell);
    shell.SetView(&view);
    shell.Start();
    if (run == 0) {
      shell.Main()["mnuLog"].Click();
      shell.ConnectDialog().MasterKey().SetText("1234");
    } else {
      // The second start reads back what the first one left.
      EXPECT_EQ(shell.ConnectDialog().MasterKey().Text(), "1234");
    }
    shell.Close();
  }
  EXPECT_TRUE(fs::exists(config / "current.ini"));
  EXPECT_TRUE(fs::exists(state / "log.txt"));
  EXPECT_FALSE(fs::exists(config / "log.txt"));
  EXPECT_FALSE(fs::exists(state / "current.ini"));
}

TEST_F(ShellFixture, SettingsAndLogFilesAreTheOwnersOnly) {
  auto mode = [&](const char* name) {
    struct stat st {};
    stat((dir / name).c_str(), &st);
    return st.st_mode & 07777;
  };
  {
    Program program(Folder());
    program.shell.Main()["mnuLog"].Click();  // log.txt holds the master code of each connection
    program.view.settingsPath = Folder() + "saved.ini";
    program.shell.Main()["mnuSave"].Click();
    program.shell.Close();
  }
  EXPECT_EQ(mode("current.ini"), 0600u);
  EXPECT_EQ(mode("saved.ini"), 0600u);
  EXPECT_EQ(mode("log.txt"), 0600u);
  {
    // The log window's lines: saved whole through a temporary file, or not at all.
    Program program(Folder());
    program.shell.Main().Log().AppendLine(W("Авторизация: +id=5281"));
    program.view.logPath = Folder() + "window.txt";
    program.shell.Main()["RzBitBtn2"].Click();
    std::ifstream in(dir / "window.txt", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find(W("Авторизация: +id=5281\r\n")), std::string::npos);
    EXPECT_EQ(mode("window.txt"), 0600u);
    fs::create_directory(dir / "folder.txt");
    program.view.logPath = Folder() + "folder.txt";
    program.shell.Main()["RzBitBtn2"].Click();
    ASSERT_EQ(program.view.errors.size(), 1u);
    EXPECT_NE(program.view.errors[0].find(W("это папка")), std::string::npos);
    EXPECT_TRUE(fs::is_directory(dir / "folder.txt"));
    program.shell.Close();
  }
  // A file the user opened up stays so.
  chmod((dir / "current.ini").c_str(), 0644);
  {
    Program program(Folder());
    program.shell.Close();
  }
  EXPECT_EQ(mode("current.ini"), 0644u);
  // An empty "current.ini" holds nothing to keep: it is replaced at exit without a word.
  std::ofstream(dir / "current.ini", std::ios::trunc);
  {
    Program program(Folder());
    EXPECT_TRUE(program.view.errors.empty());
    program.shell.Close();
  }
  TIniFile saved;
  ASSERT_TRUE(saved.LoadFromFile(Folder() + "current.ini"));
  EXPECT_TRUE(saved.SectionExists("Connect"));
}

TEST_F(ShellFixture, AFileWithNoneOfTheProgramsSectionsChangesNothing) {
  Program program(Folder());
  TIniFile foreign;
  foreign.WriteString("Desktop Entry", "Name", "x");
  ASSERT_TRUE(foreign.SaveToFile(Folder() + "foreign.ini"));
  program.view.settingsPath = Folder() + "foreign.ini";
  TControl& objectNumber = *program.shell.PageSet().Page(TPageId::Common).Find("etO");
  objectNumber.SetText("1234");
  program.shell.Main()["mnuLoad"].Click();
  EXPECT_EQ(objectNumber.Text(), "1234");
  ASSERT_EQ(program.view.errors.size(), 1u);
  EXPECT_NE(program.view.errors[0].find("foreign.ini"), std::string::npos);
}

// "Загрузить" takes what a file holds and nothing else; a file with a value a typed one could
// not be loads nothing and says which.
TEST_F(ShellFixture, LoadingAFileChangesWhatItHoldsOrNothingAtAll) {
  Program program(Folder());
  TShell& shell = program.shell;
  TPage& common = shell.PageSet().Page(TPageId::Common);
  TPage& gprs = shell.PageSet().Page(TPageId::GPRS);
  common["etO"].SetText("1234");
  common["etKey"].SetText("4321");
  gprs["etServerPort1"].SetText("3059");
  program.view.settingsPath = Folder() + "bad.ini";
  std::ofstream(dir / "bad.ini", std::ios::binary)
      << "[formCommon]\r\netO=0123\r\n[formGPRS]\r\netServerPort1=99999\r\netSIM1LOGIN=a\x1b" "b\r\n";
  shell.Main()["mnuLoad"].Click();
  ASSERT_EQ(program.view.errors.size(), 1u);
  const std::string said = Cp1251ToUtf8(program.view.errors[0]);
  EXPECT_NE(said.find("bad.ini\": [formGPRS] etServerPort1=99999"), std::string::npos) << said;
  EXPECT_NE(said.find("etSIM1LOGIN=a\\x1Bb: "), std::string::npos) << said;  // shown, not sent to the screen
  EXPECT_EQ(common["etO"].Text(), "1234");
  EXPECT_EQ(gprs["etServerPort1"].Text(), "3059");

  // A one-key section changes that key alone; the page it lacks keeps what it shows.
  program.view.settingsPath = Folder() + "template.ini";
  std::ofstream(dir / "template.ini", std::ios::binary) << "[formCommon]\r\netO=0a1b\r\n";
  shell.Main()["mnuLoad"].Click();
  EXPECT_EQ(program.view.errors.size(), 1u);
  EXPECT_EQ(common["etO"].Text(), "0A1B");
  EXPECT_EQ(common["etKey"].Text(), "4321");
  EXPECT_EQ(gprs["etServerPort1"].Text(), "3059");
}

// A "current.ini" holding a value no page can take is kept as it is, like an unreadable one.
TEST_F(ShellFixture, ACurrentIniWithAValueNoPageCanTakeIsKept) {
  const std::string bad = "[Connect]\r\nComPort=/dev/ttyS7\r\n[formGPRS]\r\netServerPort1=99999\r\n";
  std::ofstream(dir / "current.ini", std::ios::binary) << bad;
  {
    Program program(Folder());
    ASSERT_EQ(program.view.errors.size(), 1u);
    EXPECT_NE(Cp1251ToUtf8(program.view.errors[0]).find("etServerPort1=99999"), std::string::npos);
    EXPECT_EQ(program.shell.PageSet().Page(TPageId::GPRS)["etServerPort1"].Text(), "3058");
    EXPECT_EQ(program.shell.ConnectDialog().Ports().Text(), "");
    program.shell.Close();
  }
  std::ifstream kept(dir / "current.ini", std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(kept)), std::istreambuf_iterator<char>()), bad);
}

TEST_F(ShellFixture, LogFileFramesAndNodeSelection) {
  Program program(Folder());
  TShell& shell = program.shell;
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
  EXPECT_EQ(shell.Device().CurrentPage(), TPageId::Shleif);
  // No connection: reading and the terminal do nothing.
  shell.Main()["tbtnRead"].Click();
  shell.Terminal()["Button1"].Click();
  EXPECT_FALSE(shell.Connected());

  // Logging left on at exit is on again at the next start.
  shell.Main()["mnuLog"].Click();
  ASSERT_TRUE(shell.LogOn());
  shell.Close();
  Program next(Folder());
  EXPECT_TRUE(next.shell.LogOn());
}

}  // namespace
}  // namespace zorvan

namespace zorvan {
namespace {

TEST_F(ShellFixture, LostLineLeavesTheWindowDisconnected) {
  sim::TVirtualPanel panel;
  const std::string device = panel.Start();
  Program program(Folder());
  TShell& shell = program.shell;
  program.AnswerConnect(device);
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

TEST_F(ShellFixture, APageRuleShowsItsErrorThroughTheView) {
  Program program(Folder());
  program.shell.Pages().front()->ShowError(W("Ошибка!"), W("Не время."));
  ASSERT_EQ(program.view.errors.size(), 1u);
  EXPECT_EQ(Cp1251ToUtf8(program.view.errors[0]), "Ошибка!: Не время.");
}

}  // namespace
}  // namespace zorvan

namespace zorvan {
namespace {

// Cancel must not wait out a silent panel's time-outs (4.5 s a try, three tries a parameter).
TEST_F(ShellFixture, CancelEndsAnExchangeWithASilentPanelPromptly) {
  sim::TVirtualPanel panel;
  const std::string device = panel.Start();
  Program program(Folder());
  TShell& shell = program.shell;
  program.AnswerConnect(device);
  shell.Connect();
  ASSERT_TRUE(shell.Connected());
  panel.AddFault({sim::TFaultKind::Silent, "", -1});
  const std::size_t before = panel.ReceivedLines().size();
  shell.ShowPage("formCommon");
  shell.Main()["tbtnRead"].Click();
  // Wait until the first command is out and unanswered.
  for (int i = 0; i < 200 && panel.ReceivedLines().size() == before; ++i) {
    shell.Tick();
    usleep(5000);
  }
  ASSERT_GT(panel.ReceivedLines().size(), before);
  usleep(200000);
  ASSERT_TRUE(shell.Busy());
  const auto cancelled = std::chrono::steady_clock::now();
  shell.Main()["tbtnCalcel"].Click();
  while (shell.Busy() && std::chrono::steady_clock::now() - cancelled < std::chrono::seconds(20)) shell.Tick(5);
  const auto took = std::chrono::steady_clock::now() - cancelled;
  EXPECT_FALSE(shell.Busy());
  // Within half a second, not after three time-outs: the exchange noticed the cancel while it waited.
  EXPECT_LT(took, std::chrono::milliseconds(500));
  // Nothing more of the page was sent after the cancel.
  EXPECT_EQ(panel.ReceivedLines().size(), before + 1);
  shell.Drain();
  EXPECT_TRUE(shell.Main()["tbtnRead"].Enabled());
  // The interrupted parameter is marked failed, and the log says why.
  ASSERT_EQ(shell.Failures().size(), 1u);
  EXPECT_EQ(Cp1251ToUtf8(TShell::FailureText(shell.Failures()[0])), "Номер объекта (+o): операция отменена");
  bool logged = false;
  for (const auto& line : shell.Main().Log().Lines()) logged = logged || line.find(W("Операция отменена")) != std::string::npos;
  EXPECT_TRUE(logged);

  // A terminal line with a line end in it would reach the panel as two commands: refused.
  const std::size_t sent = panel.ReceivedLines().size();
  shell.Terminal()["Edit1"].SetText("+v\r+typepan");
  shell.Terminal()["Button1"].Click();
  shell.Tick(50);
  EXPECT_EQ(panel.ReceivedLines().size(), sent);
  ASSERT_FALSE(program.view.errors.empty());
  EXPECT_NE(program.view.errors.back().find(W("перевод строки")), std::string::npos);

  // The flag left by the cancel does not cut the next exchanges short.
  panel.ClearFaults();
  shell.Terminal()["Edit1"].SetText("+v");
  shell.Terminal()["Button1"].Click();
  while (shell.Busy()) shell.Tick(5);
  EXPECT_TRUE(shell.Device().TerminalAnswered());
  EXPECT_EQ(shell.Device().TerminalReply(), "09.005.012");
  shell.Main()["tbtnRead"].Click();
  while (shell.Busy()) shell.Tick(5);
  shell.Drain();
  EXPECT_FALSE(shell.Device().Aborted());
  EXPECT_EQ(shell.FindPage("formCommon")->Find("etO")->Text(), "0050");
}

}  // namespace
}  // namespace zorvan
