#pragma once
// The virtual panel's side of the GPRS settings.
namespace zorvan {
namespace sim {
class TParameterStore;
}

void AddGprsCommands(sim::TParameterStore& store);

}  // namespace zorvan
