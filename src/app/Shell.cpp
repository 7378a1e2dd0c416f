#include "app/Shell.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "base/Cp1251.h"
#include "base/FileAccess.h"
#include "app/OutputApplier.h"
#include "base/ProgramFolders.h"
#include "base/ValueHelpers.h"
#include "link/Clock.h"
#include "link/Modem.h"
#include "link/RequestCodes.h"
#include "pages/Catalogue.h"

namespace zorvan {
namespace {

const std::string kRuler(81, '=');

// A file's value as a message shows it: control bytes written out, a long value cut short.
std::string ShownValue(const std::string& value) {
  constexpr std::size_t kShown = 64;
  std::string shown;
  for (char c : value.substr(0, kShown)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F) {
      shown += c;
      continue;
    }
    char code[8];
    std::snprintf(code, sizeof code, "\\x%02X", byte);
    shown += code;
  }
  if (value.size() > kShown) shown += "... (" + std::to_string(value.size()) + W(" символов)");
  return shown;
}

const char* const kAdaptDisabled[] = {"tv1", "tbtnConnect", "tbtnDisconnect", "tbtnRead", "tbtnWrite",
                                      "tbtnReadAll", "tbtnWriteAll", "tbtnDefault", "tbtnDefaultAll",
                                      "tbtnCalcel", "mnuFile", "mnuConnections", "mnuProperties", "mnuHelp",
                                      "mnuUpdate", "N4"};

}  // namespace

namespace {

// Without the event texts the program still works; the log says why they are missing.
std::string LoadMessages(TMsgFile& messages) {
  std::string error;
  if (!messages.LoadFromFile(DataFolder() + "Messages.txt", &error)) return error.empty() ? "?" : error;
  return {};
}

}  // namespace

TShell::TShell(std::string folder, std::string stateFolder)
    : TShell(std::move(folder), std::move(stateFolder), PageCatalogue()) {}

TShell::TShell(std::string folder, std::string stateFolder, const TCatalogue& catalogue)
    : folder_(std::move(folder)),
      stateFolder_(stateFolder.empty() ? folder_ : std::move(stateFolder)),
      device_(out_),
      messagesError_(LoadMessages(messages_)),
      identity_{9, 999, 999},
      pages_(catalogue, TPageContext{&messages_, &identity_, [this] { Reconnect(); }}) {
  device_.SetUi(this);
  device_.SetPages(&pages_);
  for (TForm* f : std::initializer_list<TForm*>{&main_, &connect_, &splash_, &terminal_}) registry_.Register(*f);
  for (const auto& p : pages_.All()) {
    registry_.Register(*p);
    p->ShowStartValues();
    p->postRequest = [this](std::uint8_t code) {
      if (!worker_ || worker_->Finished()) return false;
      worker_->SetRequest(code);
      return true;
    };
    p->showError = [this](const std::string& caption, const std::string& text) {
      if (view_) view_->ShowError(caption, text);
    };
  }
  // Firmware updates come with their own windows; until then the panel menu does not offer them.
  main_["N5"].SetVisible(false);
  connect_.onProtocol = [this](int protocol) { connectProtocol_ = protocol; };
  WireCommands();
}

TShell::~TShell() {
  StopWorker();
  if (logFile_) std::fclose(logFile_);
}

