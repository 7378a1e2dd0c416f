#pragma once
// The main window: views bound to the shell's models, the 50 ms drain, modal dialogs.
#include <QDialog>
#include <QMainWindow>
#include <QTimer>
#include <map>
#include <memory>
#include <vector>

#include "app/Shell.h"

namespace Ui {
class MainWindow;
class ConnectDialog;
class SplashDialog;
class TerminalForm;
}  // namespace Ui

namespace zorvan {
class TFirmwareWindows;
class TCompareWindow;
namespace sim {
class TVirtualPanel;
}

// The window's models. As a base listed before QMainWindow it is built before any widget and
// destroyed after all of them: the binders' handlers that run while ~QWidget deletes the child
// widgets still find their controls alive.
class TShellOwner {
 protected:
  TShellOwner(const std::string& folder, const std::string& stateFolder) : shell_(folder, stateFolder) {}
  TShell shell_;
};

class MainWindow : private TShellOwner, public QMainWindow, public TShellView {
 public:
  // folder: where the settings files live, ending with '/'; stateFolder: where "log.txt" goes
  // (empty: the same folder).
  explicit MainWindow(const std::string& folder, QWidget* parent = nullptr, const std::string& stateFolder = {});
  ~MainWindow() override;

  TShell& Shell() { return shell_; }
  QDialog* ConnectDialogView() { return connectView_.get(); }
  QDialog* SplashView() { return splashView_.get(); }
  QDialog* TerminalView() { return terminalView_.get(); }
  TFirmwareWindows& Firmware() { return *firmware_; }
  TCompareWindow& Compare() { return *compare_; }

  // The port list entry of the built-in virtual panel.
  static QString VirtualPanelPort();

  // TShellView.
  int ExecModal(TForm& form) override;
  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& caption, const std::string& text) override;
  std::string AskSaveSettingsPath() override;
  std::string AskLoadSettingsPath() override;
  std::string AskSaveLogPath() override;
  void ShowPage(const std::string& page) override;
  void ShowAbout() override;
  void ShowTerminal() override;
  void CloseMainWindow() override;
  TAnswer Ask(const TQuestion& question) override;
  std::string AskFile(const TFileQuestion& question) override;
  void CloseQuestions() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildCommands();
  void FillPorts();
  void LoadPlacement();
  void SavePlacement();
  std::string StartVirtualPanel();
  void RestoreSplitters();
  // Runs a message box or file dialog modally, known to CloseQuestions while it is open; false
  // when the shell closed it.
  bool ExecTracked(QDialog& dialog, int& result);

  std::unique_ptr<Ui::MainWindow> ui_;
  std::unique_ptr<Ui::ConnectDialog> connectUi_;
  std::unique_ptr<Ui::SplashDialog> splashUi_;
  std::unique_ptr<Ui::TerminalForm> terminalUi_;
  std::unique_ptr<QDialog> connectView_;
  std::unique_ptr<QDialog> splashView_;
  std::unique_ptr<QDialog> terminalView_;
  std::map<std::string, QWidget*> pageViews_;
  std::unique_ptr<sim::TVirtualPanel> virtualPanel_;
  std::unique_ptr<TFirmwareWindows> firmware_;
  std::unique_ptr<TCompareWindow> compare_;
  bool virtualPanelModem_ = false;
  QTimer timer_;
  bool closed_ = false;
  std::vector<QDialog*> openDialogs_;
  // The saved tree size, applied once the window has its final size.
  int savedTreeWidth_ = -1;
  int savedTreeHeight_ = -1;
  bool splittersRestored_ = false;
};

}  // namespace zorvan
