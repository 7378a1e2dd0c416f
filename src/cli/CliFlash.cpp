#include "cli/CliFlash.h"

#include <unistd.h>

#include <cstdio>
#include <mutex>

#include "base/Cp1251.h"
#include "firmware/BuiltInImages.h"
#include "firmware/HexFile.h"
#include "firmware/UpdateThread.h"
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
  void Log(const std::string& line) override {
    End();
    Say(line);
  }
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

const char* OutcomeText(TFlashOutcome outcome) {
  switch (outcome) {
    case TFlashOutcome::Done: return "";
    case TFlashOutcome::Empty: return "В образе прошивки нет данных";
    case TFlashOutcome::NoLine: return "Линия занята другой операцией или соединение потеряно";
    case TFlashOutcome::Stopped: return "Перепрошивка прервана";
    case TFlashOutcome::LoaderFailed: return "Не удалось активировать загрузчик";
    case TFlashOutcome::EraseFailed: return "Не удалось стереть содержимое флэш";
    case TFlashOutcome::WriteFailed: return "Панель не приняла блок прошивки";
    case TFlashOutcome::FinishFailed: return "Не удалось завершить перепрошивку";
  }
  return "";
}

// Runs the update on its thread while this thread serves the shell.
TFlashResult FlashOnce(TCliShell& cli, TFlashDriver driver, const std::vector<TBlock>& blocks, TProgressLine& line) {
  TUpdateThread update(cli.Shell().Device(), driver, blocks, line);
  update.Start();
  while (!update.Finished()) cli.View().Tick();
  update.Join();
  cli.Shell().Drain();
  line.End();
  return update.Result();
}

}  // namespace

int RunFlash(const TCliConnection& connection, const TFlashRequest& request) {
  std::vector<TBlock> blocks;
  TFlashDriver driver = TFlashDriver::BuiltIn;
  if (!request.hexFile.empty()) {
    // Nothing goes to the panel from a file that was not read whole.
    const THexTable table = ReadHexFile(request.hexFile);
    if (!table.complete) {
      Say(Utf8ToCp1251(request.hexFile) + ": " + table.error);
      return kExitUsage;
    }
    if (table.dataBytes == 0) {
      Say(Utf8ToCp1251(request.hexFile) + W(": в файле нет данных прошивки"));
      return kExitUsage;
    }
    blocks = FileBlocks(table);
    driver = TFlashDriver::File;
  }

  TCliShell cli(connection);
  if (auto failed = cli.Connect()) return *failed;
  TShell& shell = cli.Shell();
  const TDevZorvan& device = shell.Device();
  std::string newVersion;
  if (driver == TFlashDriver::BuiltIn) {
    const TImageLines image1 = LoadBuiltInImage(1);
    const TImageLines image2 = LoadBuiltInImage(2);
    const TPanelFirmware panel{device.Variant(), device.Build(), device.TypepanA() != 0, device.TypepanB() != 0};
    const int number = ImageNumberForVariant(panel.variant);
    if (number == 0) {
      cli.Disconnect();
      Say(W("Для панели с версией ") + device.VersionText() + W(" нет встроенной прошивки"));
      return kExitRefused;
    }
    if (!request.force && !UpdateOffered(panel, image1.empty() ? "" : image1[0], image2.empty() ? "" : image2[0])) {
      cli.Disconnect();
      Say(W("Перепрошивка не требуется"));
      return kExitRefused;
    }
    const TImageLines& image = number == 1 ? image1 : image2;
    blocks = BuiltInBlocks(image);
    newVersion = image.empty() ? std::string() : image[0];
    Say(W("Перепрошивка: ") + device.VersionText() + " -> " + newVersion);
  }

  TProgressLine line;
  TFlashResult result = FlashOnce(cli, driver, blocks, line);
  const bool modem = !TModem::CleanDialNumber(connection.phone).empty();
  for (int redial = 1; !result.Ok() && modem && redial <= kRedials; ++redial) {
    // Only a lost call is worth another one; a refusal would be refused again.
    if (cli.Alive() || result.outcome == TFlashOutcome::Empty) break;
    cli.Disconnect();
    Say(W("Связь потеряна, повторный звонок ") + std::to_string(redial) + W(" из ") + std::to_string(kRedials) +
        W("; продолжение с блока ") + std::to_string((shell.Device().FirmwareResume().nextLine - 1) / 4));
    if (cli.Connect()) continue;
    result = FlashOnce(cli, driver, blocks, line);
  }
  if (!result.Ok()) {
    const bool alive = cli.Alive();
    cli.Disconnect();
    std::string why = W(OutcomeText(result.outcome));
    if (!result.failedBlock.empty()) why += W(" (блок ") + result.failedBlock + ")";
    if (!alive) why += W("; связь с панелью потеряна");
    Say(W("ОШИБКА! Прошивка не обновлена: ") + why);
    if (!shell.LastPortFailure().empty()) return kExitPortFailed;
    return kExitRefused;
  }
  cli.Disconnect();
  Say(W("Перепрошивка успешно завершена!"));
  // The panel has restarted with the new firmware: ask it for its version.
  if (auto failed = cli.Connect()) {
    Say(W("Панель после перепрошивки не ответила; проверьте версию позже"));
    return kExitOk;
  }
  std::printf("version: %s\n", Cp1251ToUtf8(shell.Device().VersionText()).c_str());
  cli.Disconnect();
  return kExitOk;
}

}  // namespace zorvan
