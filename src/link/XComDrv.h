#pragma once
// Serial port object: line parameters, non-blocking access to the receive queue,
// chunked writes with a time-out, RTS control and one error class for every port failure.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace zorvan {

class EDeviceError : public std::runtime_error {
 public:
  EDeviceError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
  int Code() const { return code_; }

 private:
  int code_;
};

enum class TBaudRate {
  br110, br300, br600, br1200, br2400, br4800, br9600, br14400, br19200,
  br38400, br56000, br57600, br115200, br128000, br256000, brCustom
};
enum class TDataBits { db4 = 4, db5 = 5, db6 = 6, db7 = 7, db8 = 8 };
enum class TParity { paNone, paOdd, paEven, paMark, paSpace };
enum class TStopBits { sb1, sb1p5, sb2 };
enum class TFlowControl { fcNone, fcRtsCts, fcDtrDsr, fcSoftware, fcCustom };

struct TCommDataControl {
  TDataBits DataBits = TDataBits::db8;
  TParity Parity = TParity::paNone;
  TStopBits StopBits = TStopBits::sb1;
};

struct TCommBuffers {
  int InputSize = 2048;   // bytes, 128..4096
  int OutputSize = 2048;  // bytes, 128..4096
  int InputTimeout = 500;   // ms
  int OutputTimeout = 500;  // ms
};

// POSIX serial port. The device name is a path ("/dev/ttyUSB0"); a bare name ("ttyS0")
// is looked up under /dev/.
class TXComm {
 public:
  TXComm() = default;
  ~TXComm();
  TXComm(const TXComm&) = delete;
  TXComm& operator=(const TXComm&) = delete;

  const std::string& DeviceName() const { return deviceName_; }
  void SetDeviceName(const std::string& name) { deviceName_ = name; }

  TBaudRate BaudRate() const { return baudRate_; }
  void SetBaudRate(TBaudRate rate);
  unsigned BaudValue() const { return baudValue_; }
  // Takes effect only under brCustom.
  void SetBaudValue(unsigned value);

  const TCommDataControl& DataControl() const { return dataControl_; }
  void SetDataControl(const TCommDataControl& control);

  const TCommBuffers& Buffers() const { return buffers_; }
  void SetBuffers(const TCommBuffers& buffers);

  TFlowControl FlowControl() const { return flowControl_; }
  void SetFlowControl(TFlowControl flow);

  void Open();
  void Close();
  bool IsOpen() const { return fd_ >= 0; }

  int InQueueCount();
  int OutQueueCount();
  // Bytes written; stops early when nothing could be written for longer than the time-out.
  int Write(const char* data, int count, int timeoutMs);
  bool WriteString(const std::string& text);
  int Read(char* buffer, int count, int timeoutMs);
  bool ReadChar(char& byte);
  // The bytes waiting now; empty at once when nothing waits. A vanished line raises code 10.
  std::string ReadAvailable();

  // Waits until input is waiting, the wake descriptor becomes readable or the time passes.
  // Returns true when the port has input (or a hang-up to report on the next read).
  bool WaitReadable(double realMs, int wakeFd = -1);

  // Raises / drops RTS; returns false when the line operation fails (a pseudo-terminal).
  bool SetRTS(bool raised);

 private:
  void ApplySettings();
  void RequireOpen() const;
  [[noreturn]] void RaiseSystem(int code, const std::string& message, int error) const;

  std::string deviceName_ = "COM2";
  TBaudRate baudRate_ = TBaudRate::br9600;
  unsigned baudValue_ = 9600;
  TCommDataControl dataControl_;
  TCommBuffers buffers_;
  TFlowControl flowControl_ = TFlowControl::fcNone;
  int fd_ = -1;
};

// Bit/s of a rate; brCustom gives 0.
unsigned BaudRateValue(TBaudRate rate);

}  // namespace zorvan
