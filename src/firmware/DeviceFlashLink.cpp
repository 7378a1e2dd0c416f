#include "firmware/DeviceFlashLink.h"

#include <chrono>
#include <thread>

#include "base/Cp1251.h"
#include "link/Clock.h"
#include "link/Modem.h"

namespace zorvan::firmware {

TLineLease::TLineLease(TDevZorvan& device, double waitRealMs) : device_(device) {
  TModem* worker = device.Worker();
  device_.SetIdleSuppressed(true);
  if (!worker) return;
  const double until = RealNowMs() + waitRealMs;
  while (!device_.IdleParked()) {
    if (worker->Finished() || worker->IsTerminated() || RealNowMs() > until) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  worker_ = worker;
}

TLineLease::~TLineLease() { device_.SetIdleSuppressed(false); }

std::string TDeviceFlashLink::Exchange(const std::string& command, int timeoutMs, bool echo) {
  if (Lost()) return {};
  if (echo) worker_.Log("-> com: " + command, true, true);
  std::string reply;
  try {
    worker_.FlushInput();
    if (Lost()) return {};
    worker_.WriteRaw(command + "\r");
  } catch (const EDeviceError& error) {
    worker_.Log(W(" # !!! Ошибка при отправке команды COM порту: ") + error.what(), true, true);
    worker_.Terminate();
    return {};
  }
  // "ERR" ends the wait at once: no step is accepted with it, so waiting out the time-out
  // would only slow the update down.
  worker_.ReadUntilAny(reply, {"OK", "ERR", "NO CARRIER", "DISCONNECT", "BUSY"}, timeoutMs);
  int code = 0;
  worker_.CheckReply(false, reply, 3, code);  // a lost line ends the connection
  if (echo) worker_.Log("<- com:  " + reply, true, true);
  const auto echoAt = reply.find(command);
  if (echoAt != std::string::npos) reply = reply.substr(echoAt + command.size());
  return reply;
}

bool TDeviceFlashLink::Lost() { return worker_.IsTerminated() || worker_.Finished() || !worker_.PortOpen(); }

void TDeviceFlashLink::Sleep(int ms) { SleepMs(ms); }

std::int64_t TDeviceFlashLink::Now() { return NowMs(); }

}  // namespace zorvan::firmware
