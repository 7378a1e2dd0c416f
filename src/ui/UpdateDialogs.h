#pragma once
// The firmware update windows: the update dialog and the HEX file dialog bound to their
// models, the status bar's progress bar, and the timer that notices the end of an update.
#include <QDialog>
#include <QObject>
#include <QTimer>
#include <memory>

#include "firmware/UpdateForms.h"

class QMainWindow;
class QProgressBar;

namespace Ui {
class UpdateIns;
class UpdateInsertion;
}  // namespace Ui

namespace zorvan {

class TFirmwareWindows : public firmware::TFirmwareView {
 public:
  TFirmwareWindows(TShell& shell, QMainWindow& mainWindow);
  ~TFirmwareWindows() override;

  firmware::TFirmwareUpdate& Update() { return *update_; }
  QDialog* UpdateView() { return updateView_.get(); }
  QDialog* FileView() { return fileView_.get(); }

  // TFirmwareView.
  bool AskYesNo(const std::string& caption, const std::string& text) override;
  void ShowInfo(const std::string& caption, const std::string& text) override;
  void ShowUpdateDialog() override;
  void CloseUpdateDialog() override;
  int ExecFileDialog() override;
  std::string ChooseHexFile() override;

  // Answers for scripted runs: a question answered without asking, a file chosen without the
  // file-open dialog (empty: ask the user).
  int autoAnswer = -1;  // -1 ask, 0 no, 1 yes
  std::string autoHexFile;
  std::vector<std::string> infos;
  std::vector<std::string> questions;

 private:
  QMainWindow& mainWindow_;
  std::unique_ptr<Ui::UpdateIns> updateUi_;
  std::unique_ptr<Ui::UpdateInsertion> fileUi_;
  std::unique_ptr<QDialog> updateView_;
  std::unique_ptr<QDialog> fileView_;
  std::unique_ptr<firmware::TFirmwareUpdate> update_;
  QTimer timer_;
};

}  // namespace zorvan
