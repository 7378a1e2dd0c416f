#include "sim/CommonCommands.h"

#include <cstdio>

namespace zorvan::sim {
namespace {

bool AllDigits(const std::string& text) {
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return !text.empty();
}

bool AllHex(const std::string& text) {
  for (char c : text)
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'))) return false;
  return !text.empty();
}

}  // namespace

bool TCommonState::Imei() const {
  std::lock_guard lock(mutex_);
  return imei_;
}

int TCommonState::ActiveSim() const {
  std::lock_guard lock(mutex_);
  return activeSim_;
}

void TCommonState::SetLevels(std::array<int, 2> levels) {
  std::lock_guard lock(mutex_);
  for (int& level : levels)
    if (level < 0 || level > 31) level = 0;
  levels_ = levels;
}

int TCommonState::Level() const {
  std::lock_guard lock(mutex_);
  return levels_[activeSim_ == 1 ? 0 : 1];
}

void AddCommonCommands(TParameterStore& store, const std::shared_ptr<TCommonState>& state) {
  TCommonState& s = *state;
  // The handlers hold the state: it lives as long as the store answers.
  store.AddHandler("o", [state, &s](const TCommand& c) {
    if (!c.write) return TAnswer::Ok(s.ObjectNumber());
    if (c.argument.size() != 4 || !AllHex(c.argument)) return TAnswer::Err();
    std::lock_guard lock(s.mutex_);
    s.objectNumber_ = c.argument;
    return TAnswer::Ok();
  });
  store.AddHandler("FMR", [state, &s](const TCommand& c) {
    return c.write ? TAnswer::Err() : TAnswer::Ok(s.MasterCode());
  });
  // The master code written here is the one "+id=" checks from now on.
  store.AddHandler("FMW", [state, &s](const TCommand& c) {
    if (!c.write || c.argument.size() != 4 || !AllDigits(c.argument)) return TAnswer::Err();
    std::lock_guard lock(s.mutex_);
    s.masterCode_ = c.argument;
    return TAnswer::Ok();
  });
  store.AddHandler("P2", [state, &s](const TCommand& c) {
    if (!c.write) return TAnswer::Ok(s.Imei() ? "01" : "00");
    if (c.argument != "0" && c.argument != "1") return TAnswer::Err();
    std::lock_guard lock(s.mutex_);
    s.imei_ = c.argument == "1";
    return TAnswer::Ok();
  });
  store.AddHandler("AZ", [state, &s](const TCommand& c) {
    if (!c.write) return TAnswer::Ok(s.ActiveSim() == 1 ? "0" : "1");
    if (c.argument != "0" && c.argument != "1") return TAnswer::Err();
    std::lock_guard lock(s.mutex_);
    s.activeSim_ = c.argument == "0" ? 1 : 2;
    return TAnswer::Ok();
  });
  store.AddHandler("AQ", [state, &s](const TCommand& c) {
    if (c.write) return TAnswer::Err();
    // The level sits at characters 4 and 5 of what follows the echo: "\rL=18".
    char text[8];
    std::snprintf(text, sizeof text, "L=%02d", s.Level());
    return TAnswer::Ok(text);
  });
}

}  // namespace zorvan::sim
