#pragma once
// The one clock and sleep of the exchange. Protocol times (time-outs, polling periods,
// keep-alive intervals) are given in "protocol milliseconds"; a time scale maps them to
// real time, so tests can run the time-out paths fast without another code path.
#include <chrono>
#include <cstdint>

namespace zorvan {

// Protocol milliseconds since an arbitrary start (monotonic).
std::int64_t NowMs();

// Sleep for the given protocol milliseconds.
void SleepMs(std::int64_t ms);

// Real (unscaled) monotonic milliseconds, for line-level gaps that do not scale.
double RealNowMs();

// Real milliseconds that the given protocol milliseconds last (at least 0).
double RealMs(double protocolMs);

// 1.0 is real time; 0.01 makes a 4500 ms time-out last 45 ms.
void SetTimeScale(double scale);
double TimeScale();

// Sets a scale for the lifetime of the object (tests).
class TScopedTimeScale {
 public:
  explicit TScopedTimeScale(double scale) : previous_(TimeScale()) { SetTimeScale(scale); }
  ~TScopedTimeScale() { SetTimeScale(previous_); }
  TScopedTimeScale(const TScopedTimeScale&) = delete;
  TScopedTimeScale& operator=(const TScopedTimeScale&) = delete;

 private:
  double previous_;
};

}  // namespace zorvan
