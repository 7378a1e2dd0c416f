#pragma once
// zorvan-cli diff --load FILE: what on the panel differs from a saved configuration.
#include <string>

#include "cli/CliShell.h"

namespace zorvan {

// Prints one line per difference and per page not compared on standard output. Exit status:
// 0 equal, 1 different (or a page not compared), 2 a file it refuses, 3 a port failure.
int RunDiff(const TCliConnection& connection, const std::string& file);

}  // namespace zorvan
