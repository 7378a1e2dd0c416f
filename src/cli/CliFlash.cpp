#include "cli/CliFlash.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <mutex>

#include "base/Cp1251.h"
#include "base/FileAccess.h"
#include "firmware/BuiltInImages.h"
#include "firmware/HexFile.h"
#include "firmware/UpdateThread.h"
#include "link/Clock.h"
#include "link/Modem.h"

namespace zorvan {
namespace {

using namespace firmware;

constexpr int kRedials = 3;

// One progress line, rewritten in place on a terminal and a line per stage otherwise.
class TProgressLine : public TFlashReport {
 public:
  TProgressLine() : terminal_(isatty(STDERR_FILENO) != 0) {}
  void Stage(const std::string& text) override {
    std::lock_guard lock(mutex_);
    stage_ = Cp1251ToUtf8(text);
    Print(true);
  }
  void Progress(int position, int total) override {
    std::lock_guard lock(mutex_);
    position_ = position;
    total_ = total;
    // Without a terminal, a line every 5 % is enough.
    const int percent = total > 0 ? position * 100 / total : 0;
    if (terminal_ || percent / 5 != lastPercent_ / 5) Print(!terminal_);
    lastPercent_ = percent;
  }
  void Times(const std::string& elapsed, const std::string& remaining) override {
    std::lock_guard lock(mutex_);
    elapsed_ = Cp1251ToUtf8(elapsed);
    remaining_ = Cp1251ToUtf8(remaining);
  }
  // The file update's failure line: the tool says it once, with the whole story, at the end.
  void Log(const std::string&) override { End(); }
  void End() {
    std::lock_guard lock(mutex_);
    if (terminal_ && open_) std::fputc('\n', stderr);
    open_ = false;
  }

 private:
  void Print(bool newLine) {
    std::fprintf(stderr, "%sflash: %d/%d %s %s%s%s", terminal_ ? "\r\033[K" : "", position_, total_, stage_.c_str(),
                 elapsed_.empty() ? "" : elapsed_.c_str(), remaining_.empty() ? "" : ("/ " + remaining_).c_str(),
                 newLine && !terminal_ ? "\n" : "");
    std::fflush(stderr);
    open_ = terminal_;
  }
  std::mutex mutex_;
  bool terminal_;
  bool open_ = false;
  int position_ = 0, total_ = 0, lastPercent_ = -5;
  std::string stage_, elapsed_, remaining_;
};

// Ctrl+C or SIGTERM during an update: the update stops after the current command, the panel
// is restarted as at every disconnection, and the user is told what the panel holds. A second
// signal ends the tool at once.
std::atomic<int> interruptedBy{0};

void OnInterrupt(int signal) {
  interruptedBy.store(signal);
  std::signal(signal, SIG_DFL);
}

class TInterruptGuard {
 public:
  TInterruptGuard() {
    interruptedBy.store(0);
    previousInt_ = std::signal(SIGINT, OnInterrupt);
    previousTerm_ = std::signal(SIGTERM, OnInterrupt);
  }
  ~TInterruptGuard() {
    std::signal(SIGINT, previousInt_);
    std::signal(SIGTERM, previousTerm_);
  }
  TInterruptGuard(const TInterruptGuard&) = delete;
  TInterruptGuard& operator=(const TInterruptGuard&) = delete;
  static int Signal() { return interruptedBy.load(); }

