// The command-line tool's exit status over the built-in virtual panel.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/Cp1251.h"
#include "base/IniFile.h"
#include "cli/Cli.h"
#include "link/Clock.h"
#include "sim/VirtualPanel.h"

using zorvan::RunCli;

TEST(Cli, ExitStatus) {
  struct Case {
    std::vector<std::string> args;
    int status;
  };
  const Case cases[] = {
      {{"info"}, 0},
      {{"send", "+v", "+sp"}, 0},
      {{"hold", "0.2"}, 0},
      {{"--master", "1234", "info"}, 1},
      {{"--port", "/dev/zorvan-no-such-port", "info"}, 3},
      {{}, 2},
      {{"frobnicate"}, 2},
      {{"hold"}, 2},
      {{"hold", "soon"}, 2},
      {{"send"}, 2},
      {{"--master", "12a4", "info"}, 2},
      {{"--port"}, 2},
  };
  for (const auto& c : cases) {
    std::string joined;
    for (const auto& arg : c.args) joined += arg + " ";
    SCOPED_TRACE(joined);
    EXPECT_EQ(RunCli(c.args), c.status);
  }
}

TEST(Cli, LogFileHoldsTheConnectionInOrder) {
  std::string path = ::testing::TempDir() + "zorvan-cli-log.txt";
  std::remove(path.c_str());
  ASSERT_EQ(RunCli({"--log", path, "info"}), 0);
  std::ifstream file(path, std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  const std::string log = content.str();
  std::size_t at = 0;
  for (const std::string& step : {std::string("-> com: +v"), zorvan::W("Авторизация: +id=5281"),
                                   std::string("+sp"), std::string(" # 09.005.012"), std::string("+typepan"),
                                   std::string("com<-+rb")}) {
    auto found = log.find(step, at);
    ASSERT_NE(found, std::string::npos) << zorvan::Cp1251ToUtf8(step);
    at = found + step.size();
  }
}

TEST(Cli, ReadAndWritePagesThroughSettingsFiles) {
  const std::string file = ::testing::TempDir() + "zorvan-cli-pages.ini";
  const std::string log = ::testing::TempDir() + "zorvan-cli-pages.log";
  std::remove(file.c_str());
  std::remove(log.c_str());
  EXPECT_EQ(RunCli({"--log", log, "read", "all", "--save", file}), 0);
  std::ifstream saved(file, std::ios::binary);
  std::stringstream text;
  text << saved.rdbuf();
  EXPECT_NE(text.str().find("[Connect]\r\n"), std::string::npos);
  EXPECT_NE(text.str().find("MasterKey=5281\r\n"), std::string::npos);
  // The built-in panel is recorded by its port list entry; its device path is gone next time.
  EXPECT_NE(text.str().find("ComPort=" + zorvan::W("Виртуальная панель") + "\r\n"), std::string::npos);
  std::ifstream logged(log, std::ios::binary);
  std::stringstream lines;
  lines << logged.rdbuf();
  const std::string l = lines.str();
  EXPECT_LT(l.find(zorvan::W("Читаем всё")), l.find(zorvan::W("Окончили читать всё")));
  EXPECT_NE(l.find("com<-+rb"), std::string::npos);

  EXPECT_EQ(RunCli({"write", "formCommon", "--load", file}), 0);
  EXPECT_EQ(RunCli({"--master", "4321", "write", "all", "--load", file}), 1);
  EXPECT_EQ(RunCli({"write", "all", "--load", file + ".missing"}), 2);
  EXPECT_EQ(RunCli({"read", "formNone", "--save", file}), 2);
  EXPECT_EQ(RunCli({"read", "all", file}), 2);
}

TEST(Cli, ModemCallLogHoldsDialPanelExchangeAndHangUpInOrder) {
  zorvan::TScopedTimeScale fast(0.1);
  const struct {
    const char* type;
    const char* bearer;
  } cases[] = {{"v110", "-> com: AT+CBST=71,0,1"}, {"v32", "-> com: AT+CBST=7,0,1"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    std::string path = ::testing::TempDir() + "zorvan-cli-modem-log.txt";
    std::remove(path.c_str());
    ASSERT_EQ(RunCli({"--modem", c.type, "--phone", "8 (900) 123-45-67", "--log", path, "info"}), 0);
    std::ifstream file(path, std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    const std::string log = content.str();
    std::size_t at = 0;
    for (const std::string& step : {std::string(c.bearer), std::string("-> com: ATD 89001234567"),
                                     std::string("-> com: +v"), std::string("+typepan"), std::string("com<-+rb"),
                                     std::string("com<-+++"), std::string("-> com: ATH"), std::string("-> com: ATZ")}) {
      auto found = log.find(step, at);
      ASSERT_NE(found, std::string::npos) << step;
      at = found + step.size();
    }
  }
}

TEST(Cli, ModemCallOverAPortAndBadModemOptions) {
  zorvan::TScopedTimeScale fast(0.02);
  zorvan::sim::TModemOptions modem;
  modem.enabled = true;
  modem.busy = true;
  zorvan::sim::TVirtualPanel panel({}, modem);
  const std::string port = panel.Start();
  std::string path = ::testing::TempDir() + "zorvan-cli-busy-log.txt";
  std::remove(path.c_str());
  EXPECT_EQ(RunCli({"--port", port, "--modem", "v32", "--phone", "555", "--log", path, "info"}), 1);
  std::ifstream file(path, std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  EXPECT_NE(content.str().find(zorvan::W("Абонент занят!")), std::string::npos);
  zorvan::sim::TModemOptions dropping;
  dropping.enabled = true;
  dropping.carrierCommands = 5;  // the connect sequence, then the carrier drops
  zorvan::sim::TVirtualPanel second({}, dropping);
  EXPECT_EQ(RunCli({"--port", second.Start(), "--modem", "v32", "--phone", "555", "send", "+typepan"}), 1);
  EXPECT_EQ(RunCli({"--modem", "v99", "--phone", "555", "info"}), 2);
  EXPECT_EQ(RunCli({"--phone", "555", "info"}), 2);
}

// A read that did not bring every parameter never replaces a file: the values it lacks would
// come back as empty ones, or as defaults on the next write.
TEST(Cli, APartialReadLeavesTheOldFileAsItWas) {
  zorvan::TScopedTimeScale fast(0.05);
  zorvan::sim::TVirtualPanel panel;
  panel.AddFault({zorvan::sim::TFaultKind::Silent, "+o", -1});
  const std::string file = ::testing::TempDir() + "zorvan-cli-partial.ini";
  const std::string good = "[formCommon]\r\netO=1A2B\r\netKey=4321\r\nChIMEI=0\r\n";
  std::ofstream(file, std::ios::binary | std::ios::trunc) << good;
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(RunCli({"--port", panel.Start(), "read", "all", "--save", file}), 1);
  // The summary and the failed parameter on standard error; the tool has no log window to
  // send the user to.
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("Чтение всех параметров завершено с ошибками"), std::string::npos) << said;
  EXPECT_NE(said.find("(+o)"), std::string::npos) << said;
  EXPECT_EQ(said.find("журнал"), std::string::npos) << said;
  std::ifstream saved(file, std::ios::binary);
  std::stringstream text;
  text << saved.rdbuf();
  EXPECT_EQ(text.str(), good);
}

TEST(Cli, ReadAllSavesEveryBuiltPageAndWriteAllSendsThemBack) {
  zorvan::sim::TPanelOptions options;
  options.lineRate = 0;
  zorvan::sim::TVirtualPanel panel(options);
  const std::string port = panel.Start();
  const std::string file = ::testing::TempDir() + "zorvan-cli-all.ini";
  std::remove(file.c_str());
  panel.Parameters().Answer("+J2=+79001234567");
  panel.Parameters().Answer("+GN1=apn.example");
  panel.Parameters().Answer("+y=2D");
  panel.Parameters().Answer("+AA=0C");
  ASSERT_EQ(RunCli({"--port", port, "read", "all", "--save", file}), 0);
  std::ifstream saved(file, std::ios::binary);
  std::stringstream text;
  text << saved.rdbuf();
  for (const char* line : {"[formCommon]", "[formATests]", "[formGPRS]", "[formOuts]", "[FormEnNumber]",
                           "etN3=+79001234567", "etSIM1ADDR=apn.example", "SyrenTimeComboBoxText=45",
                           "ExATCombo=12"})
    EXPECT_NE(text.str().find(std::string(line) + "\r\n"), std::string::npos) << line;
  const auto before = panel.ReceivedLines().size();
  ASSERT_EQ(RunCli({"--port", port, "write", "all", "--load", file}), 0);
  const auto lines = panel.ReceivedLines();
  const std::vector<std::string> sent(lines.begin() + static_cast<long>(before), lines.end());
  for (const char* line : {"+o=0050", "+AA=0C", "+GN1=apn.example", "+y=2D", "+J2=+79001234567"})
    EXPECT_NE(std::find(sent.begin(), sent.end(), line), sent.end()) << line;
}

// A file that is not a settings file, or cannot be one, stops the tool before anything goes to
// the panel: the panel's master code must never become the factory one by mistake.
TEST(Cli, BadFilesAndPagesAreUsageErrorsAndNothingIsSent) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::path(::testing::TempDir()) / ("zorvan-cli-files-" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir / "folder.ini");
  auto write = [&](const char* name, const std::string& bytes) {
    std::ofstream(dir / name, std::ios::binary) << bytes;
    return (dir / name).string();
  };
  ASSERT_EQ(mkfifo((dir / "fifo.ini").c_str(), 0600), 0);
  zorvan::sim::TVirtualPanel panel;
  const std::string port = panel.Start();
  const struct {
    const char* name;
    std::vector<std::string> args;
  } cases[] = {
      {"missing file", {"write", "all", "--load", (dir / "none.ini").string()}},
      {"folder", {"write", "all", "--load", (dir / "folder.ini").string()}},
      {"empty", {"write", "all", "--load", write("empty.ini", "")}},
      {"binary", {"write", "all", "--load", write("binary.ini", std::string("\x7F" "ELF\0\0[formCommon]", 17))}},
      {"cut before the first section", {"write", "all", "--load", write("cut.ini", "[Conn")}},
      {"UTF-8 byte-order mark", {"write", "all", "--load", write("bom.ini", "\xEF\xBB\xBF[Connect]\r\n")}},
      {"UTF-16", {"write", "all", "--load", write("utf16.ini", std::string("\xFF\xFE[\0C\0]\0", 8))}},
      {"saved log", {"write", "formCommon", "--load", write("log.ini", "\r\n=====\r\n-> com: +v\r\n")}},
      {"device", {"write", "all", "--load", "/dev/zero"}},
      {"FIFO", {"write", "all", "--load", (dir / "fifo.ini").string()}},
      {"save into a folder", {"read", "all", "--save", (dir / "folder.ini").string()}},
      {"save into a missing folder", {"read", "all", "--save", (dir / "no" / "x.ini").string()}},
      {"log into a folder", {"--log", (dir / "folder.ini").string(), "info"}},
      {"unknown page", {"read", "formNone", "--save", (dir / "x.ini").string()}},
      {"line end inside a line", {"send", "+v\r+typepan"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args{"--port", port};
    args.insert(args.end(), c.args.begin(), c.args.end());
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(RunCli(args), 2);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(said.empty());
    if (std::string(c.name) == "unknown page") {
      EXPECT_NE(said.find("formCommon, formATests"), std::string::npos) << said;
    }
    if (std::string(c.name) == "folder") {
      EXPECT_NE(said.find("это папка"), std::string::npos) << said;
    }
  }
  EXPECT_TRUE(panel.ReceivedLines().empty());
  EXPECT_FALSE(fs::exists(dir / "x.ini"));
  fs::remove_all(dir);
}

// An overlong form of a carriage return is not a line end: the panel gets one command.
TEST(Cli, OverlongUtf8DoesNotSplitACommand) {
  zorvan::TScopedTimeScale fast(0.2);  // the panel answers "ERR" and the tool waits for "OK"
  zorvan::sim::TVirtualPanel panel;
  const std::string port = panel.Start();
  ::testing::internal::CaptureStdout();
  RunCli({"--port", port, "send", "+v\xC0\x8D+typepan"});
  ::testing::internal::GetCapturedStdout();
  const auto lines = panel.ReceivedLines();
  std::string all;
  for (const auto& line : lines) all += line + "|";
  EXPECT_NE(std::find(lines.begin(), lines.end(), "+v??+typepan"), lines.end()) << all;
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "+typepan"), 1) << all;  // the connect's own only
}

namespace {

std::string FileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  return content.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The lines the panel received after the first `from`.
std::vector<std::string> SentSince(const zorvan::sim::TVirtualPanel& panel, std::size_t from) {
  const auto lines = panel.ReceivedLines();
  return {lines.begin() + static_cast<long>(from), lines.end()};
}

bool AnyStartsWith(const std::vector<std::string>& lines, const std::string& prefix) {
  return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
}

zorvan::sim::TPanelOptions FastPanel() {
  zorvan::sim::TPanelOptions options;
  options.lineRate = 0;
  return options;
}

}  // namespace

// One page read into a file replaces that page's section and nothing else; a new file gets the
// page's section alone.
TEST(Cli, OnePageReadReplacesItsSectionAndKeepsTheRestByteForByte) {
  zorvan::sim::TVirtualPanel panel(FastPanel());
  const std::string port = panel.Start();
  const std::string file = ::testing::TempDir() + "zorvan-cli-one-page.ini";
  std::remove(file.c_str());
  ASSERT_EQ(RunCli({"--port", port, "read", "all", "--save", file}), 0);
  // Sections the tool does not write, a comment and a bare line feed are kept as they are.
  const std::string full = FileBytes(file) + "[formWays]\r\ncbWay1=3\r\n; kept\n[Update]\r\nUpdatePanelVersion=vbnqsu\r\n";
  WriteBytes(file, full);
  panel.Parameters().Answer("+y=2D");
  ASSERT_EQ(RunCli({"--port", port, "read", "formOuts", "--save", file}), 0);
  const std::string after = FileBytes(file);
  const auto at = full.find("[formOuts]"), end = full.find('[', at + 1);
  const auto atAfter = after.find("[formOuts]"), endAfter = after.find('[', atAfter + 1);
  ASSERT_NE(at, std::string::npos);
  ASSERT_NE(atAfter, std::string::npos);
  EXPECT_EQ(after.substr(0, atAfter), full.substr(0, at));
  EXPECT_EQ(after.substr(endAfter), full.substr(end));
  EXPECT_NE(after.substr(atAfter, endAfter - atAfter).find("SyrenTimeComboBoxText=45\r\n"), std::string::npos);
  EXPECT_EQ(full.substr(at, end - at).find("SyrenTimeComboBoxText=45\r\n"), std::string::npos);

  // A read of all pages replaces the program's sections and keeps the others.
  ASSERT_EQ(RunCli({"--port", port, "read", "all", "--save", file}), 0);
  EXPECT_NE(FileBytes(file).find("; kept\n[Update]\r\nUpdatePanelVersion=vbnqsu\r\n"), std::string::npos);
  // A file of another kind is not overwritten by a read.
  const std::string log = ::testing::TempDir() + "zorvan-cli-one-page.log";
  WriteBytes(log, "-> com: +v\r\n");
  EXPECT_EQ(RunCli({"--port", port, "read", "formOuts", "--save", log}), 2);
  EXPECT_EQ(FileBytes(log), "-> com: +v\r\n");

  const std::string fresh = ::testing::TempDir() + "zorvan-cli-one-page-fresh.ini";
  std::remove(fresh.c_str());
  ASSERT_EQ(RunCli({"--port", port, "read", "formGPRS", "--save", fresh}), 0);
  EXPECT_EQ(zorvan::TIniFile::FromBytes(FileBytes(fresh)).Sections(), std::vector<std::string>{"formGPRS"});
}

// A template of one page writes that page; the pages it lacks are named and nothing of them is sent.
TEST(Cli, AOnePageFileWritesThatPageAloneAndNamesThePagesLeftOut) {
  zorvan::sim::TVirtualPanel panel(FastPanel());
  const std::string port = panel.Start();
  const std::string file = ::testing::TempDir() + "zorvan-cli-gprs-only.ini";
  std::remove(file.c_str());
  ASSERT_EQ(RunCli({"--port", port, "read", "formGPRS", "--save", file}), 0);
  const auto before = panel.ReceivedLines().size();
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(RunCli({"--port", port, "write", "all", "--load", file}), 0);
  const std::string said = ::testing::internal::GetCapturedStderr();
  const auto sent = SentSince(panel, before);
  EXPECT_TRUE(AnyStartsWith(sent, "+GN1="));
  EXPECT_TRUE(AnyStartsWith(sent, "+GT="));
  for (const char* other : {"+o=", "+FMW=", "+P2=", "+AN=", "+AA=", "+PO=", "+WI=", "+r=", "+y=", "+yc=", "+E=", "+J"})
    EXPECT_FALSE(AnyStartsWith(sent, other)) << other;
  for (const char* page : {"formCommon", "formATests", "formOuts", "FormEnNumber"})
    EXPECT_NE(said.find(page), std::string::npos) << said;
  // A file that holds none of the pages a command writes sends nothing.
  WriteBytes(file, "[formWays]\r\ncbWay1=3\r\n");
  const auto none = panel.ReceivedLines().size();
  EXPECT_EQ(RunCli({"--port", port, "write", "all", "--load", file}), 2);
  EXPECT_EQ(panel.ReceivedLines().size(), none);
}

// Each of these values is one a typed value could not be, or the panel could not take: the
// file is refused, with the file, page, key and value named, and nothing goes to the panel.
TEST(Cli, ValuesNoTypedValueCouldBeAreRefusedAndNothingIsSent) {
  zorvan::sim::TVirtualPanel panel(FastPanel());
  const std::string port = panel.Start();
  const std::string file = ::testing::TempDir() + "zorvan-cli-bad-value.ini";
  const struct {
    const char* section;
    const char* key;
    std::string value;
  } cases[] = {
      {"FormEnNumber", "etN3", zorvan::W("+7 (900) 123-45-67 доб")},
      {"FormEnNumber", "etN3", "+79001234567890123456"},
      {"formGPRS", "etSIM1ADDR", std::string(3000, 'a')},
      {"formGPRS", "etSIM1LOGIN", "us\x1b" "er\x07\x7f"},
      {"formGPRS", "etServerAddr1", "999.1.2.3;+rb"},
      {"formGPRS", "etServerAddr1", "999.1.2.3"},
      {"formGPRS", "etServerPort1", "99999"},
      {"formGPRS", "cbTime", "12"},
      {"formATests", "ExATCombo", "2x"},
      {"formATests", "AT1Combo", "25:00"},
      {"formCommon", "etO", "12345"},
      {"formCommon", "ChIMEI", "yes"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.section) + " " + c.key);
    WriteBytes(file, std::string("[") + c.section + "]\r\n" + c.key + "=" + c.value + "\r\n");
    for (const char* page : {"all", c.section}) {
      ::testing::internal::CaptureStderr();
      EXPECT_EQ(RunCli({"--port", port, "write", page, "--load", file}), 2);
      const std::string said = ::testing::internal::GetCapturedStderr();
      const std::string named = "[" + std::string(c.section) + "] " + c.key + "=";
      EXPECT_NE(said.find(named), std::string::npos) << said;
      EXPECT_NE(said.find("zorvan-cli-bad-value.ini"), std::string::npos) << said;
    }
  }
  EXPECT_TRUE(panel.ReceivedLines().empty());
}

// What a section lacks is not sent: the panel keeps its own value.
TEST(Cli, ASectionLackingKeysWritesNothingOfWhatItLacks) {
  zorvan::sim::TPanelOptions options = FastPanel();
  options.masterCode = "1234";
  zorvan::sim::TVirtualPanel panel(options);
  const std::string port = panel.Start();
  const std::string file = ::testing::TempDir() + "zorvan-cli-lacking.ini";
  WriteBytes(file, "[formCommon]\r\netO=0123\r\n");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(RunCli({"--port", port, "--master", "1234", "write", "formCommon", "--load", file}), 0);
  const std::string said = ::testing::internal::GetCapturedStderr();
  auto sent = SentSince(panel, 0);
  EXPECT_NE(std::find(sent.begin(), sent.end(), "+o=0123"), sent.end());
  EXPECT_FALSE(AnyStartsWith(sent, "+FMW"));
  EXPECT_FALSE(AnyStartsWith(sent, "+P2="));
  EXPECT_EQ(panel.Common().MasterCode(), "1234");
  EXPECT_NE(said.find("etKey"), std::string::npos) << said;
  EXPECT_EQ(RunCli({"--port", port, "--master", "1234", "info"}), 0);

  // One GPRS key: that parameter alone; the power events go only with all three of their keys.
  WriteBytes(file, "[formGPRS]\r\netSIM1ADDR=apn.one\r\n[formATests]\r\nAKBBreakCheck=1\r\nRebootCheck=0\r\n");
  const auto before = panel.ReceivedLines().size();
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(RunCli({"--port", port, "--master", "1234", "write", "all", "--load", file}), 0);
  ::testing::internal::GetCapturedStderr();
  sent = SentSince(panel, before);
  std::vector<std::string> pages;
  for (const std::string& line : sent)
    if (line.find('=') != std::string::npos && line.rfind("+id=", 0) != 0) pages.push_back(line);
  EXPECT_EQ(pages, (std::vector<std::string>{"+r=0", "+GN1=apn.one"}));
}

// A reply with noise after the echo, or bytes and no "OK", is no value: the read of a text, a
// switch and a number each fail, and the file is left as it was.
TEST(Cli, NoiseAfterTheEchoFailsTheReadAndLeavesTheFile) {
  zorvan::TScopedTimeScale fast(0.05);
  using zorvan::sim::TFaultKind;
  const struct {
    TFaultKind kind;
    const char* command;
    const char* page;
  } cases[] = {
      {TFaultKind::Noise, "+GC1", "formGPRS"},      // text
      {TFaultKind::Garbage, "+GN1", "formGPRS"},    // text without its "OK"
      {TFaultKind::Noise, "+P", "formGPRS"},        // switch
      {TFaultKind::Noise, "+GT", "formGPRS"},       // number
      {TFaultKind::Noise, "+j2", "FormEnNumber"},   // telephone number
      {TFaultKind::Noise, "+E", "FormEnNumber"},    // switch
      {TFaultKind::Noise, "+yc", "formOuts"},       // switch read by its first character before
  };
  const std::string file = ::testing::TempDir() + "zorvan-cli-noise.ini";
  const std::string good = "[formGPRS]\r\netSIM1Phone=*99#\r\n";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    zorvan::sim::TVirtualPanel panel(FastPanel());
    // Bytes without an "OK" are asked again: they come every time.
    panel.AddFault({c.kind, c.command, c.kind == TFaultKind::Garbage ? -1 : 1});
    WriteBytes(file, good);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(RunCli({"--port", panel.Start(), "read", c.page, "--save", file}), 1);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("(" + std::string(c.command) + ")"), std::string::npos) << said;
    EXPECT_EQ(FileBytes(file), good);
  }
}

