#include "pages/outs/OutsPanel.h"

#include <memory>
#include <mutex>
#include <string>

#include "model/Codecs.h"
#include "sim/ParameterStore.h"

namespace zorvan {
namespace {

struct TOutsState {
  std::mutex mutex;
  int outputs = 0;  // bit 0 ОК1, bit 1 ОК2
  int sirenSeconds = 30;
  bool sirenCancel = false;
};

}  // namespace

void AddOutsCommands(sim::TParameterStore& store) {
  auto state = std::make_shared<TOutsState>();
  store.AddHandler("e", [state](const sim::TCommand& c) {
    std::lock_guard lock(state->mutex);
    if (!c.write) return sim::TAnswer::Ok("0" + std::to_string(state->outputs));
    // "1" and the new state digit.
    if (c.argument.size() != 2 || c.argument[0] != '1' || c.argument[1] < '0' || c.argument[1] > '3')
      return sim::TAnswer::Err();
    state->outputs = c.argument[1] - '0';
    return sim::TAnswer::Ok();
  });
  store.AddHandler("y", [state](const sim::TCommand& c) {
    std::lock_guard lock(state->mutex);
    if (!c.write) return sim::TAnswer::Ok(HexText(state->sirenSeconds, 2));
    const auto seconds = c.argument.size() == 2 ? ParseHex(c.argument) : std::nullopt;
    if (!seconds) return sim::TAnswer::Err();
    state->sirenSeconds = static_cast<int>(*seconds);
    return sim::TAnswer::Ok();
  });
  store.AddHandler("yc", [state](const sim::TCommand& c) {
    std::lock_guard lock(state->mutex);
    if (!c.write) return sim::TAnswer::Ok(state->sirenCancel ? "1" : "0");
    if (c.argument != "0" && c.argument != "1") return sim::TAnswer::Err();
    state->sirenCancel = c.argument == "1";
    return sim::TAnswer::Ok();
  });
}

}  // namespace zorvan
