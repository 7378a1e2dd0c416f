#pragma once
// zorvan-cli flash: the built-in image that suits the panel, or a HEX file, with a progress
// line on standard error. Over a modem call that drops, the tool calls again (up to three
// times) and the update continues after the last acknowledged block.
#include <string>

#include "cli/CliShell.h"

namespace zorvan {

struct TFlashRequest {
  std::string hexFile;  // empty: the built-in image
  bool force = false;   // flash the built-in image also when no update is offered
};

// Returns the exit status: 0 only when the panel accepted the finish step.
int RunFlash(const TCliConnection& connection, const TFlashRequest& request);

}  // namespace zorvan