void TShell::WireCommands() {
  auto on = [this](const char* name, auto action) { main_[name].onClick = [action](TControl&) { action(); }; };
  on("tbtnConnect", [this] { Connect(); });
  on("mnuConnect", [this] { Connect(); });
  on("tbtnDisconnect", [this] { Disconnect(); });
  on("mnuDisconnect", [this] { Disconnect(); });
  on("tbtnRead", [this] { ReadPage(); });
  on("tbtnWrite", [this] { WritePage(); });
  on("tbtnReadAll", [this] { ReadAllPages(); });
  on("tbtnWriteAll", [this] { WriteAllPages(); });
  // The menu items of the read and write commands click their toolbar buttons.
  on("mnuRead", [this] { main_["tbtnRead"].Click(); });
  on("mnuWrite", [this] { main_["tbtnWrite"].Click(); });
  on("mnuReadAll", [this] { main_["tbtnReadAll"].Click(); });
  on("mnuWriteAll", [this] { main_["tbtnWriteAll"].Click(); });
  on("tbtnDefault", [this] { DefaultsOnPage(); });
  on("N1", [this] { DefaultsOnPage(); });
  on("tbtnDefaultAll", [this] { AllDefaults(); });
  on("N2", [this] { AllDefaults(); });
  on("tbtnCalcel", [this] { Cancel(); });
  on("mnuSave", [this] { SaveSettingsCommand(); });
  on("mnuLoad", [this] { LoadSettingsCommand(); });
  on("mnuLog", [this] { ToggleLog(); });
  on("mnuAbout", [this] {
    if (view_) view_->ShowAbout();
  });
  on("mnuExit", [this] {
    if (view_) view_->CloseMainWindow();
  });
  on("RzBitBtn1", [this] { main_.Log().ClearLines(); });
  on("RzBitBtn2", [this] { SaveLogWindow(); });
  main_.Tree().OnChange([this](TControl& tree) {
    const int index = tree.SelectedNode();
    if (index < 0 || index >= static_cast<int>(tree.Nodes().size())) return;
    if (const TPageEntry* page = Catalogue().FindByNode(tree.Nodes()[static_cast<std::size_t>(index)].code))
      ShowPage(page->id);
  });
  terminal_["Button1"].onClick = [this](TControl&) { SendTerminalLine(); };
}

