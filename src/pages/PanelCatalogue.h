#pragma once
// The virtual panel's commands of each built page, kept apart from the pages' cores so that a
// page never depends on the simulator.
#include <utility>
#include <vector>

#include "session/PageCatalogue.h"

namespace zorvan {
namespace sim {
class TParameterStore;
}

using TPanelCommands = void (*)(sim::TParameterStore& store);

const std::vector<std::pair<TPageId, TPanelCommands>>& PagePanelCommands();

}  // namespace zorvan
