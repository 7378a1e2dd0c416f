#pragma once
// The worker thread of one connection: it owns the port, runs the command exchange and
// calls the device object's Run with the current request, back to back.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "link/LinkHost.h"
#include "link/XComDrv.h"

namespace zorvan {

class TModem {
 public:
  // A cable connection: 2 stop bits, nothing to dial.
  TModem(std::string portName, TLinkHost& host);
  // A GSM modem connection when the phone holds something to dial (1 stop bit);
  // connectProtocol 0 is v.32, 1 is v.110. An empty phone is the cable.
  TModem(std::string portName, const std::string& phone, int connectProtocol, TLinkHost& host);
  ~TModem();  // requests termination and waits for the thread
  TModem(const TModem&) = delete;
  TModem& operator=(const TModem&) = delete;

  // UI side.
  void Start();
  void SetRequest(std::uint8_t code);
  std::uint8_t CurrentRequest() const { return requestCode_.load(); }
  // Back to the idle cycle after the request ran, unless another one has been posted.
  void ClearRequest(std::uint8_t code) { requestCode_.compare_exchange_strong(code, 0); }
  bool IsTerminated() const { return terminate_.load(); }
  void Terminate();
  void WaitFor();
  bool Finished() const { return finished_.load(); }
  // Called on the worker thread as its very last step.
  void SetOnFinished(std::function<void()> onFinished) { onFinished_ = std::move(onFinished); }
  // Asked by the readers within each polling period while an exchange waits; when it holds,
  // the exchange ends at once as one that got no answer. Set before Start.
  void SetCancelCheck(std::function<bool()> cancelled) { cancelled_ = std::move(cancelled); }
  // The port failure that ended the connection (empty when none); read it after WaitFor.
  const std::string& PortFailure() const { return portFailure_; }
  const std::string& PortName() const { return portName_; }

  // Worker side: the exchange.
  bool SendCommand(const std::string& command, std::string& reply, bool echo, bool raw, bool requireTerminator,
                   const std::string& terminator, int timeoutMs, int attempts);
  bool CheckReply(bool timedOut, const std::string& reply, int mode, int& code);
  bool ReadUntil(std::string& reply, int timeoutMs, const std::string& terminator);
  bool ReadUntilAny(std::string& reply, const std::vector<std::string>& texts, int timeoutMs);
  bool ReadUntilQuick(std::string& reply, int timeoutMs, const std::string& terminator);
  void FlushInput();
  void WriteRaw(const std::string& text);  // raises EDeviceError
  void SetRTS();
  void ClrRTS();
  void Log(const std::string& text, bool window, bool time);

  // Connection set-up: a cable connection has nothing to dial and succeeds at once.
  bool DialModem(int connectProtocol);
  void HangUp();
  bool ModemLink() const { return modemLink_.load(); }
  const std::string& DialNumber() const { return dialNumber_; }
  int ConnectProtocol() const { return connectProtocol_; }
  TStopBits StopBits() const { return port_.DataControl().StopBits; }
  // What a phone text dials: digits, "W"/"w", "+", "," and ";" only.
  static std::string CleanDialNumber(const std::string& phone);
  bool PortOpen() const { return port_.IsOpen(); }

  // The idle wait: returns when input arrives, a request or termination is posted,
  // or the protocol milliseconds have passed.
  void WaitForActivity(int timeoutMs);

  void OpenPort();
  void ClosePort();

 private:
  void Execute();
  bool StopRequested() const { return terminate_.load() && !hangUpPermission_.load(); }
  bool Cancelled() const { return cancelled_ && cancelled_(); }
  std::string ReadPending();
  bool WaitInput(double realMs);
  void CollectUntilQuiet(std::string& reply, std::int64_t deadlineMs);
  // The readers' one loop: read until the reply is complete, the time is up or the stop
  // condition holds; a complete reply is then read on until the line is quiet.
  enum class TReadStop { OnStopRequest, OnTerminate, Never };
  bool ReadFor(std::string& reply, int timeoutMs, const std::function<bool(const std::string&)>& complete,
               TReadStop stop, int pollPeriodMs);
  void ReadError(const EDeviceError& error);
  void Wake();
  double QuietGapRealMs() const;
  bool InitCommand(const std::string& command);
  void CollectAndLog(int ms);

  TXComm port_;
  std::string portName_;
  std::string dialNumber_;  // empty: the programming cable
  int connectProtocol_ = 0;
  TLinkHost& host_;
  std::atomic<std::uint8_t> requestCode_{0};
  std::atomic<bool> terminate_{false};
  std::atomic<bool> hangUpPermission_{false};
  std::atomic<bool> finished_{false};
  std::atomic<bool> modemLink_{false};
  std::string portFailure_;
  double lastInputRealMs_ = -1e9;
  int wakeFd_ = -1;
  std::function<void()> onFinished_;
  std::function<bool()> cancelled_;
  std::thread thread_;
};

}  // namespace zorvan
