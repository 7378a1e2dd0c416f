#pragma once
// The flashing drivers on the connection's port. While they run, the worker's idle step is
// parked: the line has one sender.
#include <atomic>

#include "firmware/Flasher.h"

namespace zorvan {
class TModem;
}

namespace zorvan::firmware {

// Borrows the line from the connection's worker for as long as it lives.
class TLineLease {
 public:
  // Parks the worker's idle step and waits (real milliseconds) until it is parked.
  TLineLease(TDevZorvan& device, double waitRealMs = 30000);
  ~TLineLease();
  TLineLease(const TLineLease&) = delete;
  TLineLease& operator=(const TLineLease&) = delete;
  // The worker is parked and the line is ours; the worker to send with.
  TModem* Worker() const { return worker_; }

 private:
  TDevZorvan& device_;
  TModem* worker_ = nullptr;
};

class TDeviceFlashLink : public TFlashLink {
 public:
  TDeviceFlashLink(TModem& worker, const std::atomic<bool>& stop) : worker_(worker), stop_(stop) {}
  std::string Exchange(const std::string& command, int timeoutMs, bool echo) override;
  bool Lost() override;
  bool StopRequested() override { return stop_.load(); }
  void Sleep(int ms) override;
  std::int64_t Now() override;

 private:
  TModem& worker_;
  const std::atomic<bool>& stop_;
};

}  // namespace zorvan::firmware
