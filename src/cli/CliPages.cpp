#include "cli/CliPages.h"

#include <unistd.h>

#include "base/Cp1251.h"
#include "pages/Catalogue.h"

namespace zorvan {
namespace {

// Built pages only: a page that is not built yet has nothing to read or write.
bool Built(const TPageEntry& entry) { return entry.kind != nullptr; }

// The pages a request reads or writes.
std::vector<const TPageEntry*> RequestedPages(const TPagesRequest& request, const TCatalogue& catalogue) {
  std::vector<const TPageEntry*> pages;
  if (request.page != "all") {
    pages.push_back(catalogue.Find(request.page));
    return pages;
  }
  for (TPageId id : request.write ? catalogue.writeAll : catalogue.readAll)
    if (Built(catalogue.Entry(id))) pages.push_back(&catalogue.Entry(id));
  return pages;
}

}  // namespace

bool IsPageArgument(const std::string& page) {
  if (page == "all") return true;
  const TPageEntry* entry = PageCatalogue().Find(page);
  return entry && Built(*entry);
}

std::string PageArgumentList() {
  std::string list = "all";
  for (const TPageEntry& entry : PageCatalogue().pages)
    if (Built(entry)) list += std::string(", ") + entry.name;
  return list;
}

int RunPages(const TCliConnection& connection, const TPagesRequest& request) {
  return RunPages(connection, request, PageCatalogue());
}

int RunPages(const TCliConnection& connection, const TPagesRequest& request, const TCatalogue& catalogue) {
  TCliShell cli(connection, catalogue);
  TShell& shell = cli.Shell();
  const std::vector<const TPageEntry*> pages = RequestedPages(request, catalogue);
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
    // Nothing is sent from a file that does not hold every page it would write.
    std::string missing;
    for (const TPageEntry* entry : pages)
      if (!ini.SectionExists(entry->name)) missing += std::string(missing.empty() ? "" : ", ") + entry->name;
    if (!missing.empty()) {
      Say(request.file + W(": в файле нет настроек страниц ") + missing + W("; ничего не отправлено"));
      return kExitUsage;
    }
    if (!shell.LoadSettings(ini)) return kExitUsage;
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
  if (!cli.Alive()) {
    // The shell has said what reached the panel (a message on standard error).
    const int status = cli.Failure(W("Связь с панелью потеряна!"));
    return request.write ? kExitPortFailed : status;
  }
  const bool aborted = shell.Device().Aborted();
  cli.Disconnect();
  const auto& failures = shell.Failures();
  for (const TShell::TParamRecord& failure : failures) Say(failure.page + ": " + TShell::FailureText(failure));
  if (aborted && failures.empty()) Say(W("Операция с панелью не завершена"));
  const bool complete = failures.empty() && !aborted;
  if (!request.write) {
    // A partial read never replaces a file: what was not read would come back as empty values.
    if (!complete) {
      Say(request.file + W(": файл не записан, потому что прочитано не всё"));
      return kExitRefused;
    }
    TIniFile ini;
    shell.SaveSettings(ini);
    std::string error;
    if (!ini.SaveToFile(request.file, &error)) {
      Say(error);
      return kExitUsage;
    }
  }
  return complete ? kExitOk : kExitRefused;
}

}  // namespace zorvan
