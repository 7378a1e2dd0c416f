#pragma once
// The virtual panel's side of the outputs: "+e", "+y" and "+yc".
namespace zorvan {
namespace sim {
class TParameterStore;
}

void AddOutsCommands(sim::TParameterStore& store);

}  // namespace zorvan
