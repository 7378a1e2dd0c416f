#pragma once
// The virtual panel's side of the system events: the daily and periodic autotests, the power
// events, the mains delay and the restart event.
namespace zorvan {
namespace sim {
class TParameterStore;
}

void AddATestsCommands(sim::TParameterStore& store);

}  // namespace zorvan
