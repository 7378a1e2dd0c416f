#include "session/DevZorvan.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <exception>

#include "base/Cp1251.h"
#include "base/ValueHelpers.h"
#include "link/Clock.h"
#include "link/Modem.h"
#include "link/RequestCodes.h"
#include "session/OutArray.h"

namespace zorvan {
namespace {

const std::string kRuler(81, '=');
constexpr int kIdlePeriodMs = 100;
constexpr TQuery kVersionQuery = TQuery::Query("OK\r", 4500, 6);

const std::vector<TControlRef>& ControlButtons() {
  static const std::vector<TControlRef> buttons{
      {"MainForm", "tv1"},        {"MainForm", "tbtnDisconnect"}, {"MainForm", "tbtnRead"},
      {"MainForm", "tbtnWrite"},  {"MainForm", "tbtnReadAll"},    {"MainForm", "tbtnWriteAll"},
      {"MainForm", "tbtnDefault"}, {"MainForm", "tbtnDefaultAll"}};
  return buttons;
}

const std::vector<TControlRef>& ControlMenus() {
  static const std::vector<TControlRef> menus{{"MainForm", "mnuFile"},       {"MainForm", "mnuConnections"},
                                              {"MainForm", "mnuProperties"}, {"MainForm", "mnuHelp"},
                                              {"MainForm", "mnuUpdate"},     {"MainForm", "N4"}};
  return menus;
}

bool Contains(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

// Variant: the three characters after the first point; build: the last three characters.
bool ParseVersionNumbers(const std::string& version, int& variant, int& build) {
  auto point = version.find('.');
  if (point == std::string::npos || version.size() < 3) return false;
  int v = 0, b = 0;
  if (!ParseWhole(std::string_view(version).substr(point + 1, 3), v)) return false;
  if (!ParseWhole(std::string_view(version).substr(version.size() - 3), b)) return false;
  variant = v;
  build = b;
  return true;
}

bool VersionAccepted(const std::string& version) {
  for (std::string_view accepted : {"09.004.", "09.005.", "09.003.", "09.000.018", "101.00"})
    if (Contains(version, accepted)) return true;
  return false;
}

// Removes the first occurrence of part, if any.
void EraseFirst(std::string& text, std::string_view part) {
  auto pos = text.find(part);
  if (pos != std::string::npos) text.erase(pos, part.size());
}

// A panel type: two digits first, printable characters after them.
bool PanelTypeReadable(const std::string& typepan) {
  return typepan.size() >= 2 && typepan.find_first_not_of("0123456789") >= 2 &&
         std::all_of(typepan.begin(), typepan.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

struct TVersionError : std::exception {
  const char* what() const noexcept override { return "version check failed"; }
};

}  // namespace

void TIdleSchedule::Start(std::int64_t now, int keepAliveSeconds) {
  start_ = now;
  lastActivity_ = now;
  keepAliveSeconds_ = keepAliveSeconds;
  lastWork_.clear();
}

// More whole seconds than the interval since the last activity.
bool TIdleSchedule::KeepAliveDue(std::int64_t now) const { return (now - lastActivity_) / 1000 > keepAliveSeconds_; }

bool TIdleSchedule::WorkDue(const TIdleWork& work, std::int64_t now) const {
  const auto found = lastWork_.find(&work);
  const std::int64_t last = found == lastWork_.end() ? start_ : found->second;
  if (now - last < work.periodMs) return false;
  return !work.countsAsActivity || now - lastActivity_ >= work.periodMs;
}

void TIdleSchedule::WorkDone(const TIdleWork& work, std::int64_t now) {
  lastWork_[&work] = now;
  if (work.countsAsActivity) lastActivity_ = now;
}

TDevZorvan::TDevZorvan(TOutArray& out) : TDevice(out) {}

void TDevZorvan::SetWorker(TModem* worker) {
  worker_ = worker;
  if (worker_) worker_->SetCancelCheck([this] { return cancellable_.load() && abort_.load(); });
}

bool TDevZorvan::Terminated() const { return worker_ == nullptr || worker_->IsTerminated(); }

void TDevZorvan::SetStatus(const std::string& text) { out_.PostText(controls::kSplashStatus, text); }

// ---- the exchange ----

TExchange TDevZorvan::Exchange(const std::string& command, const TQuery& style) {
  TExchange result;
  auto refusal = [](const std::string& reply, TOutcome otherwise) {
    if (Contains(reply, "ERR")) return TOutcome::Refused;
    if (Contains(reply, "IGN")) return TOutcome::Ignored;
    return otherwise;
  };
  result.outcome = TOutcome::Silent;
  for (int attempt = 1; attempt <= std::max(1, style.tries); ++attempt) {
    if (Terminated()) {
      result.outcome = TOutcome::LineLost;
      return result;
    }
    std::string reply;
    int code = 0;
    const bool unanswered = worker_->SendCommand(command, reply, true, false, style.requireOk, style.terminator,
                                                 style.timeoutMs, style.attempts);
    result.raw = reply;
    if (unanswered) {
      worker_->CheckReply(false, reply, 3, code);
      if (Terminated()) result.outcome = TOutcome::LineLost;
      else if (Aborted() && cancellable_.load()) result.outcome = TOutcome::Cancelled;
      else result.outcome = refusal(reply, TOutcome::Silent);
      if (result.outcome == TOutcome::LineLost || result.outcome == TOutcome::Cancelled) return result;
      continue;
    }
    if (!worker_->CheckReply(false, reply, 3, code)) {
      if (style.lineLossAborts) Abort();
      result.outcome = TOutcome::LineLost;
      continue;
    }
    // Without a required "OK" a refusal still ends the wait; it is no value.
    if (!Contains(reply, "OK")) {
      const TOutcome outcome = refusal(reply, TOutcome::Done);
      if (outcome != TOutcome::Done) {
        result.outcome = outcome;
        return result;
      }
    }
    std::string value = CleanReply(reply);
    if (style.trim) value = TrimBlanks(value);
    if (style.errFails && Contains(value, "ERR")) {
      result.outcome = TOutcome::Refused;
      return result;
    }
    result.outcome = TOutcome::Done;
    result.value = std::move(value);
    return result;
  }
  return result;
}

void TDevZorvan::DisableControls() {
  for (const auto& button : ControlButtons()) out_.PostText(button, "false");
  for (const auto& menu : ControlMenus()) out_.PostComponent(menu, "false");
}

void TDevZorvan::EnableControls() {
  for (const auto& button : ControlButtons()) out_.PostText(button, "true");
  for (const auto& menu : ControlMenus()) out_.PostComponent(menu, "true");
}

// ---- pages ----

const TPageKind* TDevZorvan::Kind(TPageId page) const {
  return pages_ ? pages_->Catalogue().Entry(page).kind : nullptr;
}

void TDevZorvan::RunPageOperation(TPageId page, bool write) {
  const TPageKind* kind = Kind(page);
  if (!kind) return;
  const TPageOperation operation = write ? kind->write : kind->read;
  if (operation) operation(*this, pages_->Page(page));
}

void TDevZorvan::RunPage(TPageId page, bool write) {
  if (!pages_) return;
  const TPageEntry& entry = pages_->Catalogue().Entry(page);
  const std::vector<TPageStep>& steps = write ? entry.writeSteps : entry.readSteps;
  if (steps.empty()) {
    RunPageOperation(page, write);
    return;
  }
  for (const TPageStep& step : steps)
    if (!(step.singleOnly && all_)) RunPageOperation(step.page, write);
}

void TDevZorvan::ReadPage() { RunCurrentPage(false); }

void TDevZorvan::WritePage() { RunCurrentPage(true); }

void TDevZorvan::RunCurrentPage(bool write) {
  ClearAbort();
  if (!all_) DisableControls();
  cancellable_.store(true);
  try {
    RunPage(CurrentPage(), write);
  } catch (...) {
    if (!all_) cancellable_.store(false);
    if (!all_) EnableControls();
    throw;
  }
  if (!all_) cancellable_.store(false);
  if (!all_) EnableControls();
}

void TDevZorvan::RunAll(bool write) {
  if (!pages_) return;
  const TCatalogue& catalogue = pages_->Catalogue();
  all_ = true;
  DisableControls();
  ClearAbort();
  silentInARow_ = 0;
  panelSilent_ = false;
  bool stopped = false;
  auto show = [&](TPageId page) {
    SetCurrentPage(page);
    const std::string name = catalogue.Entry(page).name;
    out_.PostText({name, name}, "Show");
    out_.PostText(controls::kPageTree, std::to_string(static_cast<int>(page)));
  };
  try {
    out_.PostLog(" ", false, false);
    out_.PostLog(kRuler, false, false);
    out_.PostLog(write ? W("Пишем всё") : W("Читаем всё"), false, true);
    for (TPageId page : write ? catalogue.writeAll : catalogue.readAll) {
      // A settings file that holds only some pages writes only those.
      if (write && writeScope_ && !writeScope_->pages.count(page)) continue;
      show(page);
      if (write) WritePage();
      else ReadPage();
      if (Terminated() || Aborted()) {
        stopped = true;
        break;
      }
    }
    cancellable_.store(false);
    if (panelSilent_) {
      const std::string text = W("Панель перестала отвечать: ") + std::to_string(kSilentLimit) +
                               W(" параметра подряд остались без ответа. ") +
                               (write ? W("Запись всех параметров прервана.") : W("Чтение всех параметров прервано."));
      out_.PostLog(" # !!! " + text, true, true);
      out_.PostMessageBox(text);
    }
    if (!stopped) {
      show(TPageId::Common);
      out_.PostLog(write ? W("Окончили писать всё") : W("Окончили читать всё"), false, true);
      out_.PostLog(kRuler, false, false);
      // The shell words the outcome: the completion text, or what failed.
      out_.PostAllDone(write);
    }
  } catch (...) {
    cancellable_.store(false);
    EnableControls();
    all_ = false;
    throw;
  }
  EnableControls();
  all_ = false;
}

void TDevZorvan::NoteSilence(bool silent) {
  if (!silent) {
    silentInARow_ = 0;
  } else if (++silentInARow_ >= kSilentLimit && all_) {
    // A panel that has stopped answering would cost every remaining parameter its tries.
    panelSilent_ = true;
    Abort();
  }
}

void TDevZorvan::ReadAll() { RunAll(false); }

void TDevZorvan::WriteAll() { RunAll(true); }

// ---- dispatch ----

void TDevZorvan::Run(std::uint8_t requestCode) {
  if (worker_ == nullptr) return;
  auto done = [&] { worker_->ClearRequest(requestCode); };
  switch (requestCode) {
    case request::kIdle:
      IdleCycle();
      return;
    case request::kConnect:
      ConnectSequence();
      return;
    case request::kReadPage: ReadPage(); break;
    case request::kWritePage: WritePage(); break;
    case request::kReadAll: ReadAll(); break;
    case request::kWriteAll: WriteAll(); break;
    case request::kStartPanel: StartPanel(); break;
    case request::kStopPanel: StopPanel(); break;
    case request::kRebootPanel:
      RebootPanel();
      worker_->Terminate();
      return;
    case request::kLedTest: LedTest(); break;
    case request::kTerminalLine: TerminalLine(); break;
    default: {
      if (!pages_) break;
      for (const TPageEntry& entry : pages_->Catalogue().pages)
        if (entry.kind)
          for (const TPageRequest& request : entry.kind->requests)
            if (request.code == requestCode) RunRequest(request, entry.id);
      break;
    }
  }
  done();
}

void TDevZorvan::RunRequest(const TPageRequest& request, TPageId page) {
  if (request.clearsAbort) ClearAbort();
  if (request.disablesControls) DisableControls();
  cancellable_.store(request.cancellable);
  auto finish = [&] {
    cancellable_.store(false);
    if (request.disablesControls) EnableControls();
  };
  try {
    request.operation(*this, pages_->Page(page));
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

void TDevZorvan::TerminalLine() {
  std::string line = ui_->FieldText(controls::kTerminalLine);
  std::string reply;
  terminalAnswered_ = !worker_->SendCommand(line, reply, true, false, true, "OK", 4500, 1);
  terminalReply_ = Contains(reply, "OK") ? CleanReply(reply) : TrimBlanks(reply);
}

// ---- connection ----

void TDevZorvan::ReadVersion() {
  const TExchange version = Exchange("+v", kVersionQuery);
  variant_ = -1;
  build_ = -1;
  if (version.Ok() && !version.value.empty()) ParseVersionNumbers(version.value, variant_, build_);
}

bool TDevZorvan::Authorise(const std::string& masterCode, std::string& message) {
  message.clear();
  if (worker_->ModemLink() && (variant_ == 0 || ((variant_ == 5 || variant_ == 2) && build_ < 2))) return true;
  int number = 0;
  if (!ParseWhole(TrimBlanks(masterCode), number)) return false;
  char code[16];
  std::snprintf(code, sizeof code, "%.4d", number);
  std::string command = std::string("+id=") + code + "\r";
  worker_->Log(W("Авторизация: ") + command, true, true);
  worker_->WriteRaw(command);
  std::string reply;
  worker_->ReadUntilAny(reply, {"OK", "ERR", "IGN"}, 4500);
  worker_->Log(W("Ответ: ") + reply, true, true);
  if (Contains(reply, "OK")) return true;
  if (Contains(reply, "ERR")) {
    message = W("Ошибка авторизации! Неправильно введен мастер-код!");
    return false;
  }
  if (Contains(reply, "IGN")) {
    message = W(
        "Ошибка авторизации! Мастер-код неправильно введен 3 раза подряд! Панель будет игнорировать дальнейшие "
        "команды на протяжении минуты");
    return false;
  }
  return true;  // a panel that does not answer "+id=" at all lets the connection go on
}

void TDevZorvan::StopPanel() {
  auto clean = [](std::string reply) {
    EraseFirst(reply, "+sp");
    EraseFirst(reply, "OK");
    return TrimBlanks(reply);
  };
  std::string reply;
  worker_->WriteRaw("+sp\r");
  worker_->Log("+sp", true, true);
  worker_->ReadUntil(reply, 5000, "OK");
  worker_->Log(reply, true, true);
  // Repeat until an answer holds nothing but the echo and "OK"; a line that keeps
  // sending other text must not hold the worker here for ever.
  for (int round = 0; !clean(reply).empty() && round < 20 && !Terminated(); ++round) {
    worker_->WriteRaw("+sp\r");
    worker_->Log("+sp", true, true);
    worker_->ReadUntil(reply, 200, "OK");
    worker_->Log(reply, true, true);
  }
}

void TDevZorvan::StartPanel() {
  worker_->WriteRaw("+qt\r");
  worker_->Log("com<-+qt", true, true);
  std::string reply;
  worker_->ReadUntilQuick(reply, 600, "OK");
  worker_->Log(reply, true, true);
}

void TDevZorvan::RebootPanel() {
  try {
    worker_->WriteRaw("+rb\r");
  } catch (const EDeviceError&) {
    return;
  }
  worker_->Log("com<-+rb", true, true);
  worker_->FlushInput();
}

void TDevZorvan::LedTest() {
  std::string reply;
  worker_->SendCommand("+t", reply, true, false, false, "", 500, 1);
}

void TDevZorvan::ConnectSequence() {
  if (!worker_->DialModem(ui_->ConnectProtocol())) {
    worker_->Terminate();
    return;
  }
  ReadVersion();
  std::string message;
  if (!Authorise(ui_->FieldText(controls::kMasterKey), message)) {
    SetStatus(message);
    worker_->Terminate();
    return;
  }
  StopPanel();
  SetStatus(W("Идёт проверка версии!"));
  const std::string reply = Exchange("+v", kVersionQuery).value;
  if (reply.empty()) {
    SetStatus(W("ОШИБКА! Сбой соединения!"));
    worker_->Terminate();
  } else {
    worker_->Log(" # " + reply, true, true);
    try {
      if (!VersionAccepted(reply)) throw TVersionError();
      out_.PostStatus(reply, 2);
      versionText_ = reply;
      int variant = 0, build = 0;
      if (!ParseVersionNumbers(reply, variant, build)) throw TVersionError();
      family_ = Contains(reply, "101.") ? 101 : 9;
      variant_ = variant;
      build_ = build;
      typepanA_ = 0;
      typepanB_ = 0;
      out_.PostStatus("AT45DB161D", 3);
      if ((variant_ == 0 && build_ >= 14) || variant_ > 0) {
        const TExchange answer = Exchange("+typepan", TQuery::Query("OK\r", 4500, 3));
        if (const std::string& typepan = answer.value; answer.Ok()) {
          // Flags taken from a garbled reply would change the update offer: it sets none.
          if (!PanelTypeReadable(typepan)) out_.PostLog(W(" # Непонятный ответ на +typepan: ") + typepan, true, true);
          else if (typepan.size() >= 4 && typepan.compare(2, 2, "01") == 0) typepanA_ = 1;
          if (PanelTypeReadable(typepan) && typepan.compare(0, 2, "00") == 0) {
            typepanB_ = 1;
            out_.PostStatus("M45PE16", 3);
          }
        }
      }
      if (variant_ == 0 && build_ == 18 && typepanB_ == 0) throw TVersionError();
      std::vector<std::pair<TPageOperation, const TPage*>> connected;
      if (pages_)
        for (const TPageEntry& entry : pages_->Catalogue().pages)
          if (entry.kind && entry.kind->connected) connected.emplace_back(entry.kind->connected, &pages_->Page(entry.id));
      TPanelInfo info{versionText_, family_, variant_, build_, typepanA_, typepanB_, worker_->ModemLink()};
      ui_->RunOnUiThread([this, info] { ui_->AdaptUiToPanel(info); });
      for (const auto& [operation, page] : connected) operation(*this, *page);
    } catch (const EDeviceError&) {
      throw;
    } catch (...) {
      SetStatus(W("ОШИБКА при проверки версии!"));
      worker_->Terminate();
    }
  }
  worker_->ClearRequest(request::kConnect);
  if (Terminated()) return;
  idle_.Start(NowMs(), worker_->ModemLink() ? 5 : 60);
  SetStatus(W("СОЕДИНЕНИЕ УСТАНОВЛЕНО"));
  out_.PostText(controls::kSplashOk, "Click");
  if (worker_->ModemLink()) {
    resume_.allowed = true;
  } else {
    resume_ = TFirmwareResume{};
  }
}

void TDevZorvan::IdleCycle() {
  if (idleSuppressed_.load()) {
    // The line is lent to a firmware update: stay off the port, even when told to end (the
    // restart command would cut into the update), until it is given back.
    idleParked_.store(true);
    while (idleSuppressed_.load()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    idleParked_.store(false);
    return;
  }
  try {
    // Sleep on the port instead of spinning: input, a new request or termination wakes it.
    worker_->WaitForActivity(kIdlePeriodMs);
    if (worker_->CurrentRequest() != 0 || Terminated()) return;
    worker_->FlushInput();
    if (Terminated()) return;
    if (idle_.KeepAliveDue(NowMs())) {
      if (worker_->ModemLink()) {
        worker_->Log(kRuler, false, false);
        worker_->Log(W("  Поддержка связи с ретранслятором"), false, true);
        Exchange("+AC", TQuery::Query("OK\r", 4500, 3));
        worker_->Log(kRuler, false, false);
      } else {
        worker_->WriteRaw("+sp\r");
        worker_->Log("+sp", true, true);
        std::string reply;
        if (!worker_->ReadUntil(reply, 5000, "OK")) out_.PostText(controls::kDisconnectButton, "Click");
        worker_->Log(reply, true, true);
      }
      idle_.Activity(NowMs());
    }
    // The shown page's live values (signal levels, loop values), each at its own pace.
    const TPageKind* kind = Kind(CurrentPage());
    if (!kind) return;
    for (const TIdleWork& work : kind->idle) {
      if (Terminated() || worker_->CurrentRequest() != 0 || !idle_.WorkDue(work, NowMs())) continue;
      try {
        work.operation(*this, pages_->Page(CurrentPage()));
      } catch (const EDeviceError&) {
        throw;
      } catch (...) {
      }
      idle_.WorkDone(work, NowMs());
    }
  } catch (const std::exception& error) {
    worker_->Log(W(" # !!! Ошибка при работе с COM портом: ") + error.what(), true, true);
    worker_->Terminate();
  }
}

}  // namespace zorvan
