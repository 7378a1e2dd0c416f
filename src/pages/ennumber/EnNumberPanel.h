#pragma once
// The virtual panel's side of the engineer numbers: "+E" and the five numbers.
namespace zorvan {
namespace sim {
class TParameterStore;
}

void AddEnNumberCommands(sim::TParameterStore& store);

}  // namespace zorvan
