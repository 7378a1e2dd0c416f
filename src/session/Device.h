#pragma once
// The five operations through which the program drives a device, and the worker's reports,
// which a device passes on to the user interface through the output queue.
#include <cstdint>
#include <string>

#include "link/LinkHost.h"

namespace zorvan {

class TOutArray;

class TDevice : public TLinkHost {
 public:
  explicit TDevice(TOutArray& out) : out_(out) {}
  virtual void ReadPage() = 0;
  virtual void WritePage() = 0;
  virtual void ReadAll() = 0;
  virtual void WriteAll() = 0;

  TOutArray& Out() { return out_; }

  // TLinkHost: the worker's reports become output elements.
  void Log(const std::string& text, bool window, bool time) override;
  void ConnectStatus(const std::string& text) override;
  void WorkerFailed(const std::string& text) override;
  void ConnectionEnded() override;

 protected:
  TOutArray& out_;
};

}  // namespace zorvan
