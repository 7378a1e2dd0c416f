#include "pages/ennumber/EnNumberPanel.h"

#include <array>
#include <memory>
#include <mutex>
#include <string>

#include "sim/ParameterStore.h"

namespace zorvan {
namespace {

// A number the panel keeps: digits, "+" and "W", at most 20.
bool ValidNumber(const std::string& number) {
  if (number.size() > 20) return false;
  for (char c : number)
    if (!((c >= '0' && c <= '9') || c == '+' || c == 'W' || c == 'w')) return false;
  return true;
}

struct TEnNumberState {
  std::mutex mutex;
  std::string restricted = "0";
  std::array<std::string, 5> numbers;
};

}  // namespace

void AddEnNumberCommands(sim::TParameterStore& store) {
  auto state = std::make_shared<TEnNumberState>();
  store.AddHandler("E", [state](const sim::TCommand& c) {
    std::lock_guard lock(state->mutex);
    if (!c.write) return sim::TAnswer::Ok(state->restricted);
    if (c.argument != "0" && c.argument != "1") return sim::TAnswer::Err();
    state->restricted = c.argument;
    return sim::TAnswer::Ok();
  });
  for (int k = 0; k < 5; ++k) {
    store.AddHandler("j" + std::to_string(k), [state, k](const sim::TCommand& c) {
      std::lock_guard lock(state->mutex);
      if (c.write) return sim::TAnswer::Err();
      return sim::TAnswer::Ok(state->numbers[static_cast<std::size_t>(k)]);
    });
    store.AddHandler("J" + std::to_string(k), [state, k](const sim::TCommand& c) {
      std::lock_guard lock(state->mutex);
      if (!c.write || !ValidNumber(c.argument)) return sim::TAnswer::Err();
      state->numbers[static_cast<std::size_t>(k)] = c.argument;
      return sim::TAnswer::Ok();
    });
  }
}

}  // namespace zorvan