 private:
  void (*previousInt_)(int) = SIG_DFL;
  void (*previousTerm_)(int) = SIG_DFL;
};

// A line for the user that also belongs in the log (--log, -v).
void Tell(TCliShell& cli, const TCliConnection& connection, const std::string& line) {
  if (!connection.verbose) Say(line);
  cli.Shell().Out().PostLog(line, true, true);
  cli.Shell().Drain();
}

// Runs the update on its thread while this thread serves the shell.
TFlashResult FlashOnce(TCliShell& cli, TFlashDriver driver, const std::vector<TBlock>& blocks, TProgressLine& line) {
  TUpdateThread update(cli.Shell().Device(), driver, blocks, line);
  update.Start();
  while (!update.Finished()) {
    if (TInterruptGuard::Signal() != 0) update.RequestStop();
    cli.View().Tick();
  }
  update.Join();
  cli.Shell().Drain();
  line.End();
  return update.Result();
}

// The panel after the update reports the image's version, when the image has one.
bool RunsVersion(const TDevZorvan& device, const std::string& versionLine) {
  const TVersionNumbers expected = ParseVersionLine(versionLine);
  return expected.variant >= 0 && device.Variant() == expected.variant && device.Build() == expected.build;
}

}  // namespace

int RunFlash(const TCliConnection& connection, const TFlashRequest& request) {
  std::vector<TBlock> blocks;
  TFlashDriver driver = TFlashDriver::BuiltIn;
  if (!request.hexFile.empty()) {
    // Nothing goes to the panel from a file that was not read whole.
    const THexTable table = ReadHexFile(request.hexFile);
    if (!table.complete) {
      Say(QuotedPath(request.hexFile) + ": " + table.error);
      return kExitUsage;
    }
    if (table.dataBytes == 0) {
      Say(QuotedPath(request.hexFile) + W(": в файле нет данных прошивки"));
      return kExitUsage;
    }
    blocks = FileBlocks(table);
    driver = TFlashDriver::File;
  }

  TCliShell cli(connection);
  if (auto failed = cli.Connect()) return *failed;
  TShell& shell = cli.Shell();
  const TDevZorvan& device = shell.Device();
  const std::string versionBefore = device.VersionText();
  std::string newVersion;
  if (driver == TFlashDriver::BuiltIn) {
    const TImageLines image1 = LoadBuiltInImage(1);
    const TImageLines image2 = LoadBuiltInImage(2);
    const TPanelFirmware panel{device.Variant(), device.Build(), device.TypepanA() != 0, device.TypepanB() != 0};
    const int number = ImageNumberForVariant(panel.variant);
    if (number == 0) {
      cli.Disconnect();
      Say(W("Для панели с версией ") + versionBefore + W(" нет встроенной прошивки"));
      return kExitRefused;
    }
    if (!request.force && !UpdateOffered(panel, image1.empty() ? "" : image1[0], image2.empty() ? "" : image2[0])) {
      // The panel is up to date: nothing went wrong.
      cli.Disconnect();
      Say(W("Перепрошивка не требуется: версия панели ") + versionBefore);
      std::printf("version: %s\n", Cp1251ToUtf8(versionBefore).c_str());
      return kExitOk;
    }
    const TImageLines& image = number == 1 ? image1 : image2;
    blocks = BuiltInBlocks(image);
    newVersion = image.empty() ? std::string() : image[0];
    Say(W("Перепрошивка: ") + versionBefore + " -> " + newVersion);
  }

  TInterruptGuard interrupt;
  TProgressLine line;
  TFlashResult result = FlashOnce(cli, driver, blocks, line);
  const bool modem = !TModem::CleanDialNumber(connection.phone).empty();
  bool confirmedByVersion = false;
  for (int redial = 1; !result.Ok() && modem && redial <= kRedials && TInterruptGuard::Signal() == 0; ++redial) {
    // Only a lost call is worth another one; a refusal would be refused again.
    if (cli.Alive() || result.outcome == TFlashOutcome::Empty) break;
    cli.Disconnect();
    if (result.FinishUnknown()) {
      // The finish may have reached the panel: let it program itself before calling.
      Say(W("Связь потеряна после команды завершения; ожидание перезапуска панели"));
      SleepMs(driver == TFlashDriver::BuiltIn ? kBuiltInFinishWaitMs : kFileFinishWaitMs);
    }
    Say(W("Связь потеряна, повторный звонок ") + std::to_string(redial) + W(" из ") + std::to_string(kRedials) +
        W("; продолжение с блока ") + std::to_string((shell.Device().FirmwareResume().nextLine - 1) / 4));
    if (cli.Connect()) continue;
    if (result.FinishUnknown() && (newVersion.empty() ? device.VersionText() != versionBefore
                                                      : RunsVersion(device, newVersion))) {
      // The panel took the finish and runs the new firmware: nothing is left to send.
      ResetResume(shell.Device().FirmwareResume());
      confirmedByVersion = true;
      break;
    }
    result = FlashOnce(cli, driver, blocks, line);
  }
  if (const int signal = TInterruptGuard::Signal(); signal != 0 && !confirmedByVersion) {
    // The disconnection restarts the panel ("+rb"): out of its loader when it can run.
    cli.Disconnect();
    if (result.Ok()) {
      Tell(cli, connection,
           W("Перепрошивка прервана после того, как панель приняла прошивку: панель перепрограммирует себя; "
             "проверьте ее версию через минуту."));
    } else {
      result.outcome = TFlashOutcome::Stopped;
      Tell(cli, connection, W("ОШИБКА! Прошивка не обновлена: ") + FailureText(result));
    }
    return 128 + signal;
  }
  if (!result.Ok() && !confirmedByVersion) {
    cli.Disconnect();
    Tell(cli, connection, W("ОШИБКА! Прошивка не обновлена: ") + FailureText(result));
    if (!shell.LastPortFailure().empty()) return kExitPortFailed;
    return kExitRefused;
  }
  Say(W("Перепрошивка успешно завершена!"));
  // The panel has restarted with the new firmware: ask it for its version (the call after a
  // lost finish has asked already).
  if (!confirmedByVersion) {
    cli.Disconnect();
    if (auto failed = cli.Connect()) {
      Say(W("Панель после перепрошивки не ответила; проверьте версию позже"));
      return kExitOk;
    }
  }
  const std::string version = shell.Device().VersionText();
  std::printf("version: %s\n", Cp1251ToUtf8(version).c_str());
  const bool expected = newVersion.empty() || RunsVersion(shell.Device(), newVersion);
  cli.Disconnect();
  if (!expected) {
    Say(W("ОШИБКА! Панель приняла прошивку, но сообщает версию ") + version + W(" вместо ") + newVersion);
    return kExitRefused;
  }
  return kExitOk;
}

}  // namespace zorvan
