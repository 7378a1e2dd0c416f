#include "cli/CliDiff.h"

#include <cstdio>

#include "app/PanelCompare.h"
#include "base/Cp1251.h"

namespace zorvan {
namespace {

void Print(const std::string& cp1251) { std::printf("%s\n", Cp1251ToUtf8(cp1251).c_str()); }

}  // namespace

int RunDiff(const TCliConnection& connection, const std::string& file) {
  TIniFile ini;
  std::string error;
  if (!ini.LoadFromFile(file, &error)) {
    Say(error);
    return kExitUsage;
  }
  TCliShell cli(connection);
  TPanelComparison comparison(cli.Shell(), ini);
  if (comparison.Empty()) {
    Say(TPanelComparison::NothingToCompareText(file));
    return kExitUsage;
  }
  if (auto failed = cli.Connect()) return *failed;
  while (comparison.Next()) cli.WaitIdle();
  const bool lineLost = !cli.Alive();
  cli.Disconnect();
  for (const TPanelComparison::TPageResult& page : comparison.Pages()) {
    if (!page.compared) {
      Print(page.caption + ": " + TPanelComparison::NotComparedText(page));
      continue;
    }
    for (const TPanelComparison::TDifference& d : comparison.Differences())
      if (d.page == page.page) Print(d.pageCaption + ": " + TPanelComparison::DifferenceText(d));
  }
  std::fflush(stdout);
  if (lineLost) {
    if (!cli.Shell().LastPortFailure().empty()) {
      Say(W("Ошибка COM порта ") + connection.port + ": " + cli.Shell().LastPortFailure());
      return kExitPortFailed;
    }
    Say(W("Связь с панелью потеряна!"));
    return kExitPortFailed;
  }
  if (comparison.Equal()) {
    Say(W("Панель совпадает с файлом настроек."));
    return kExitOk;
  }
  return kExitRefused;
}

}  // namespace zorvan
