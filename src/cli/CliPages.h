#pragma once
// zorvan-cli read and write: pages between the panel and a settings file, on the same
// page models and main-window logic as the windowed program.
#include <cstdio>
#include <string>

namespace zorvan {

struct TPagesRequest {
  std::string port;
  std::string master;
  bool write = false;
  std::string page;  // a page identifier or "all"
  std::string file;
  std::FILE* log = nullptr;
  bool verbose = false;
  std::string phone;  // a modem data call when not empty
  int protocol = 0;   // 0 v.32, 1 v.110
};

// Known page identifiers and "all".
bool IsPageArgument(const std::string& page);
// Returns the exit status (0, 1, 2 for an unreadable file, 3) after printing what went wrong.
int RunPages(const TPagesRequest& request);

}  // namespace zorvan
