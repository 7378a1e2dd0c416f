#pragma once
// The main window's logic without a toolkit: the pages, the commands and their enabled
// states, the connection and its worker, the log, and the settings files. The windowed
// program puts views on these models; tests drive them directly.
#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/IniFile.h"
#include "app/ShellForms.h"
#include "history/MsgFile.h"
#include "model/Page.h"
#include "session/DevZorvan.h"
#include "session/OutArray.h"
#include "session/PageCatalogue.h"
#include "session/UiBridge.h"
#include "session/UiCallBox.h"

namespace zorvan {

class TModem;

// What only a real window can do: modal dialogs, file choosers, message boxes.
class TShellView {
 public:
  virtual ~TShellView() = default;
  // Runs the form modally until its rules close it; returns the modal result.
  virtual int ExecModal(TForm& form) = 0;
  virtual void ShowMessage(const std::string& text) = 0;
  virtual void ShowError(const std::string& caption, const std::string& text) = 0;
  // Empty when the user cancels.
  virtual std::string AskSaveSettingsPath() = 0;
  virtual std::string AskLoadSettingsPath() = 0;
  virtual std::string AskSaveLogPath() = 0;
  // A worker's question and file choice, shown modally; NotAsked or empty once the view closes
  // its questions.
  virtual TAnswer Ask(const TQuestion& question) = 0;
  virtual std::string AskFile(const TFileQuestion& question) = 0;
  // Closes every question and message box the view has open, as not asked: the window closes.
  virtual void CloseQuestions() = 0;
  virtual void ShowPage(const std::string& page) = 0;
  virtual void ShowAbout() = 0;
  virtual void ShowTerminal() = 0;
  virtual void CloseMainWindow() = 0;
};

class TShell : public TUiBridge {
 public:
  // folder: where "current.ini" lives, ending with '/'; stateFolder: where "log.txt" goes
  // (empty: the same folder).
  explicit TShell(std::string folder, std::string stateFolder = {});
  TShell(std::string folder, std::string stateFolder, const TCatalogue& catalogue);
  ~TShell() override;

  void SetView(TShellView* view) { view_ = view; }
  // Turns the port text of the dialog into a device path (the built-in virtual panel).
  std::function<std::string(const std::string&)> resolvePort;
  // Every log line as it is applied (the command-line tool's --log file).
  std::function<void(const std::string& text, bool showInWindow)> onLog;
  // The closing message of read-all and write-all sends the user to the log for the failed
  // parameters; the command-line tool, which has no log window and lists them itself, does not.
  bool summaryPointsToLog = true;
  // After a connection is up (the firmware update offers itself here).
  std::function<void()> onConnected;
  // When it answers true, the connect command reuses the last connection settings without
  // showing the connection dialog (reconnecting after a firmware update).
  std::function<bool()> connectWithoutDialog;
  // Start-up after the views exist: settings, tree, first page.
  void Start();
  // Closing: worker ended, log closed, "current.ini" written unless it could not be read at start.
  // False when it has to wait: it was called from inside a step that the worker waits for (a
  // question box's loop). Open questions are closed; call it again once that step has returned.
  bool Close();
  bool Closing() const { return closing_.load(); }

  // Timer tick: serve the worker's UI calls and apply what it posted. A loop without a
  // window may wait up to waitRealMs for a call; the worker's end cuts the wait short.
  void Tick(double waitRealMs = 0);
  // Called from the worker when it waits for this thread: a window schedules a Tick at once
  // instead of waiting for its timer. Set before connecting.
  std::function<void()> wakeUi;
  // Applies what the worker posted. While a posted message box is open, the timer's drain
  // waits; a drain for a worker's call (force) goes on, so the call sees what came before it.
  void Drain(bool force = false);

  TMainForm& Main() { return main_; }
  TConnectDialog& ConnectDialog() { return connect_; }
  TSplashDialog& Splash() { return splash_; }
  TTerminalForm& Terminal() { return terminal_; }
  TFormRegistry& Registry() { return registry_; }
  TDevZorvan& Device() { return device_; }
  TOutArray& Out() { return out_; }
  const std::vector<std::unique_ptr<TPage>>& Pages() const { return pages_.All(); }
  TPageSet& PageSet() { return pages_; }
  const TPageSet& PageSet() const { return pages_; }
  const TCatalogue& Catalogue() const { return pages_.Catalogue(); }
  TPage* FindPage(std::string_view name) const { return pages_.Find(name); }

