// zorvan-cli flash against the virtual panel's boot loader, on a fast clock.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <thread>

#include "base/Cp1251.h"
#include "base/FileAccess.h"
#include "cli/Cli.h"
#include "firmware/HexFile.h"
#include "link/Clock.h"
#include "sim/VirtualPanel.h"

using namespace zorvan;

namespace {

struct TFlashRig {
  explicit TFlashRig(bool modem = false, std::string version = "09.005.006", std::string typepan = "0001")
      : panel(Options(std::move(version), std::move(typepan)), Modem(modem)) {
    port = panel.Start();
  }
  static sim::TPanelOptions Options(std::string version, std::string typepan) {
    sim::TPanelOptions options;
    options.version = std::move(version);
    options.typepan = std::move(typepan);
    options.lineRate = 0;
    return options;
  }
  static sim::TModemOptions Modem(bool enabled) {
    sim::TModemOptions modem;
    modem.enabled = enabled;
    return modem;
  }
  int Lines(const std::string& prefix) const {
    const auto lines = panel.ReceivedLines();
    return static_cast<int>(
        std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
  }
  std::vector<std::string> Writes() const {
    std::vector<std::string> numbers;
    for (const auto& l : panel.ReceivedLines())
      if (l.rfind("+W", 0) == 0) numbers.push_back(l.substr(2, 4));
    return numbers;
  }
  TScopedTimeScale fast{0.025};
  sim::TVirtualPanel panel;
  std::string port;
};

// A HEX file of the given number of 16-byte paragraphs.
std::string WriteHexFile(const std::string& name, int paragraphs) {
  const std::string path = ::testing::TempDir() + name;
  std::ofstream file(path, std::ios::binary);
  for (int p = 0; p < paragraphs; ++p) {
    const unsigned address = static_cast<unsigned>(p * 16);
    unsigned sum = 16 + (address >> 8) + (address & 0xFF);
    char part[16];
    std::snprintf(part, sizeof part, ":10%04X00", address);
    std::string line = part;
    for (unsigned i = 0; i < 16; ++i) {
      const unsigned byte = (address + i * 37) & 0xFF;
      sum += byte;
      std::snprintf(part, sizeof part, "%02X", byte);
      line += part;
    }
    std::snprintf(part, sizeof part, "%02X\r\n", (0x100 - (sum & 0xFF)) & 0xFF);
    file << line << part;
  }
  file << ":00000001FF\r\n";
  return path;
}

}  // namespace

TEST(CliFlash, BuiltInImageAndThePanelComesBackWithTheNewVersion) {
  TFlashRig rig;
  testing::internal::CaptureStdout();
  EXPECT_EQ(RunCli({"--port", rig.port, "flash"}), 0);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("version: 09.005.007"), std::string::npos) << out;
  EXPECT_EQ(rig.panel.BootLoader().Erases(), 1);
  const auto writes = rig.Writes();
  ASSERT_EQ(writes.size(), 1622u);
  EXPECT_EQ(writes.front(), "0000");
  EXPECT_EQ(writes.back(), "1954");
  EXPECT_EQ(rig.Lines("+EE"), 1);
}

TEST(CliFlash, RefusalsEndWithAFailureStatus) {
  struct Case {
    const char* name;
    std::string version, typepan;
    sim::TBootLoaderOptions loader;
    int status;
    int writes;
    const char* says;     // on standard error
    bool erasedMemory;    // the message says the panel's memory was erased
  };
  sim::TBootLoaderOptions eraseErr;
  eraseErr.eraseErr = true;
  sim::TBootLoaderOptions refuse;
  refuse.refuseBlock = "0010";
  const Case cases[] = {
      // A panel that is up to date is no failure.
      {"not offered (build 7 already)", "09.005.007", "0001", {}, 0, 0, "Перепрошивка не требуется", false},
      {"flag B clear", "09.005.006", "0100", {}, 0, 0, "Перепрошивка не требуется", false},
      {"erase refused", "09.005.006", "0001", eraseErr, 1, 0, "Не удалось стереть содержимое флэш", false},
      // "ERR" ends the update thread's tries at once.
      {"block refused", "09.005.006", "0001", refuse, 1, 4 + 1, "Не удалось записать блок 0010", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TFlashRig rig(false, c.version, c.typepan);
    rig.panel.BootLoader().SetOptions(c.loader);
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunCli({"--port", rig.port, "flash"}), c.status);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find(c.says), std::string::npos) << err;
    EXPECT_EQ(err.find("Память панели стерта: панель не будет работать, пока прошивка не будет обновлена. "
                       "Запустите перепрошивку еще раз.") != std::string::npos,
              c.erasedMemory)
        << err;
    EXPECT_EQ(rig.Lines("+W"), c.writes);
    EXPECT_EQ(rig.Lines("+EE"), 0);
    EXPECT_EQ(rig.panel.BootLoader().Version(), c.version);
  }
}

