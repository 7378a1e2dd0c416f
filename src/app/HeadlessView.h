#pragma once
// The shell's view without windows, for the command-line tool and the tests: the connection
// dialog is taken as it stands, the progress dialog runs by ticking the shell, and whatever the
// program would show is recorded and handed to hooks.
#include <functional>
#include <string>
#include <vector>

#include "app/Shell.h"

namespace zorvan {

class THeadlessView : public TShellView {
 public:
  explicit THeadlessView(TShell& shell) : shell_(shell) {}

  // When set, answers every modal form in place of the handling below.
  std::function<int(TForm&)> modal;
  // Fills in the connection dialog before it is confirmed.
  std::function<void(TConnectDialog&)> onConnectDialog;
  std::function<void(const std::string& text)> onMessage;
  std::function<void(const std::string& caption, const std::string& text)> onError;
  // The answers to the file dialogs; empty is a cancel.
  std::string settingsPath;
  std::string logPath;
  // 0: the progress dialog waits as long as the connection attempt lasts.
  int progressLimitMs = 0;
  int tickMs = 5;

  // The answers to the worker's questions and file choices; the questions asked are kept.
  std::function<TAnswer(const TQuestion&)> onAsk;
  std::function<std::string(const TFileQuestion&)> onAskFile;
  std::vector<std::string> questions;
  int closedQuestions = 0;

  std::vector<std::string> messages, errors, pages;

  // One timer tick that waits up to tickMs for the worker.
  void Tick();

  int ExecModal(TForm& form) override;
  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& caption, const std::string& text) override;
  std::string AskSaveSettingsPath() override { return settingsPath; }
  std::string AskLoadSettingsPath() override { return settingsPath; }
  std::string AskSaveLogPath() override { return logPath; }
  void ShowPage(const std::string& page) override { pages.push_back(page); }
  void ShowAbout() override {}
  void ShowTerminal() override {}
  void CloseMainWindow() override {}
  TAnswer Ask(const TQuestion& question) override;
  std::string AskFile(const TFileQuestion& question) override;
  void CloseQuestions() override { ++closedQuestions; }

 private:
  TShell& shell_;
};

}  // namespace zorvan