void TShell::Start() {
  main_.Self().SetText(W("Программа настройки v.") + "1.0.0");
  std::string error;
  struct stat st {};
  // An empty file holds nothing to lose: it starts like a missing one.
  const bool empty = ::stat(SettingsPath().c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0;
  if (!empty && !settings_.LoadFromFile(SettingsPath(), &error)) {
    KeepUnreadableSettings(error);
  } else if (const std::string problems = CheckSettings(settings_, SettingsPath()); !problems.empty()) {
    KeepUnreadableSettings(problems);
    settings_.Clear();
  }
  connectProtocol_ = settings_.ReadInteger("formMain", "PROTO", 0);
  if (!messagesError_.empty()) main_.Log().AppendLine(W(" # !!! Messages.txt: ") + messagesError_);
  LoadSettings(settings_);
  SetDeviceType(9);
  ShowPage(TPageId::SMS);
  ShowPage(TPageId::Common);
  main_.Tree().SelectNode(0);
}

void TShell::KeepUnreadableSettings(const std::string& error) {
  settingsUnreadable_ = true;
  std::string text = error + W(" Программа работает с настройками по умолчанию; при выходе файл не будет перезаписан.");
  // A copy beside it survives whatever the user does with the original next.
  std::string bytes, why;
  if (ReadRegularFile(SettingsPath(), 64 * TIniFile::kMaxFileBytes, bytes, why) == TReadResult::Ok) {
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string copy = SettingsPath() + ".unreadable-" + stamp;
    if (ReplaceFile(copy, bytes, why)) text += W(" Копия файла сохранена как ") + QuotedPath(copy) + ".";
    else text += W(" Копию сохранить не удалось: ") + why + ".";
  }
  main_.Log().AppendLine(" # !!! " + text);
  if (view_) view_->ShowError("Error", text);
}

bool TShell::Close() {
  closing_.store(true);
  // Nothing the worker waits for may keep the window open: its questions go unanswered, a
  // full output queue no longer holds it, and it is told to end.
  if (worker_) worker_->Terminate();
  out_.Abandon(true);
  calls_.Close();
  if (view_) view_->CloseQuestions();
  // Called from inside a step the worker waits for: that step has to return first.
  if (calls_.Serving()) return false;
  StopWorker();
  // Saved while the log is still open, so that the file records that logging is on.
  // A file that could not be read at start may hold what the user still needs.
  if (!settingsUnreadable_) {
    SaveSettings(settings_);
    std::string error;
    if (!settings_.SaveToFile(SettingsPath(), &error) && view_) view_->ShowError("Error", error);
  }
  CloseLog();
  return true;
}

void TShell::Tick(double waitRealMs) {
  calls_.Serve(waitRealMs);
  Drain();
  // A write that ended with the connection still up is over.
  if (writing_ && worker_ && !worker_->IsTerminated() && !Busy()) writing_ = false;
}

void TShell::Drain(bool force) {
  // A message box opens a nested loop; the timer's draining waits until it is closed.
  if (draining_ > 0 && !force) return;
  ++draining_;
  TApplyContext context;
  context.registry = &registry_;
  context.log = [this](const std::string& text, bool show) { LogLine(text, show); };
  context.messageBox = [this](const std::string& text) {
    // A closing window shows nothing more; the log keeps the text.
    if (closing_.load()) LogLine(text, true);
    else if (view_) view_->ShowMessage(text);
  };
  context.status = [this](int panel, const std::string& text) { main_.SetStatusPanel(panel, text); };
  context.param = [this](const TControlRef& status, const std::string& command, const std::string& reason,
                         bool failed) { RecordParam(status, command, reason, failed); };
  context.allDone = [this](bool write) { AllDone(write); };
  while (out_.HasElements()) {
    std::unique_ptr<TOutElement> element = out_.TakeElement();
    if (element) ApplyElement(*element, context);
  }
  --draining_;
}

void TShell::LogLine(const std::string& text, bool showInWindow) {
  if (onLog) onLog(text, showInWindow);
  if (showInWindow) main_.Log().AppendLine(text);
  if (!logFile_) return;
  const std::string line = text + "\r\n";
  if (std::fwrite(line.data(), 1, line.size(), logFile_) != line.size() || std::fflush(logFile_) != 0)
    main_.Log().AppendLine(W("Попытка записи в закрытый ЛОГ-файл"));
}

bool TShell::OpenLog() {
  std::string error;
  // The log holds the master code of every connection: a new one is its owner's only.
  logFile_ = OpenForAppend(stateFolder_ + "log.txt", error);
  if (!logFile_) return false;
  const std::string frame =
      "\r\n" + kRuler + "\r\n" + LogTimeStamp() + W(" Начали процесс протоколирования") + "\r\n" + kRuler + "\r\n";
  if (std::fwrite(frame.data(), 1, frame.size(), logFile_) != frame.size() || std::fflush(logFile_) != 0) {
    std::fclose(logFile_);
    logFile_ = nullptr;
    return false;
  }
  return true;
}

void TShell::CloseLog() {
  if (!logFile_) return;
  const std::string frame = "\r\n" + kRuler + "\r\n" + LogTimeStamp() + W(" Окончили процесс протоколирования") +
                            "\r\n" + kRuler + "\r\n";
  std::fwrite(frame.data(), 1, frame.size(), logFile_);
  std::fclose(logFile_);
  logFile_ = nullptr;
}

void TShell::ToggleLog() {
  TControl& command = main_["mnuLog"];
  command.SetChecked(!command.Checked());
  if (logFile_) CloseLog();
  else OpenLog();
}

void TShell::ShowPage(std::string_view page) {
  if (const TPageEntry* entry = Catalogue().Find(page)) ShowPage(entry->id);
}

void TShell::ShowPage(TPageId page) {
  TPage& target = pages_.Page(page);
  for (const auto& p : pages_.All()) p->Self().SetVisible(p.get() == &target);
  device_.SetCurrentPage(page);
  if (view_) view_->ShowPage(target.Name());
  target.OnShown();
}

void TShell::SetDeviceType(int family) {
  treeFamily_ = family;
  for (const auto& p : pages_.All()) p->Self().SetVisible(false);
  main_.Tree().SetNodes(Catalogue().TreeNodes(family));
}

void TShell::Connect() {
  if (connectWithoutDialog && connectWithoutDialog()) {
    SleepMs(100);
    Drain();
  } else if (view_ && view_->ExecModal(connect_) != TForm::mrOk) {
    return;
  }
  StopWorker();
  lastPortFailure_.clear();
  // What the pages keep on the worker side starts afresh with each connection.
  pages_.ResetWorkerStates();
  const std::string port = connect_.Ports().Text();
  const std::string phone = connect_.IsModem() ? connect_.Phones().Text() : std::string();
  worker_ = std::make_unique<TModem>(resolvePort ? resolvePort(port) : port, phone, connectProtocol_, device_);
  main_.SetStatusPanel(0, port);
  main_.SetStatusPanel(1, phone);
  device_.SetWorker(worker_.get());
  splash_["Panel2"].SetText("");
  worker_->SetOnFinished([this] { calls_.Wake(); });
  worker_->Start();
  const int result = view_ ? view_->ExecModal(splash_) : TForm::mrCancel;
  if (result != TForm::mrOk) {
    StopWorker();
    ClearPanelStatus();
    return;
  }
  main_["mnuConnect"].SetEnabled(false);
  main_["tbtnConnect"].SetEnabled(false);
  if (device_.Variant() != 0) main_.SetCommandsEnabled(TMainForm::ConnectedCommands(), true);
  if (onConnected) onConnected();
}

void TShell::Disconnect() {
  // A connection that ended by itself in the middle of a write: say what reached the panel.
  const bool lostDuringWrite = writing_ && worker_ && worker_->IsTerminated();
  writing_ = false;
  main_.SetCommandsEnabled(TMainForm::ConnectedCommands(), false);
  device_.Abort();
  StopWorker();
  ClearPanelStatus();
  main_["mnuConnect"].SetEnabled(true);
  main_["tbtnConnect"].SetEnabled(true);
  if (lostDuringWrite && view_) view_->ShowError(W("Ошибка"), LostWriteText());
}

std::string TShell::LostWriteText() const {
  if (written_.empty()) return W("Связь с панелью потеряна во время записи. Ни один параметр не был записан.");
  std::string text = W("Связь с панелью потеряна во время записи. Панель успела получить:");
  for (const TParamRecord& w : written_) text += "\n" + w.page + ": " + w.parameter + " (" + w.command + ")";
  return text;
}

void TShell::ClearPanelStatus() {
  // What the ending worker posted comes first, or it would bring the old version back.
  Drain();
  main_.SetStatusPanel(2, W("Версия прошивки:"));
  main_.SetStatusPanel(3, "");
}

void TShell::Reconnect() {
  if (!worker_) return;
  // The worker ends by itself after the reboot; serve it meanwhile and show what it logs.
  // Draining may run the disconnect command itself.
  while (worker_ && !worker_->Finished()) {
    calls_.Serve(10);
    Drain();
  }
  if (worker_) Disconnect();
  Drain();
  Connect();
}

void TShell::StopWorker() {
  if (!worker_) return;
  worker_->Terminate();
  // An ending worker's calls and questions are not answered, and a full output queue does not
  // hold it; a call already running is served to its end.
  calls_.Close();
  out_.Abandon(true);
  while (!worker_->Finished()) calls_.Serve(10);
  worker_->WaitFor();
  lastPortFailure_ = worker_->PortFailure();
  device_.SetWorker(nullptr);
  worker_.reset();
  if (!closing_.load()) {
    calls_.Open();
    out_.Abandon(false);
  }
}

bool TShell::Busy() const { return worker_ && !worker_->Finished() && worker_->CurrentRequest() != 0; }

void TShell::StartOperation() {
  failures_.clear();
  written_.clear();
  writing_ = false;
}

void TShell::ReadPage() {
  if (!worker_) return;
  StartOperation();
  const TPageId page = device_.CurrentPage();
  TPage& p = pages_.Page(page);
  if (Catalogue().Entry(page).clearForRead && !p.ClearForRead()) return;
  ClearPageForRead(p);
  worker_->SetRequest(request::kReadPage);
}

void TShell::WritePage() {
  if (!worker_) return;
  StartOperation();
  writing_ = true;
  ClearPageForWrite(pages_.Page(device_.CurrentPage()));
  worker_->SetRequest(request::kWritePage);
}

void TShell::ReadAllPages() {
  if (!worker_) return;
  StartOperation();
  for (TPageId page : Catalogue().marksOnAll) ClearPageForRead(pages_.Page(page));
  for (TPageId page : Catalogue().clearOnReadAll) pages_.Page(page).ClearForRead();
  worker_->SetRequest(request::kReadAll);
}

void TShell::WriteAllPages() {
  if (!worker_) return;
  StartOperation();
  writing_ = true;
  for (TPageId page : Catalogue().marksOnAll) ClearPageForWrite(pages_.Page(page));
  worker_->SetRequest(request::kWriteAll);
}

std::string TShell::FailureText(const TParamRecord& failure) {
  return failure.parameter + " (" + failure.command + "): " + failure.reason;
}

void TShell::RecordParam(const TControlRef& status, const std::string& command, const std::string& reason,
                         bool failed) {
  TParamRecord failure;
  const TPage* page = FindPage(status.form);
  failure.page = page ? page->Caption() : status.form;
  const TControl* label = registry_.Find(status.form, status.control);
  failure.parameter = label && !label->Text().empty() ? label->Text() : status.control;
  failure.command = command;
  failure.reason = reason;
  if (!failed) {
    written_.push_back(std::move(failure));
    return;
  }
  LogLine(LogTimeStamp() + " " + failure.page + ": " + FailureText(failure), true);
  failures_.push_back(std::move(failure));
}

void TShell::AllDone(bool write) {
  if (failures_.empty()) {
    if (view_) view_->ShowMessage(write ? W("Запись всех параметров завершена!") : W("Чтение всех параметров завершено!"));
    return;
  }
  // Which pages, how many parameters each: the log has the list.
  std::vector<std::pair<std::string, int>> pages;
  for (const TParamRecord& f : failures_) {
    auto found = std::find_if(pages.begin(), pages.end(), [&](const auto& p) { return p.first == f.page; });
    if (found == pages.end()) pages.emplace_back(f.page, 1);
    else ++found->second;
  }
  std::string text = write ? W("Запись всех параметров завершена с ошибками: не записано параметров: ")
                           : W("Чтение всех параметров завершено с ошибками: не прочитано параметров: ");
  text += std::to_string(failures_.size()) + ".";
  for (const auto& [page, count] : pages) text += "\n" + page + ": " + std::to_string(count);
  if (summaryPointsToLog) text += W("\nКакие именно - в журнале.");
  if (view_) view_->ShowMessage(text);
}

void TShell::Cancel() { device_.Abort(); }

void TShell::DefaultsOnPage() {
  TPage& page = pages_.Page(device_.CurrentPage());
  page.SetDefaults();
  page.AfterDefaults();
}

void TShell::AllDefaults() {
  for (TPageId page : Catalogue().defaults) pages_.Page(page).SetDefaults();
  for (TPageId page : Catalogue().defaults) pages_.Page(page).AfterDefaults();
}

void TShell::SaveSettings(TIniFile& ini) const {
  SaveConnectSettings(ini, connect_, TDebugSettings{logFile_ != nullptr});
  for (TPageId page : Catalogue().save) pages_.Page(page).SaveToIni(ini);
}

std::string TShell::CheckSettings(const TIniFile& ini, const std::string& path) const {
  std::string text;
  for (TPageId id : Catalogue().load) {
    const TPage& page = pages_.Page(id);
    std::vector<TFileProblem> problems;
    page.CheckFile(ini, problems);
    for (const TFileProblem& p : problems)
      text += (text.empty() ? "" : "\n") + QuotedPath(path) + ": [" + page.Section() + "] " + p.key + "=" +
              ShownValue(p.value) + ": " + p.why;
  }
  return text;
}

bool TShell::LoadSettings(const TIniFile& ini, const std::string& path) {
  if (const std::string problems = CheckSettings(ini, path); !problems.empty()) {
    if (view_) view_->ShowError("Error", W("Файл настроек не загружен, ничего не изменено. Недопустимые значения:\n") + problems);
    return false;
  }
  TDebugSettings debug;
  LoadConnectSettings(ini, connect_, debug);
  if (debug.log && !logFile_) {
    main_["mnuLog"].SetChecked(true);
    OpenLog();
  }
  try {
    for (TPageId page : Catalogue().load) pages_.Page(page).LoadFromIni(ini);
    for (TPageId page : Catalogue().load) pages_.Page(page).AfterLoad();
  } catch (const std::exception& e) {
    if (view_) view_->ShowError("Error", e.what());
    return false;
  }
  return true;
}

void TShell::SaveSettingsCommand() {
  if (!view_) return;
  const std::string path = view_->AskSaveSettingsPath();
  if (path.empty()) return;
  TIniFile ini;
  SaveSettings(ini);
  std::string error;
  if (!ini.SaveToFile(path, &error)) view_->ShowError("Error", error);
}

void TShell::LoadSettingsCommand() {
  if (!view_) return;
  const std::string path = view_->AskLoadSettingsPath();
  if (path.empty()) return;
  TIniFile ini;
  std::string error;
  if (!ini.LoadFromFile(path, &error)) {
    view_->ShowError("Error", error);
    return;
  }
  // A file with none of the program's sections is no configuration: it changes nothing.
  bool known = ini.SectionExists("Connect");
  for (TPageId page : Catalogue().load) known = known || FileHoldsPage(ini, pages_.Page(page));
  if (!known) {
    view_->ShowError("Error", path + W(": в файле нет ни одного раздела настроек программы; ничего не загружено"));
    return;
  }
  LoadSettings(ini, path);
}

void TShell::SendTerminalLine() {
  if (!worker_) return;
  // One line is one command: a line end inside it would make the panel receive two.
  const std::string line = terminal_["Edit1"].Text();
  if (std::any_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; })) {
    const std::string text = W("Команда не отправлена: в ней есть перевод строки или другой управляющий символ.");
    main_.Log().AppendLine(" # !!! " + text);
    if (view_) view_->ShowError("Error", text);
    return;
  }
  worker_->SetRequest(request::kTerminalLine);
}