  // A parameter the last operation failed on (with the reason) or wrote (reason empty).
  struct TParamRecord {
    std::string page;  // the page's caption
    std::string parameter;
    std::string command;
    std::string reason;
  };
  // The failures since the last read or write command started, and what it wrote.
  const std::vector<TParamRecord>& Failures() const { return failures_; }
  const std::vector<TParamRecord>& Written() const { return written_; }
  // "Номер объекта (+o): панель ответила ERR"
  static std::string FailureText(const TParamRecord& failure);
  // What the user is told when the line was lost during a write: the parameters written.
  std::string LostWriteText() const;
  bool Connected() const { return worker_ != nullptr; }
  // A request is still running on the worker.
  bool Busy() const;
  // The port failure that ended the last connection, empty when none.
  const std::string& LastPortFailure() const { return lastPortFailure_; }
  bool LogOn() const { return logFile_ != nullptr; }
  int ConnectProtocolValue() const { return connectProtocol_; }
  const std::string& Folder() const { return folder_; }
  const TPanelIdentity& Identity() const { return identity_; }
  // What the panel of the last connection reported.
  const TPanelInfo& Panel() const { return panel_; }
  const TMsgFile& Messages() const { return messages_; }

  // Commands.
  void Connect();
  void Disconnect();
  // After a panel restart: wait for the worker to end, then connect again.
  void Reconnect();
  void ReadPage();
  void WritePage();
  void ReadAllPages();
  void WriteAllPages();
  void Cancel();
  void DefaultsOnPage();
  void AllDefaults();
  void SaveSettingsCommand();
  void LoadSettingsCommand();
  void ToggleLog();
  void SendTerminalLine();
  void SaveLogWindow();

  void ShowPage(std::string_view page);
  void ShowPage(TPageId page);
  void SetDeviceType(int family);
  void SaveSettings(TIniFile& ini) const;
  // Returns false with the error text shown when a page fails to load. Nothing is loaded from
  // a file that holds a value a page cannot take (CheckSettings).
  bool LoadSettings(const TIniFile& ini, const std::string& path = {});
  // Every value of the file that its page cannot take, one line each naming the file, the
  // page's section, the key and the value; empty when there is none.
  std::string CheckSettings(const TIniFile& ini, const std::string& path) const;

  // TUiBridge.
  bool RunOnUiThread(std::function<void()> action) override;
  bool RunWithPages(const std::function<void(TPageSet& pages)>& action) override;
  TAnswer Ask(const TQuestion& question) override;
  std::string AskFile(const TFileQuestion& question) override;
  std::string FieldText(const TControlRef& field) override;
  TPageValues PageValues(const TForm& page) override;
  int ConnectProtocol() override { return connectProtocol_; }
  void AdaptUiToPanel(const TPanelInfo& panel) override;

 private:
  void WireCommands();
  void StopWorker();
  void LogLine(const std::string& text, bool showInWindow);
  void StartOperation();
  void RecordParam(const TControlRef& status, const std::string& command, const std::string& reason, bool failed);
  void AllDone(bool write);
  bool OpenLog();
  void CloseLog();
  // "current.ini" could not be read: the user is told, a copy is kept, exit leaves it alone.
  void KeepUnreadableSettings(const std::string& error);
  // The version and flash fields of the status bar go back to their empty state.
  void ClearPanelStatus();
  std::string SettingsPath() const { return folder_ + "current.ini"; }

  std::string folder_;
  std::string stateFolder_;
  TShellView* view_ = nullptr;
  TOutArray out_;
  TDevZorvan device_;
  TMainForm main_;
  TConnectDialog connect_;
  TSplashDialog splash_;
  TTerminalForm terminal_;
  TFormRegistry registry_;
  // The event texts and the panel's identity exist before the pages, which may use them.
  TMsgFile messages_;
  std::string messagesError_;
  TPanelIdentity identity_;
  TPageSet pages_;
  std::vector<TParamRecord> failures_;
  std::vector<TParamRecord> written_;
  bool writing_ = false;  // a write command runs: a line lost meanwhile is reported
  TIniFile settings_;
  bool settingsUnreadable_ = false;
  std::string lastPortFailure_;
  std::unique_ptr<TModem> worker_;
  TUiCallBox calls_;
  std::FILE* logFile_ = nullptr;
  int treeFamily_ = 9;
  int connectProtocol_ = 0;
  TPanelInfo panel_;
  int draining_ = 0;  // drains running, nested ones included
  std::atomic<bool> closing_{false};
  std::thread::id uiThread_ = std::this_thread::get_id();
};

}  // namespace zorvan
