#include "link/Clock.h"

#include <atomic>
#include <thread>

namespace zorvan {
namespace {

std::atomic<double> timeScale{1.0};

std::int64_t RealMicros() {
  using namespace std::chrono;
  return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

std::int64_t NowMs() {
  return static_cast<std::int64_t>(static_cast<double>(RealMicros()) / 1000.0 / timeScale.load());
}

void SleepMs(std::int64_t ms) {
  if (ms <= 0) return;
  std::this_thread::sleep_for(std::chrono::microseconds(static_cast<std::int64_t>(RealMs(static_cast<double>(ms)) * 1000.0)));
}

double RealNowMs() { return static_cast<double>(RealMicros()) / 1000.0; }

double RealMs(double protocolMs) {
  double real = protocolMs * timeScale.load();
  return real < 0 ? 0 : real;
}

void SetTimeScale(double scale) { timeScale.store(scale > 0 ? scale : 1.0); }

double TimeScale() { return timeScale.load(); }

}  // namespace zorvan