void TShell::SaveLogWindow() {
  if (!view_) return;
  const std::string path = view_->AskSaveLogPath();
  if (path.empty()) return;
  std::string text;
  for (const std::string& line : main_.Log().Lines()) text += line + "\r\n";
  // Through a temporary file: a failed save leaves the earlier file whole.
  std::string why;
  if (!ReplaceFile(path, text, why))
    view_->ShowError("Error", W("Журнал не записан в файл ") + QuotedPath(path) + ": " + why + ".");
}

bool TShell::RunOnUiThread(std::function<void()> action) {
  if (std::this_thread::get_id() == uiThread_) {
    action();
    return true;
  }
  if (closing_.load()) return false;
  // What the worker posted before this call is applied first, so the action sees it.
  std::function<void()> call = [this, action = std::move(action)] {
    Drain(true);
    action();
  };
  return calls_.Call(std::move(call), wakeUi);
}

bool TShell::RunWithPages(const std::function<void(TPageSet& pages)>& action) {
  return RunOnUiThread([&] { action(pages_); });
}

TAnswer TShell::Ask(const TQuestion& question) {
  TAnswer answer = TAnswer::NotAsked;
  if (worker_ && worker_->IsTerminated()) return answer;
  RunOnUiThread([&] {
    if (!closing_.load() && view_) answer = view_->Ask(question);
  });
  return answer;
}

