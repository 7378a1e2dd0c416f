#pragma once
// The operations the worker runs, by the code the user-interface thread posts.
#include <cstdint>

namespace zorvan::request {

inline constexpr std::uint8_t kIdle = 0;
inline constexpr std::uint8_t kConnect = 1;
inline constexpr std::uint8_t kReadPage = 3;
inline constexpr std::uint8_t kWritePage = 4;
inline constexpr std::uint8_t kReadAll = 5;
inline constexpr std::uint8_t kWriteAll = 6;
inline constexpr std::uint8_t kHistoryBack = 8;
inline constexpr std::uint8_t kHistoryForward = 11;
inline constexpr std::uint8_t kHistoryFromStart = 12;
inline constexpr std::uint8_t kStartPanel = 13;
inline constexpr std::uint8_t kReadTouchMemoryKey = 15;
inline constexpr std::uint8_t kStopPanel = 16;
inline constexpr std::uint8_t kClearHistory = 17;
inline constexpr std::uint8_t kRebootPanel = 19;
inline constexpr std::uint8_t kLedTest = 20;
inline constexpr std::uint8_t kSwitchOutput1 = 21;
inline constexpr std::uint8_t kSwitchOutput2 = 22;
inline constexpr std::uint8_t kTerminalLine = 23;
inline constexpr std::uint8_t kSelectSim1 = 24;
inline constexpr std::uint8_t kSelectSim2 = 25;

}  // namespace zorvan::request
