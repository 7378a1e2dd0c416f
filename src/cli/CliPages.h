#pragma once
// zorvan-cli read and write: pages between the panel and a settings file, on the same
// page models and main-window logic as the windowed program.
#include <string>

#include "cli/CliShell.h"

namespace zorvan {

struct TPagesRequest {
  bool write = false;
  std::string page;  // a page identifier or "all"
  std::string file;
};

// Built page identifiers and "all".
bool IsPageArgument(const std::string& page);
// "all, formCommon, ...": what IsPageArgument accepts.
std::string PageArgumentList();
// Returns the exit status (0, 1, 2 for a file that cannot be read or written, 3) after printing what went wrong.
// The pages come from the program's catalogue unless one is given (tests).
int RunPages(const TCliConnection& connection, const TPagesRequest& request);
int RunPages(const TCliConnection& connection, const TPagesRequest& request, const TCatalogue& catalogue);

}  // namespace zorvan