std::string TShell::AskFile(const TFileQuestion& question) {
  std::string path;
  if (worker_ && worker_->IsTerminated()) return path;
  RunOnUiThread([&] {
    if (!closing_.load() && view_) path = view_->AskFile(question);
  });
  return path;
}

TPageValues TShell::PageValues(const TForm& page) {
  TPageValues values;
  RunOnUiThread([&] {
    for (const auto& c : page.Controls()) values.Set(*c, StateOf(*c));
    values.taken = true;
  });
  return values;
}

std::string TShell::FieldText(const TControlRef& field) {
  std::string value;
  RunOnUiThread([&] {
    if (TControl* c = registry_.Find(field.form, field.control)) value = c->Text();
  });
  return value;
}

void TShell::AdaptUiToPanel(const TPanelInfo& panel) {
  panel_ = panel;
  identity_ = TPanelIdentity{panel.family, panel.variant, panel.build};
  SetDeviceType(panel.family);
  for (const auto& p : pages_.All()) p->AdaptToPanel(identity_);
  if (panel.variant == 0) {
    // A panel in variant 0 can only be updated.
    for (const char* name : kAdaptDisabled) main_[name].SetEnabled(false);
    main_["tbtnDisconnect"].SetEnabled(true);
    main_["N4"].SetEnabled(true);
    main_["N5"].SetEnabled(true);
  } else if (panel.variant == 3 || panel.variant == 5) {
    for (const char* name : kAdaptDisabled) main_[name].SetEnabled(true);
  }
  ShowPage(TPageId::Common);
  main_.Tree().SelectNode(0);
}

}  // namespace zorvan
