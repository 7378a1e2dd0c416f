#include "pages/atests/ATestsPanel.h"

#include <array>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "model/Codecs.h"
#include "sim/ParameterStore.h"

namespace zorvan {
namespace {

struct TATestsState {
  std::mutex mutex;
  int tests = 0;
  std::array<int, 3> hours{};
  std::array<int, 3> minutes{};
  int period = 12;
  std::string power = "1111";
  int delay = 0x1E;
  std::string restart = "1";
};

// A value of one or two digits in the base, within the range.
std::optional<int> Small(const std::string& text, bool hex, int min, int max) {
  if (text.empty() || text.size() > 2) return std::nullopt;
  const auto value = hex ? ParseHex(text) : ParseDecimal(text);
  if (!value || *value < min || *value > max) return std::nullopt;
  return static_cast<int>(*value);
}

std::string Entries(const std::array<int, 3>& values) {
  return DecimalText(values[0], 2) + " " + DecimalText(values[1], 2) + " " + DecimalText(values[2], 2);
}

bool Flags(const std::string& text, std::size_t count) {
  if (text.size() != count) return false;
  for (char c : text)
    if (c != '0' && c != '1') return false;
  return true;
}

using TSlots = std::array<int, 3> TATestsState::*;

// Hours or minutes: all three slots read at once, written one slot at a time.
void AddSlots(sim::TParameterStore& store, const std::shared_ptr<TATestsState>& state, const std::string& name,
              int limit, TSlots slots) {
  store.AddExactHandler(name, [state, slots](const sim::TCommand& c) {
    std::lock_guard lock(state->mutex);
    if (c.write) return sim::TAnswer::Err();
    return sim::TAnswer::Ok(Entries((*state).*slots));
  });
  for (std::size_t slot = 0; slot < 3; ++slot) {
    store.AddExactHandler(name + std::to_string(slot), [state, slots, limit, slot](const sim::TCommand& c) {
      std::lock_guard lock(state->mutex);
      const auto value = c.write ? Small(c.argument, false, 0, limit) : std::nullopt;
      if (!value) return sim::TAnswer::Err();
      ((*state).*slots)[slot] = *value;
      return sim::TAnswer::Ok();
    });
  }
}

}  // namespace

void AddATestsCommands(sim::TParameterStore& store) {
  auto state = std::make_shared<TATestsState>();
  using sim::TAnswer;
  using sim::TCommand;
  // Every name exactly: "+r" must leave "+rb" to the panel, "+AA" must not take "+AAx".
  store.AddExactHandler("AN", [state](const TCommand& c) {
    std::lock_guard lock(state->mutex);
    if (!c.write) return TAnswer::Ok(std::to_string(state->tests));
    const auto tests = c.argument.size() == 1 ? Small(c.argument, false, 0, 3) : std::nullopt;
    if (!tests) return TAnswer::Err();
    state->tests = *tests;
    return TAnswer::Ok();
  });
  AddSlots(store, state, "AH", 23, &TATestsState::hours);
  AddSlots(store, state, "AM", 60, &TATestsState::minutes);
  store.AddExactHandler("AA", [state](const TCommand& c) {
    std::lock_guard lock(state->mutex);
    if (!c.write) return TAnswer::Ok(HexText(state->period, 2));
    const auto period = Small(c.argument, true, 0, 255);
    if (!period) return TAnswer::Err();
    state->period = *period;
    return TAnswer::Ok();
  });
  store.AddExactHandler("PO", [state](const TCommand& c) {
    std::lock_guard lock(state->mutex);
    if (!c.write) return TAnswer::Ok(state->power);
    if (!Flags(c.argument, 4)) return TAnswer::Err();
    state->power = c.argument;
    return TAnswer::Ok();
  });
  store.AddExactHandler("WI", [state](const TCommand& c) {
    std::lock_guard lock(state->mutex);
    if (!c.write) return TAnswer::Ok(HexText(state->delay, 2));
    const auto delay = Small(c.argument, true, 1, 255);
    if (!delay) return TAnswer::Err();
    state->delay = *delay;
    return TAnswer::Ok();
  });
  store.AddExactHandler("r", [state](const TCommand& c) {
    std::lock_guard lock(state->mutex);
    if (!c.write) return TAnswer::Ok(state->restart);
    if (!Flags(c.argument, 1)) return TAnswer::Err();
    state->restart = c.argument;
    return TAnswer::Ok();
  });
}

}  // namespace zorvan
