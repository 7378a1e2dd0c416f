#pragma once
// One firmware update on a thread of its own: it borrows the connection's line, runs a
// flashing driver and gives the line back. The owner waits for it with Finished/Join.
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "firmware/Flasher.h"

namespace zorvan::firmware {

class TUpdateThread {
 public:
  // report is called on the update thread; it must outlive the thread.
  TUpdateThread(TDevZorvan& device, TFlashDriver driver, std::vector<TBlock> blocks, TFlashReport& report);
  ~TUpdateThread();  // asks the update to stop and waits for it
  TUpdateThread(const TUpdateThread&) = delete;
  TUpdateThread& operator=(const TUpdateThread&) = delete;

  // Runs first thing on the update thread (the dialog's state becomes "failed" there).
  std::function<void()> onStart;
  // After a good update the panel restarts: the connection is ended before the line goes back
  // to the worker, so that its idle polls never reach the restarting panel.
  bool endConnectionAfterSuccess = false;
  void Start();
  // No further sends after the current one.
  void RequestStop() { stop_.store(true); }
  bool Finished() const { return finished_.load(); }
  // Waits for the end; call only when Finished() or when no UI call can be pending.
  void Join();
  // Valid once Finished().
  const TFlashResult& Result() const { return result_; }

 private:
  void Run();

  TDevZorvan& device_;
  TFlashDriver driver_;
  std::vector<TBlock> blocks_;
  TFlashReport& report_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> finished_{false};
  TFlashResult result_;
  std::thread thread_;
};

}  // namespace zorvan::firmware
