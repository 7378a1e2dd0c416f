#pragma once
// What a write from a settings file may send: the pages the file holds and, on them, the
// fields it holds. A write from the window has no scope: it sends every field.
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "model/Control.h"
#include "session/PageCatalogue.h"

namespace zorvan {

struct TWriteScope {
  std::set<TPageId> pages;
  std::set<std::pair<std::string, std::string>> fields;  // page name, control name
  bool Holds(const TControl& field) const { return fields.count({field.FormName(), field.Name()}) > 0; }
};

}  // namespace zorvan
