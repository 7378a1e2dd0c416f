#include "cli/CliPages.h"

#include <unistd.h>

#include "app/Cp1251.h"
#include "app/HeadlessView.h"

namespace zorvan {
namespace {

void Say(const std::string& cp1251) { std::fprintf(stderr, "%s\n", Cp1251ToUtf8(cp1251).c_str()); }

}  // namespace

bool IsPageArgument(const std::string& page) {
  if (page == "all") return true;
  for (std::string_view id : kPageIds)
    if (id == page) return true;
  return false;
}

int RunPages(const TPagesRequest& request) {
  TShell shell("./");
  THeadlessView view(shell);
  view.onMessage = [](const std::string& text) { std::printf("%s\n", Cp1251ToUtf8(text).c_str()); };
  view.onError = [](const std::string& caption, const std::string& text) { Say(caption + ": " + text); };
  shell.SetView(&view);
  shell.onLog = [&](const std::string& text, bool show) {
    if (request.log) std::fprintf(request.log, "%s\r\n", text.c_str());
    if (request.verbose && show) Say(text);
  };
  if (request.write) {
    // A missing file would load as empty and write nothing but defaults.
    if (access(request.file.c_str(), R_OK) != 0) {
      Say(request.file + W(": файл настроек не найден или недоступен"));
      return 2;
    }
    TIniFile ini;
    std::string error;
    if (!ini.LoadFromFile(request.file, &error)) {
      Say(error);
      return 1;
    }
    if (!shell.LoadSettings(ini)) return 1;
  }
  // The command line decides the connection, whatever a loaded file says.
  shell.ConnectDialog().ConnectType().SetItemIndex(request.phone.empty() ? 0 : 1 + request.protocol);
  shell.ConnectDialog().ApplyConnectType();
  shell.ConnectDialog().Phones().SetText(request.phone);
  shell.ConnectDialog().Ports().SetText(request.port);
  shell.ConnectDialog().MasterKey().SetText(Utf8ToCp1251(request.master));

  shell.Connect();
  shell.Drain();
  if (!shell.Connected()) {
    const std::string status = shell.Splash()["Panel2"].Text();
    if (!shell.LastPortFailure().empty()) {
      Say(W("Ошибка COM порта ") + request.port + ": " + shell.LastPortFailure());
      return 3;
    }
    Say(status.empty() ? W("Не удалось подключиться к панели") : status);
    return 1;
  }
  if (request.page == "all") {
    if (request.write) shell.WriteAllPages();
    else shell.ReadAllPages();
  } else {
    shell.ShowPage(request.page);
    if (request.write) shell.WritePage();
    else shell.ReadPage();
  }
  while (shell.Busy()) view.Tick();
  shell.Tick();
  const bool lost = !shell.Connected();
  const bool aborted = shell.Device().Aborted();
  shell.Disconnect();
  shell.Drain();
  if (lost) {
    if (!shell.LastPortFailure().empty()) {
      Say(W("Ошибка COM порта ") + request.port + ": " + shell.LastPortFailure());
      return 3;
    }
    Say(W("Связь с панелью потеряна!"));
    return 1;
  }
  if (aborted) {
    Say(W("Операция с панелью не завершена"));
    return 1;
  }
  // A parameter that failed is marked red on its page; the file is still written with the rest.
  int failed = 0;
  for (const auto& page : shell.Pages()) {
    if (request.page != "all" && page->Name() != request.page) continue;
    for (const auto& control : page->Controls())
      if (control->FontColor() == "clRed" || control->BackColor() == "clRed") {
        Say(page->Name() + ": " + control->Name() + W(" - панель не ответила"));
        ++failed;
      }
  }
  if (!request.write) {
    TIniFile ini;
    shell.SaveSettings(ini);
    std::string error;
    if (!ini.SaveToFile(request.file, &error)) {
      Say(error);
      return 1;
    }
  }
  return failed > 0 ? 1 : 0;
}

}  // namespace zorvan
