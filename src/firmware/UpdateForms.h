#pragma once
// The two firmware update windows as control models, and the logic that runs them: the
// update dialog "Перепрошивка панели" (a built-in image, offered after a connection and from
// the menu item N5) and the file dialog "Обновление версии прошивки" (a HEX file, from the
// service menu item mnuUpdate).
#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "app/Shell.h"
#include "firmware/HexFile.h"
#include "firmware/UpdateThread.h"
#include "model/Control.h"

namespace zorvan::firmware {

class TformUpdateIns : public TForm {
 public:
  TformUpdateIns();
};

class TformUpdateInsertion : public TForm {
 public:
  TformUpdateInsertion();
  TControl& Grid() { return (*this)["sgHex"]; }
};

// What only real windows can do for the update.
class TFirmwareView {
 public:
  virtual ~TFirmwareView() = default;
  // Message boxes carry the caption of the window they belong to.
  virtual bool AskYesNo(const std::string& caption, const std::string& text) = 0;
  virtual void ShowInfo(const std::string& caption, const std::string& text) = 0;
  // The update dialog: not modal, on top, centred on the main window.
  virtual void ShowUpdateDialog() = 0;
  virtual void CloseUpdateDialog() = 0;
  // The file dialog, modal; its buttons close it with a modal result.
  virtual int ExecFileDialog() = 0;
  // The file-open dialog "Открыть" for "*.hex"; empty when cancelled.
  virtual std::string ChooseHexFile() = 0;
};

enum class TUpdateState { Idle = 0, Starting = 1, Failed = 2, Succeeded = 3 };

class TFirmwareUpdate {
 public:
  TFirmwareUpdate(TShell& shell, TFirmwareView& view);
  ~TFirmwareUpdate();
  TFirmwareUpdate(const TFirmwareUpdate&) = delete;
  TFirmwareUpdate& operator=(const TFirmwareUpdate&) = delete;

  // After the shell has started: caption and the service menu's switch in "current.ini".
  void Attach();
  // UI timer: notices the end of an update and shows its outcome.
  void Poll();

  TformUpdateIns& UpdateDialog() { return updateForm_; }
  TformUpdateInsertion& FileDialog() { return fileForm_; }
  TUpdateState State() const { return static_cast<TUpdateState>(state_.load()); }
  bool Running() const { return thread_ != nullptr; }
  const THexTable& HexTable() const { return table_; }
  // The panel as the last connection found it.
  TPanelFirmware Panel() const;
  const TImageLines& Image(int number) const { return number == 1 ? image1_ : image2_; }

  // Commands.
  void UpdateMenu();      // N5 "Обновление прошивки"
  void FileUpdateMenu();  // mnuUpdate "Обновление версии прошивки из файла"
  void StartUpdate();     // btnUpdateVer
  void Exit();            // btnExit
  void BrowseHex();       // RzBitBtn1
  bool LoadHex(const std::string& path);
  // The update offered to the connected panel, if any.
  bool Offered() const;

 private:
  class TDialogReport;
  class TBarReport;
  void ShowDialog();
  void EndUpdate();
  // The update's result, when one ran.
  std::optional<TFlashResult> WaitForThread();
  void LogFailure(const TFlashResult& result);
  void UpdateOkButton();
  // Reads the file named in "Путь к файлу" again; false when the table shown was not it.
  bool TableStillShowsFile(const std::string& path);
  void SetState(TUpdateState state) { state_.store(static_cast<int>(state)); }

  TShell& shell_;
  TFirmwareView& view_;
  TformUpdateIns updateForm_;
  TformUpdateInsertion fileForm_;
  TImageLines image1_;
  TImageLines image2_;
  THexTable table_;
  std::string tablePath_;
  std::atomic<int> state_{0};
  bool fileUpdate_ = false;
  bool reconnectPending_ = false;
  std::unique_ptr<TFlashReport> report_;
  std::unique_ptr<TUpdateThread> thread_;
};

}  // namespace zorvan::firmware
