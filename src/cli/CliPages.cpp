#include "cli/CliPages.h"

#include <unistd.h>

#include "base/Cp1251.h"

namespace zorvan {

bool IsPageArgument(const std::string& page) {
  if (page == "all") return true;
  for (std::string_view id : kPageIds)
    if (id == page) return true;
  return false;
}

int RunPages(const TCliConnection& connection, const TPagesRequest& request) {
  TCliShell cli(connection);
  TShell& shell = cli.Shell();
  if (request.write) {
    // A missing file would load as empty and write nothing but defaults.
    if (access(request.file.c_str(), R_OK) != 0) {
      Say(request.file + W(": файл настроек не найден или недоступен"));
      return kExitUsage;
    }
    TIniFile ini;
    std::string error;
    if (!ini.LoadFromFile(request.file, &error)) {
      Say(error);
      return kExitUsage;
    }
    if (!shell.LoadSettings(ini)) return kExitRefused;
  }
  if (auto failed = cli.Connect()) return *failed;
  if (request.page == "all") {
    if (request.write) shell.WriteAllPages();
    else shell.ReadAllPages();
  } else {
    shell.ShowPage(request.page);
    if (request.write) shell.WritePage();
    else shell.ReadPage();
  }
  cli.WaitIdle();
  if (!cli.Alive()) return cli.Failure(W("Связь с панелью потеряна!"));
  const bool aborted = shell.Device().Aborted();
  cli.Disconnect();
  if (aborted) {
    Say(W("Операция с панелью не завершена"));
    return kExitRefused;
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
      return kExitUsage;
    }
  }
  return failed > 0 ? kExitRefused : kExitOk;
}

}  // namespace zorvan
