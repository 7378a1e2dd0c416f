#pragma once
// A control named by its form and its own name: how a worker thread addresses what it
// changes, since it may not touch the control itself.
#include <string>

namespace zorvan {

struct TControlRef {
  std::string form;
  std::string control;
  bool operator==(const TControlRef&) const = default;
};

}  // namespace zorvan