TEST(CliFlash, ABadHexFileSendsNothing) {
  TFlashRig rig;
  const std::string bad = ::testing::TempDir() + "zorvan-bad.hex";
  {
    std::ofstream file(bad, std::ios::binary);
    file << ":10000000000102030405060708090A0B0C0D0E0F78\r\n:1000100010111213141516171819\r\n";
  }
  // A download cut at a line boundary: every line good, the end record missing.
  const std::string cut = WriteHexFile("zorvan-cut.hex", 40);
  {
    std::string text;
    std::string error;
    ASSERT_EQ(ReadRegularFile(cut, 1 << 20, text, error), TReadResult::Ok);
    text.resize(text.size() - std::string(":00000001FF\r\n").size());
    ASSERT_TRUE(ReplaceFile(cut, text, error));
  }
  const struct {
    std::string path;
    const char* says;
  } cases[] = {
      {bad, "строка 2"},
      {cut, "нет записи конца файла"},
      {"/dev/zero", "это устройство, а не файл"},
      {::testing::TempDir() + "zorvan-missing.hex", "нет такого файла"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunCli({"--port", rig.port, "flash", "--hex", c.path}), 2);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find(c.says), std::string::npos) << err;
    EXPECT_TRUE(rig.panel.ReceivedLines().empty());
  }
  EXPECT_EQ(RunCli({"flash", "--hex"}), 2);
}

TEST(CliFlash, ADroppedModemCallIsCalledAgainAndTheUpdateGoesOn) {
  TFlashRig rig(true);
  sim::TBootLoaderOptions drop;
  drop.dropAfterBlocks = 4;  // blocks 0000 to 000C acknowledged, then the carrier goes
  rig.panel.BootLoader().SetOptions(drop);
  const std::string path = WriteHexFile("zorvan-ten-blocks.hex", 40);
  EXPECT_EQ(RunCli({"--port", rig.port, "--modem", "v32", "--phone", "5551234", "flash", "--hex", path}), 0);
  EXPECT_EQ(rig.panel.Dialled().size(), 3u);  // the update, the call after the drop, the version check
  EXPECT_EQ(rig.panel.BootLoader().Erases(), 1);
  EXPECT_EQ(rig.Lines("+BE"), 1);
  EXPECT_EQ(rig.Lines("+BL"), 2);
  EXPECT_EQ(rig.Writes(), (std::vector<std::string>{"0000", "0004", "0008", "000C", "0010", "0014", "0018", "001C",
                                                    "0020", "0024"}));
  EXPECT_EQ(rig.Lines("+EE"), 1);
}

TEST(CliFlash, ACallDroppedRightAfterTheAcknowledgedFinishStillEndsWell) {
  TFlashRig rig(true);
  const std::string path = WriteHexFile("zorvan-finish-drop.hex", 40);
  sim::TBootLoaderOptions loader;
  loader.dropAfterFinish = true;
  loader.programMs = 5000;  // back before the tool calls to check
  rig.panel.BootLoader().SetOptions(loader);
  rig.panel.BootLoader().AddKnownImage("09.005.042",
                                       firmware::ImageFingerprint(firmware::FileBlocks(firmware::ReadHexFile(path))));
  testing::internal::CaptureStdout();
  EXPECT_EQ(RunCli({"--port", rig.port, "--modem", "v32", "--phone", "5551234", "flash", "--hex", path}), 0);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("version: 09.005.042"), std::string::npos) << out;
  EXPECT_EQ(rig.panel.BootLoader().Erases(), 1);
  EXPECT_EQ(rig.Lines("+BE"), 1);
  EXPECT_EQ(rig.Writes().size(), 10u);
  EXPECT_EQ(rig.Lines("+EE"), 1);
  EXPECT_EQ(rig.panel.Dialled().size(), 2u);  // the update and the version check
}

TEST(CliFlash, AnInterruptStopsTheUpdateRestartsThePanelAndSaysTheMemoryIsErased) {
  TFlashRig rig;
  sim::TBootLoaderOptions slow;
  slow.writeMs = 1000;  // time for the signal to land mid-way
  rig.panel.BootLoader().SetOptions(slow);
  const std::string path = WriteHexFile("zorvan-interrupted.hex", 400);
  // Should the signal come after the tool let go of it, it must not end the test.
  auto* previous = std::signal(SIGINT, [](int) {});
  std::thread interrupter([&rig] {
    for (int i = 0; i < 4000 && rig.Lines("+W") < 5; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ::kill(::getpid(), SIGINT);
  });
  testing::internal::CaptureStderr();
  const int status = RunCli({"--port", rig.port, "flash", "--hex", path});
  interrupter.join();
  std::signal(SIGINT, previous);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(status, 128 + SIGINT);
  EXPECT_NE(err.find("Перепрошивка прервана. Память панели стерта"), std::string::npos) << err;
  EXPECT_LT(rig.Lines("+W"), 100);
  EXPECT_EQ(rig.Lines("+EE"), 0);
  // The panel is restarted as the connection ends (the panel may read it a moment later).
  for (int i = 0; i < 400 && rig.Lines("+rb") == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  const auto lines = rig.panel.ReceivedLines();
  const auto lastWrite = std::find_if(lines.rbegin(), lines.rend(), [](const std::string& l) { return l.rfind("+W", 0) == 0; });
  EXPECT_NE(std::find(lastWrite.base(), lines.end(), "+rb"), lines.end());
}
