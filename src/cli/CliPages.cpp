#include "cli/CliPages.h"

#include <unistd.h>

#include <optional>

#include "base/Cp1251.h"
#include "base/FileAccess.h"
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

namespace {

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

// What a write from the file may send: the pages it holds and, on them, the fields it holds.
// Says which pages and keys the file leaves out, since the panel keeps those as they are.
TWriteScope ScopeOf(const TShell& shell, const TIniFile& ini, std::vector<const TPageEntry*>& pages,
                    const std::string& file) {
  TWriteScope scope;
  std::vector<std::string> leftOut;
  std::vector<const TPageEntry*> held;
  for (const TPageEntry* entry : pages) {
    const TPage& page = *shell.FindPage(entry->name);
    if (!FileHoldsPage(ini, page)) {
      leftOut.push_back(entry->name);
      continue;
    }
    held.push_back(entry);
    scope.pages.insert(entry->id);
    for (const auto& control : page.Controls())
      if (page.StoredAs(*control) != TStored::None && page.FileHolds(ini, *control))
        scope.fields.insert({page.Name(), control->Name()});
    const std::vector<std::string> missing = page.MissingKeys(ini);
    if (!missing.empty())
      Say(file + ": [" + page.Section() + W("] нет ключей ") + Joined(missing) +
          W(": что от них зависит, не отправляется, панель сохранит свои значения"));
  }
  if (!leftOut.empty() && !held.empty())
    Say(file + W(": в файле нет настроек страниц ") + Joined(leftOut) + W("; они не записываются"));
  pages = held;
  return scope;
}

// A write sends only what the file holds: the pages it has sections for (a command for pages
// the file has none of is refused) and, on them, the fields it has keys for. Says what it
// leaves out, since the panel keeps those values.
bool LimitToFile(TShell& shell, const TIniFile& ini, const std::vector<const TPageEntry*>& pages,
                 const TPagesRequest& request) {
  std::vector<const TPageEntry*> held = pages;
  const TWriteScope scope = ScopeOf(shell, ini, held, request.file);
  if (held.empty()) {
    std::vector<std::string> names;
    for (const TPageEntry* entry : pages) names.push_back(entry->name);
    Say(request.file + W(": в файле нет настроек страниц ") + Joined(names) + W("; ничего не отправлено"));
    return false;
  }
  shell.Device().SetWriteScope(scope);
  return true;
}

// A read replaces the sections it reads (one page's, or all of the program's) and keeps the
// rest of an existing file: that file must be a settings file, or it is left alone.
std::optional<int> CheckReadTarget(const std::string& path) {
  std::string bytes, why;
  const TReadResult read = ReadRegularFile(path, TIniFile::kMaxFileBytes, bytes, why);
  if (read == TReadResult::Failed) {
    Say(W("Файл настроек ") + QuotedPath(path) + W(" не прочитан: ") + why + ".");
    return kExitUsage;
  }
  TIniFile existing;
  if (read == TReadResult::Ok && !bytes.empty() && !existing.LoadFromFile(path, &why)) {
    Say(why);
    return kExitUsage;
  }
  return std::nullopt;
}

// The file's bytes with the sections the read produced put in place of their old lines; the
// file's other sections (pages not read, [Update] ...) and every byte of them stay.
std::string Spliced(std::string bytes, const TIniFile& read) {
  for (const std::string& section : read.Sections()) {
    TIniFile one;
    for (const std::string& key : read.Keys(section)) one.WriteString(section, key, read.ReadString(section, key, ""));
    bytes = TIniFile::ReplaceSectionText(bytes, section, one.ToBytes());
  }
  return bytes;
}

bool SaveRead(const std::string& path, const TIniFile& read) {
  std::string bytes, error;
  if (ReadRegularFile(path, TIniFile::kMaxFileBytes, bytes, error) == TReadResult::Failed ||
      !ReplaceFile(path, Spliced(bytes, read), error)) {
    Say(W("Файл настроек ") + QuotedPath(path) + W(" не записан: ") + error + ".");
    return false;
  }
  return true;
}

}  // namespace

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
    // Every value is checked before anything is sent; only the pages the file holds are written.
    if (!shell.LoadSettings(ini, request.file)) return kExitUsage;
    if (!LimitToFile(shell, ini, pages, request)) return kExitUsage;
  } else if (auto failed = CheckReadTarget(request.file)) {
    return *failed;
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
  shell.Device().SetWriteScope(std::nullopt);
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
    if (request.page == "all") shell.SaveSettings(ini);
    else shell.FindPage(request.page)->SaveToIni(ini);
    if (!SaveRead(request.file, ini)) return kExitUsage;
  }
  return complete ? kExitOk : kExitRefused;
}

}  // namespace zorvan
