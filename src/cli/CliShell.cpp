#include "cli/CliShell.h"

#include "base/Cp1251.h"
#include "link/Modem.h"
#include "pages/Catalogue.h"

namespace zorvan {

void Say(const std::string& cp1251) { std::fprintf(stderr, "%s\n", Cp1251ToUtf8(cp1251).c_str()); }

TCliShell::TCliShell(TCliConnection connection) : TCliShell(std::move(connection), PageCatalogue()) {}

TCliShell::TCliShell(TCliConnection connection, const TCatalogue& catalogue)
    : connection_(std::move(connection)), shell_("./", {}, catalogue), view_(shell_) {
  view_.tickMs = 50;
  view_.onMessage = [](const std::string& text) { Say(text); };
  view_.onError = [](const std::string& caption, const std::string& text) { Say(caption + ": " + text); };
  shell_.SetView(&view_);
  shell_.summaryPointsToLog = false;  // the failed parameters follow on standard error
  if (!connection_.devicePath.empty())
    shell_.resolvePort = [this](const std::string& port) {
      return port == connection_.port ? connection_.devicePath : port;
    };
  shell_.onLog = [this](const std::string& text, bool) {
    if (connection_.log) {
      std::fwrite(text.data(), 1, text.size(), connection_.log);
      std::fputs("\r\n", connection_.log);
      std::fflush(connection_.log);
    }
    if (connection_.verbose) {
      // A terminal would jump back on a bare carriage return; show it instead.
      std::string shown;
      for (char c : text) shown += c == '\r' ? std::string("\\r") : std::string(1, c);
      Say(shown);
    }
  };
}

TCliShell::~TCliShell() { Disconnect(); }

std::optional<int> TCliShell::Connect() {
  // The command line decides the connection, whatever a loaded settings file says.
  TConnectDialog& dialog = shell_.ConnectDialog();
  dialog.ConnectType().SetItemIndex(connection_.phone.empty() ? 0 : 1 + connection_.protocol);
  dialog.ApplyConnectType();
  dialog.Phones().SetText(connection_.phone);
  dialog.Ports().SetText(connection_.port);
  dialog.MasterKey().SetText(Utf8ToCp1251(connection_.master));
  shell_.Connect();
  shell_.Drain();
  if (shell_.Connected()) return std::nullopt;
  return Failure(W("Не удалось подключиться к панели"));
}

void TCliShell::WaitIdle() {
  view_.tickMs = 5;
  while (shell_.Busy()) view_.Tick();
  shell_.Tick();
  view_.tickMs = 50;
}

bool TCliShell::Alive() {
  shell_.Drain();
  TModem* worker = shell_.Device().Worker();
  return shell_.Connected() && worker && !worker->Finished() && !worker->IsTerminated();
}

int TCliShell::Failure(const std::string& fallback) {
  Disconnect();
  const std::string status = shell_.Splash()["Panel2"].Text();
  if (!shell_.LastPortFailure().empty()) {
    if (status.find(W("Ошибка при открытии")) != std::string::npos)
      Say(status.find(shell_.LastPortFailure()) != std::string::npos ? status
                                                                      : status + " (" + shell_.LastPortFailure() + ")");
    else
      Say(W("Ошибка COM порта ") + connection_.port + ": " + shell_.LastPortFailure());
    return kExitPortFailed;
  }
  const bool useful = !status.empty() && status.find(W("Успешно")) == std::string::npos &&
                      status.find(W("Открываем")) == std::string::npos &&
                      status.find(W("СОЕДИНЕНИЕ УСТАНОВЛЕНО")) == std::string::npos;
  Say(useful ? status : fallback);
  return kExitRefused;
}

void TCliShell::Disconnect() {
  if (shell_.Connected()) shell_.Disconnect();
  shell_.Drain();
}

}  // namespace zorvan