// A panel that stops answering ends a write-all after a few silent parameters, not after
// every parameter's three tries.
TEST(Cli, WriteAllGivesUpOnAPanelThatStoppedAnswering) {
  zorvan::TScopedTimeScale fast(0.02);
  zorvan::sim::TVirtualPanel panel(FastPanel());
  const std::string port = panel.Start();
  const std::string file = ::testing::TempDir() + "zorvan-cli-silent.ini";
  std::remove(file.c_str());
  ASSERT_EQ(RunCli({"--port", port, "read", "all", "--save", file}), 0);
  for (const char* command : {"+o=0050", "+FMW=5281", "+P2=0"}) panel.AddFault({zorvan::sim::TFaultKind::Silent, command, -1});
  const auto before = panel.ReceivedLines().size();
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(RunCli({"--port", port, "write", "all", "--load", file}), 1);
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("Панель перестала отвечать"), std::string::npos) << said;
  const auto sent = SentSince(panel, before);
  EXPECT_FALSE(AnyStartsWith(sent, "+AN="));
  EXPECT_FALSE(AnyStartsWith(sent, "+GC1="));
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "+o=0050"), 3);  // a single parameter keeps its tries
}

// A port given as a relative path, or as a name in the current folder, is that file.
TEST(Cli, APortGivenRelativeToTheCurrentFolder) {
  namespace fs = std::filesystem;
  zorvan::sim::TVirtualPanel panel(FastPanel());
  const std::string device = panel.Start();
  const fs::path dir = fs::path(::testing::TempDir()) / ("zorvan-cli-port-" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  fs::create_symlink(device, dir / "panel-link");
  const fs::path was = fs::current_path();
  fs::current_path(dir);
  EXPECT_EQ(RunCli({"--port", "./panel-link", "info"}), 0);
  EXPECT_EQ(RunCli({"--port", "panel-link", "info"}), 0);
  fs::current_path(was);
  fs::remove_all(dir);
}
