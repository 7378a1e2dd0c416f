#pragma once
// The virtual panel's general settings: object number, master code, IMEI ident, GSM signal and SIM.
#include <array>
#include <memory>
#include <mutex>
#include <string>

#include "sim/ParameterStore.h"

namespace zorvan::sim {

// What "+o=", "+FMW=", "+P2=" and "+AZ=" keep. The panel thread and a test may both look.
class TCommonState {
 public:
  explicit TCommonState(std::string masterCode) : masterCode_(std::move(masterCode)) {}
  std::string ObjectNumber() const { return Get(objectNumber_); }
  std::string MasterCode() const { return Get(masterCode_); }
  bool Imei() const;
  int ActiveSim() const;  // 1 or 2
  // The GSM signal of SIM 1 and SIM 2 (0..31) that "+AQ" reports for the active SIM.
  void SetLevels(std::array<int, 2> levels);
  int Level() const;

 private:
  friend void AddCommonCommands(TParameterStore& store, const std::shared_ptr<TCommonState>& state);
  std::string Get(const std::string& value) const {
    std::lock_guard lock(mutex_);
    return value;
  }
  mutable std::mutex mutex_;
  std::string objectNumber_ = "0050";
  std::string masterCode_;
  bool imei_ = false;
  int activeSim_ = 1;
  std::array<int, 2> levels_{18, 11};
};

void AddCommonCommands(TParameterStore& store, const std::shared_ptr<TCommonState>& state);

}  // namespace zorvan::sim
