#include "firmware/Flasher.h"

#include <algorithm>
#include <cmath>

#include "base/Cp1251.h"
#include "base/ValueHelpers.h"

namespace zorvan::firmware {
namespace {

bool Contains(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

// Words with which the modem or the port reports the line gone.
bool LineLostIn(const std::string& reply) {
  for (std::string_view word : {"NO CARRIER", "DISCONNECT", "BUSY"})
    if (Contains(reply, word)) return true;
  return false;
}

class TRun {
 public:
  TRun(TFlashDriver driver, const std::vector<TBlock>& blocks, TFirmwareResume& resume, TFlashLink& link,
       TFlashReport& report)
      : driver_(driver), blocks_(blocks), resume_(resume), link_(link), report_(report) {}

  TFlashResult Go();

 private:
  bool BuiltIn() const { return driver_ == TFlashDriver::BuiltIn; }
  bool LinkLossIn(const std::string& reply) const {
    return LineLostIn(reply) || (BuiltIn() && Contains(reply, "ERR"));
  }
  // "OK" with nothing bad before it. What comes after it (the carrier going right after the
  // answer) does not undo an acknowledgement that came.
  bool Acknowledged(const std::string& reply) const {
    const auto ok = reply.find("OK");
    if (ok == std::string::npos) return false;
    const std::string head = reply.substr(0, ok);
    return !Contains(head, "ERR") && !LinkLossIn(head);
  }
  // Why a step that was not acknowledged failed.
  TStepFault FaultOf(const std::string& reply) {
    if (LineLostIn(reply) || link_.Lost()) return TStepFault::LineLost;
    if (TrimBlanks(reply).empty()) return TStepFault::Silent;
    return TStepFault::Refused;
  }
  bool MaySend() { return !link_.StopRequested() && !link_.Lost(); }
  void Stage(const std::string& text) {
    if (text == stage_) return;
    stage_ = text;
    report_.Stage(text);
  }
  void Step(int steps) {
    progress_ = std::min(total_, progress_ + steps);
    report_.Progress(progress_, total_);
  }
  void ShowTimes();
  // Up to three tries of a step; accepted when acknowledged and the extra condition holds. A
  // link-loss word ends the tries.
  template <typename Accept>
  bool Tries(const std::string& command, int timeoutMs, Accept accept);
  bool Plain(const std::string& command, int timeoutMs) {
    return Tries(command, timeoutMs, [](const std::string&) { return true; });
  }
  TFlashResult Fail(TFlashOutcome outcome);

  TFlashDriver driver_;
  const std::vector<TBlock>& blocks_;
  TFirmwareResume& resume_;
  TFlashLink& link_;
  TFlashReport& report_;
  TFlashResult result_;
  int progress_ = 0;
  int total_ = 0;
  std::int64_t start_ = 0;
  std::string stage_;
};

void TRun::ShowTimes() {
  const double elapsed = static_cast<double>(link_.Now() - start_) / 1000.0;
  const long long whole = static_cast<long long>(elapsed);
  long long remaining = whole;
  if (progress_ > 0) remaining = std::llround(elapsed / progress_ * (total_ - progress_));
  report_.Times(DurationText(whole), DurationText(std::max(0LL, remaining)));
}

template <typename Accept>
bool TRun::Tries(const std::string& command, int timeoutMs, Accept accept) {
  for (int attempt = 1; attempt <= kTries; ++attempt) {
    if (!MaySend()) {
      if (link_.Lost()) result_.fault = TStepFault::LineLost;
      return false;
    }
    const std::string reply = link_.Exchange(command, timeoutMs, !BuiltIn());
    if (BuiltIn()) ShowTimes();
    if (Acknowledged(reply) && accept(reply)) {
      result_.fault = TStepFault::None;
      return true;
    }
    result_.fault = FaultOf(reply);
    if (LinkLossIn(reply) || link_.Lost()) return false;
  }
  return false;
}

TFlashResult TRun::Fail(TFlashOutcome outcome) {
  result_.outcome = link_.StopRequested() ? TFlashOutcome::Stopped : outcome;
  if (!BuiltIn()) {
    link_.Sleep(100);
    report_.Log(W("ОШИБКА! Прошивка не обновлена! ") + FailureText(result_));
  }
  return result_;
}

TFlashResult TRun::Go() {
  start_ = link_.Now();
  const int blockCount = static_cast<int>(blocks_.size());
  total_ = ProgressTotal(driver_, blockCount);
  report_.Progress(0, total_);
  ShowTimes();
  if (blockCount == 0) {
    result_.outcome = TFlashOutcome::Empty;
    return result_;
  }
  const int position = ResumePosition(resume_, blocks_);
  const int firstBlock = (position - 1) / 4;
  result_.firstBlock = firstBlock;
  // A resumed update goes on over memory that an earlier run erased.
  if (position > 1) result_.memory = TPanelMemory::Erased;

  // Loader. A time-out counts as accepted: only a lost link does not.
  if (!MaySend()) return Fail(TFlashOutcome::Stopped);
  Stage(W("Идет переход в режим перепрошивки..."));
  const std::string loaderReply = link_.Exchange("+BL", kLoaderTimeoutMs, !BuiltIn());
  const bool loaderOk = !LinkLossIn(loaderReply) && !link_.Lost();
  Step(BuiltIn() ? 1 : 2);
  if (BuiltIn()) {
    if (!loaderOk) {
      result_.fault = FaultOf(loaderReply);
      return Fail(TFlashOutcome::LoaderFailed);
    }
    Stage(W("Идет очистка памяти..."));
    Step(1);
  }
  // Erase, for a fresh update only: a resumed one keeps what the panel already holds.
  if (position == 1) {
    const bool sendable = MaySend();
    if (!Plain("+BE", kEraseTimeoutMs)) {
      if (sendable && result_.fault != TStepFault::Refused) result_.memory = TPanelMemory::MaybeErased;
      // Without the loader the panel could not erase; with it, it did not.
      if (!loaderOk && result_.fault == TStepFault::Refused) return Fail(TFlashOutcome::LoaderFailed);
      return Fail(TFlashOutcome::EraseFailed);
    }
    result_.erased = true;
    result_.memory = TPanelMemory::Erased;
  }

  // Write phase.
  Step(std::max(1, firstBlock));
  std::array<std::uint8_t, 4> checks{};
  int selector = 1;
  if (position > 1) {
    for (std::size_t i = 0; i < checks.size(); ++i) checks[i] = static_cast<std::uint8_t>(resume_.checksums[i]);
    selector = std::clamp(resume_.checksumPhase, 1, 8);
  }
  const std::uint64_t fingerprint = ImageFingerprint(blocks_);
  bool written = true;
  for (int index = firstBlock; index < blockCount; ++index) {
    const TBlock& block = blocks_[static_cast<std::size_t>(index)];
    Stage(W("Идет загрузка новой версии прошивки..."));
    const bool accepted = Tries(WriteCommand(block), kWriteTimeoutMs, [&](const std::string& reply) {
      // The panel acknowledges with the block's number; another number is not this block.
      return TrimBlanks(CleanReply(reply)).substr(0, 4) == block.number;
    });
    if (!accepted) {
      result_.failedBlock = block.number;
      written = false;
      break;
    }
    Accumulate(checks, selector, BlockCheckValue(block.data));
    if (resume_.allowed) {
      resume_.nextLine = 4 * index + 5;
      resume_.checksumPhase = selector;
      for (std::size_t i = 0; i < checks.size(); ++i) resume_.checksums[i] = checks[i];
      resume_.image = fingerprint;
    }
    ++result_.blocksAccepted;
    Step(1);
    ShowTimes();
  }
  // With every block acknowledged the resume state stays one past the last block: a call lost
  // during the finish step is followed by the finish alone, not by a second erase.
  if (!written) return Fail(TFlashOutcome::WriteFailed);

  // Finish: the panel compares the check bytes and then programs itself.
  report_.FinishStarts();
  bool finished = false;
  for (int attempt = 1; attempt <= kTries && !finished; ++attempt) {
    if (!MaySend()) {
      if (link_.Lost()) result_.fault = TStepFault::LineLost;
      break;
    }
    Stage(W("Идет перепрошивка..."));
    result_.finishSent = true;
    const std::string reply = link_.Exchange(FinishCommand(checks), kFinishTimeoutMs, !BuiltIn());
    if (BuiltIn()) ShowTimes();
    finished = Acknowledged(reply);
    if (!finished) result_.fault = FaultOf(reply);
    if (LinkLossIn(reply) || link_.Lost()) break;
  }
  if (!finished) {
    // A refused finish means the panel holds something else than was sent: start afresh.
    if (result_.fault == TStepFault::Refused) ResetResume(resume_);
    return Fail(TFlashOutcome::FinishFailed);
  }
  result_.fault = TStepFault::None;
  ResetResume(resume_);
  // The panel programs itself now, whether or not the line stays; a stop only cuts the wait.
  const int waitMs = BuiltIn() ? kBuiltInFinishWaitMs : kFileFinishWaitMs;
  for (int waited = 0; waited + kProgressStepMs <= waitMs && !link_.StopRequested(); waited += kProgressStepMs) {
    link_.Sleep(kProgressStepMs);
    Step(1);
    if (BuiltIn()) ShowTimes();
  }
  progress_ = total_;
  report_.Progress(progress_, total_);
  result_.outcome = TFlashOutcome::Done;
  return result_;
}

std::string StepText(const TFlashResult& result) {
  switch (result.outcome) {
    case TFlashOutcome::Done: return {};
    case TFlashOutcome::Empty: return W("В образе прошивки нет данных");
    case TFlashOutcome::NoLine: return W("Нет соединения с панелью");
    case TFlashOutcome::Stopped: return W("Перепрошивка прервана");
    case TFlashOutcome::LoaderFailed: return W("Не удалось активировать загрузчик");
    case TFlashOutcome::EraseFailed: return W("Не удалось стереть содержимое флэш");
    case TFlashOutcome::WriteFailed: return W("Не удалось записать блок ") + result.failedBlock;
    case TFlashOutcome::FinishFailed: return W("Не удалось завершить перепрошивку");
  }
  return {};
}

std::string FaultText(TStepFault fault) {
  switch (fault) {
    case TStepFault::None: return {};
    case TStepFault::Refused: return W(": панель не приняла команду");
    case TStepFault::Silent: return W(": панель не ответила");
    case TStepFault::LineLost: return W(": связь с панелью потеряна");
  }
  return {};
}

}  // namespace

std::string ErasedMemoryText() {
  return W("Память панели стерта: панель не будет работать, пока прошивка не будет обновлена. "
           "Запустите перепрошивку еще раз.");
}

std::string FailureText(const TFlashResult& result) {
  std::string text = StepText(result);
  if (result.outcome != TFlashOutcome::Stopped) text += FaultText(result.fault);
  text += ".";
  if (result.FinishUnknown()) {
    return text + W(" Панель могла принять прошивку и перепрограммировать себя: подключитесь к ней через минуту и "
                    "проверьте версию. Если версия не изменилась, ") +
           W("память панели стерта: запустите перепрошивку еще раз.");
  }
  if (result.memory == TPanelMemory::Erased) return text + " " + ErasedMemoryText();
  if (result.memory == TPanelMemory::MaybeErased)
    return text + W(" Память панели, возможно, стерта: если панель не работает, запустите перепрошивку еще раз.");
  return text;
}

int ProgressTotal(TFlashDriver driver, int blocks) {
  return blocks + (driver == TFlashDriver::BuiltIn ? 305 : 103);
}

void ResetResume(TFirmwareResume& resume) {
  resume.nextLine = 1;
  resume.checksumPhase = 1;
  resume.checksums = {};
  resume.image = 0;
}

int ResumePosition(const TFirmwareResume& resume, const std::vector<TBlock>& blocks) {
  const int position = resume.nextLine;
  const int blockCount = static_cast<int>(blocks.size());
  if (position <= 1 || (position - 1) % 4 != 0 || (position - 1) / 4 > blockCount) return 1;
  if (resume.image != ImageFingerprint(blocks)) return 1;
  return position;
}

void Accumulate(std::array<std::uint8_t, 4>& checks, int& selector, std::uint8_t checkByte) {
  const int slot = (std::clamp(selector, 1, 8) - 1) / 2;
  checks[static_cast<std::size_t>(slot)] = static_cast<std::uint8_t>(checks[static_cast<std::size_t>(slot)] ^ checkByte);
  selector = selector % 8 + 1;
}

TFlashResult RunFlash(TFlashDriver driver, const std::vector<TBlock>& blocks, TFirmwareResume& resume,
                      TFlashLink& link, TFlashReport& report) {
  return TRun(driver, blocks, resume, link, report).Go();
}

}  // namespace zorvan::firmware
