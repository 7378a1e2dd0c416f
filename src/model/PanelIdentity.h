#pragma once

namespace zorvan {

// What the connected panel is, as the pages adapt to it.
struct TPanelIdentity {
  int family = 9;
  int variant = 999;
  int build = 999;
};

}  // namespace zorvan
