#pragma once
// The five operations through which the program drives a device.
#include <cstdint>

namespace zorvan {

class TDevice {
 public:
  virtual ~TDevice() = default;
  virtual void ReadPage() = 0;
  virtual void WritePage() = 0;
  virtual void ReadAll() = 0;
  virtual void WriteAll() = 0;
  // One request on the worker thread; may raise, and then the request stays pending.
  virtual void Run(std::uint8_t requestCode) = 0;
};

}  // namespace zorvan
