#pragma once
// zorvan-cli: connect to a panel and run one command without windows.
// Exit status: 0 success, 1 the panel refused or did not answer, 2 usage (also a file or page
// the command line named that cannot serve), 3 port failure.
#include <string>
#include <vector>

namespace zorvan {

int RunCli(const std::vector<std::string>& args);

}  // namespace zorvan
