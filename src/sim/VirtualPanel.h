#pragma once
// A virtual Zorvan panel on a pseudo-terminal: it echoes each command line and answers
// it the way the panel does, at the programming cable's rate when asked to.
// A virtual GSM modem can sit in front of the line handling: in command mode it echoes
// and answers AT commands, after "CONNECT" the lines reach the panel.
#include <array>
#include <atomic>
#include <memory>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/BootLoader.h"
#include "sim/CommonCommands.h"
#include "sim/ParameterStore.h"

namespace zorvan::sim {

// The port list's entry for the built-in virtual panel (UTF-8). Settings files record the
// entry, never the temporary device path behind it.
inline constexpr const char* kPortListEntry = "Виртуальная панель";

enum class TRegistration { Home, Roaming, Never };

struct TModemOptions {
  bool enabled = false;
  TRegistration registration = TRegistration::Home;
  bool busy = false;              // the called number answers "BUSY"
  int carrierCommands = -1;       // panel commands carried before the carrier drops; negative: never
  std::int64_t connectDelayMs = 1000;  // from the dial to "CONNECT" (protocol milliseconds)
};

struct TPanelOptions {
  std::string version = "09.005.012";  // "+v": family, variant, build
  std::string typepan = "0100";        // "+typepan"
  std::string masterCode = "5281";
  // Bytes per second in each direction; 0 for no limit. 19200 bit/s with 8 data bits and
  // 2 stop bits (11 bits a character) is about 1745 bytes a second.
  double lineRate = 19200.0 / 11.0;
  std::array<int, 2> gsmLevels{18, 11};  // "+AQ" of SIM 1 and SIM 2
  // Real milliseconds between the echo and the answer: a real panel echoes while the line
  // comes in and answers once it has worked the command out.
  double thinkMs = 0;
};

enum class TFaultKind {
  Silent,     // no echo, no answer
  Err,        // echo, then "ERR"
  Ign,        // echo, then "IGN"
  Garbage,    // echo, then bytes that mean nothing and no "OK"
  Noise,      // echo, bytes that mean nothing, then the answer as it would be
  NoCarrier,  // "NO CARRIER" instead of the answer
  CloseLine,  // the line goes away (the panel end of the pty is closed)
};

struct TFault {
  TFaultKind kind = TFaultKind::Silent;
  std::string command;  // the line as received ("+v"); empty matches any command
  int count = 1;        // how many times; negative for always
};

class TVirtualPanel {
 public:
  explicit TVirtualPanel(TPanelOptions options = {}, TModemOptions modem = {});
  ~TVirtualPanel();
  TVirtualPanel(const TVirtualPanel&) = delete;
  TVirtualPanel& operator=(const TVirtualPanel&) = delete;

  // Opens the pseudo-terminal and starts serving; returns the device path for the program.
  std::string Start();
  void Stop();
  const std::string& DevicePath() const { return devicePath_; }

  TParameterStore& Parameters() { return store_; }
  TCommonState& Common() { return *common_; }
  TBootLoader& BootLoader() { return *bootLoader_; }
  void AddFault(TFault fault);
  void ClearFaults();
  // Bytes sent unasked, for example a lost carrier between commands.
  void SendUnasked(const std::string& bytes);
  void CloseLine();

  // What came in, line by line, and the byte counts of both directions.
  std::vector<std::string> ReceivedLines() const;
  std::uint64_t BytesReceived() const { return bytesIn_.load(); }
  std::uint64_t BytesSent() const { return bytesOut_.load(); }
  bool Authorised() const { return authorised_.load(); }
  bool Stopped() const { return stopped_.load(); }
  // The protocol time at which each received line arrived (same order as ReceivedLines).
  std::vector<std::int64_t> ReceivedTimes() const;
  // The virtual modem: whether a data call is up, and the numbers dialled.
  bool DataCall() const { return dataMode_.load(); }
  std::vector<std::string> Dialled() const;

 private:
  void Serve();
  void HandleLine(const std::string& line);
  void HandleModemLine(const std::string& line);
  void Escape();
  TAnswer Builtin(const TCommand& command);
  void Send(const std::string& bytes);
  void CloseLineNow();
  void Wake();

  TPanelOptions options_;
  TModemOptions modem_;
  TParameterStore store_;
  std::shared_ptr<TCommonState> common_;
  std::unique_ptr<TBootLoader> bootLoader_;
  std::string devicePath_;
  int master_ = -1;
  int ownSlave_ = -1;  // keeps the line up between two programs that open it
  int wakeFd_ = -1;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> closeRequested_{false};

  mutable std::mutex mutex_;
  std::vector<TFault> faults_;
  std::string unasked_;
  std::vector<std::string> received_;
  std::vector<std::int64_t> receivedAt_;
  std::vector<std::string> dialled_;
  std::atomic<bool> dataMode_{false};
  bool modemAwake_ = false;   // has seen a command since power-up or the last reset after a call
  bool callEnded_ = false;
  bool dropCallPending_ = false;  // the boot loader's call drop, at the next line
  int carriedCommands_ = 0;
  std::int64_t nextCpinMs_ = 0;

  std::atomic<std::uint64_t> bytesIn_{0};
  std::atomic<std::uint64_t> bytesOut_{0};
  std::atomic<bool> authorised_{false};
  std::atomic<bool> stopped_{false};
  int wrongCodes_ = 0;
  std::int64_t lockedUntilMs_ = 0;
  double lineFreeAtMs_ = 0;  // real time when the outgoing line is free again
  double inputFreeAtMs_ = 0;
};

}  // namespace zorvan::sim
