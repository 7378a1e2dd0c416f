#include "link/XComDrv.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include "base/Cp1251.h"
#include "base/FileAccess.h"
#include "link/PortAccess.h"

namespace zorvan {
namespace {

// The texts reach the user (log, progress dialog, command-line tool): Russian, in cp1251.
std::string NotOpened() { return W("Порт не открыт."); }
std::string ControlBlockRefused() { return W("Не удалось установить параметры порта."); }

// The exclusive mode stays on the device while anyone else holds it open (a pseudo-terminal's
// other side): without clearing it, the next program of an ordinary user gets "busy".
void ReleaseDevice(int fd) {
  ::ioctl(fd, TIOCNXCL);
  ::flock(fd, LOCK_UN);
  ::close(fd);
}

std::int64_t ElapsedMs(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

speed_t SpeedConstant(unsigned value) {
  switch (value) {
    case 110: return B110;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    default: return B0;
  }
}

int ClampQueue(int size) { return std::clamp(size, 128, 4096); }

}  // namespace

unsigned BaudRateValue(TBaudRate rate) {
  switch (rate) {
    case TBaudRate::br110: return 110;
    case TBaudRate::br300: return 300;
    case TBaudRate::br600: return 600;
    case TBaudRate::br1200: return 1200;
    case TBaudRate::br2400: return 2400;
    case TBaudRate::br4800: return 4800;
    case TBaudRate::br9600: return 9600;
    case TBaudRate::br14400: return 14400;
    case TBaudRate::br19200: return 19200;
    case TBaudRate::br38400: return 38400;
    case TBaudRate::br56000: return 56000;
    case TBaudRate::br57600: return 57600;
    case TBaudRate::br115200: return 115200;
    case TBaudRate::br128000: return 128000;
    case TBaudRate::br256000: return 256000;
    case TBaudRate::brCustom: return 0;
  }
  return 0;
}

TXComm::~TXComm() {
  if (fd_ >= 0) ReleaseDevice(fd_);
}

void TXComm::SetBaudRate(TBaudRate rate) {
  baudRate_ = rate;
  if (rate != TBaudRate::brCustom) baudValue_ = BaudRateValue(rate);
  if (IsOpen()) ApplySettings();
}

void TXComm::SetBaudValue(unsigned value) {
  if (baudRate_ != TBaudRate::brCustom) return;
  baudValue_ = value;
  if (IsOpen()) ApplySettings();
}

void TXComm::SetDataControl(const TCommDataControl& control) {
  dataControl_ = control;
  if (IsOpen()) ApplySettings();
}

void TXComm::SetBuffers(const TCommBuffers& buffers) {
  buffers_ = buffers;
  buffers_.InputSize = ClampQueue(buffers.InputSize);
  buffers_.OutputSize = ClampQueue(buffers.OutputSize);
  if (IsOpen()) ::tcflush(fd_, TCIOFLUSH);
}

void TXComm::SetFlowControl(TFlowControl flow) {
  flowControl_ = flow;
  if (IsOpen()) ApplySettings();
}

void TXComm::RaiseSystem(int code, const std::string& message, int error) const {
  throw EDeviceError(code, message + W(" (ошибка ") + std::to_string(error) + ": " + SystemErrorText(error) + ")");
}

void TXComm::RequireOpen() const {
  if (!IsOpen()) throw EDeviceError(1, NotOpened());
}

void TXComm::Open() {
  if (IsOpen()) throw EDeviceError(2, W("Порт уже открыт."));
  std::string path = deviceName_;
  if (path.empty() || path[0] != '/') path = "/dev/" + path;
  const std::string cannotOpen = W("Не удалось открыть порт ") + Utf8ToCp1251(deviceName_) + ": ";
  const std::string busy = W("порт занят другой программой");
  int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    // A port another program opened exclusively refuses with EBUSY; a port of a group the
    // user is not in refuses with EACCES, and the user is told which group.
    if (error == EBUSY) throw EDeviceError(65535, cannotOpen + busy);
    if (error == EACCES || error == EPERM) throw EDeviceError(65535, cannotOpen + PortAccessAdvice(PortAccessFacts(path)));
    throw EDeviceError(65535, cannotOpen + SystemErrorText(error));
  }
  // TIOCEXCL alone does not stop root; the lock on the descriptor does.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd);
    throw EDeviceError(65535, cannotOpen + (error == EWOULDBLOCK ? busy : SystemErrorText(error)));
  }
  if (::ioctl(fd, TIOCEXCL) != 0) {
    const int error = errno;
    ::close(fd);
    throw EDeviceError(65535, cannotOpen + SystemErrorText(error));
  }
  fd_ = fd;
  try {
    ApplySettings();
  } catch (...) {
    ReleaseDevice(fd_);
    fd_ = -1;
    throw;
  }
  ::tcflush(fd_, TCIOFLUSH);
  if (flowControl_ == TFlowControl::fcNone) {
    int lines = TIOCM_DTR | TIOCM_RTS;
    (void)::ioctl(fd_, TIOCMBIC, &lines);  // fails on a pseudo-terminal; nothing to do then
  }
}

void TXComm::ApplySettings() {
  termios tio{};
  if (::tcgetattr(fd_, &tio) != 0) throw EDeviceError(3, ControlBlockRefused());
  ::cfmakeraw(&tio);
  tio.c_cflag |= CLOCAL | CREAD;
  tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
  switch (dataControl_.DataBits) {
    case TDataBits::db4:
    case TDataBits::db5: tio.c_cflag |= CS5; break;
    case TDataBits::db6: tio.c_cflag |= CS6; break;
    case TDataBits::db7: tio.c_cflag |= CS7; break;
    case TDataBits::db8: tio.c_cflag |= CS8; break;
  }
  switch (dataControl_.Parity) {
    case TParity::paNone: break;
    case TParity::paOdd: tio.c_cflag |= PARENB | PARODD; break;
    case TParity::paEven: tio.c_cflag |= PARENB; break;
    case TParity::paMark: tio.c_cflag |= PARENB | PARODD | CMSPAR; break;
    case TParity::paSpace: tio.c_cflag |= PARENB | CMSPAR; break;
  }
  if (dataControl_.StopBits != TStopBits::sb1) tio.c_cflag |= CSTOPB;  // 1.5 is not a POSIX setting
  tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  if (flowControl_ == TFlowControl::fcRtsCts) tio.c_cflag |= CRTSCTS;
  if (flowControl_ == TFlowControl::fcSoftware) tio.c_iflag |= IXON | IXOFF;
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  speed_t speed = SpeedConstant(baudValue_);
  if (speed == B0 || ::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0 ||
      ::tcsetattr(fd_, TCSANOW, &tio) != 0)
    throw EDeviceError(3, ControlBlockRefused());
}

void TXComm::Close() {
  RequireOpen();
  int fd = fd_;
  fd_ = -1;
  ReleaseDevice(fd);
}

int TXComm::InQueueCount() {
  RequireOpen();
  int count = 0;
  if (::ioctl(fd_, FIONREAD, &count) != 0) return 0;
  return count;
}

int TXComm::OutQueueCount() {
  RequireOpen();
  int count = 0;
  if (::ioctl(fd_, TIOCOUTQ, &count) != 0) return 0;
  return count;
}

int TXComm::Write(const char* data, int count, int timeoutMs) {
  RequireOpen();
  auto start = std::chrono::steady_clock::now();
  int written = 0;
  while (written < count) {
    ssize_t n = ::write(fd_, data + written, static_cast<size_t>(count - written));
    if (n > 0) {
      written += static_cast<int>(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) RaiseSystem(11, W("Ошибка записи в порт."), errno);
    std::int64_t left = timeoutMs - ElapsedMs(start);
    if (left < 0) break;
    pollfd p{fd_, POLLOUT, 0};
    int ready = ::poll(&p, 1, static_cast<int>(std::min<std::int64_t>(left, 50)) + 1);
    if (ready > 0 && (p.revents & (POLLERR | POLLNVAL)) != 0) RaiseSystem(11, W("Ошибка записи в порт."), EIO);
    if (ready > 0 && (p.revents & POLLHUP) != 0 && (p.revents & POLLOUT) == 0)
      RaiseSystem(11, W("Ошибка записи в порт."), EIO);
  }
  return written;
}

bool TXComm::WriteString(const std::string& text) {
  return Write(text.data(), static_cast<int>(text.size()), buffers_.OutputTimeout) == static_cast<int>(text.size());
}

int TXComm::Read(char* buffer, int count, int timeoutMs) {
  RequireOpen();
  auto start = std::chrono::steady_clock::now();
  int got = 0;
  while (got < count) {
    if (InQueueCount() > 0 || WaitReadable(0)) {
      ssize_t n = ::read(fd_, buffer + got, static_cast<size_t>(count - got));
      if (n > 0) {
        got += static_cast<int>(n);
        continue;
      }
      if (n < 0 && errno != EAGAIN && errno != EINTR) RaiseSystem(10, W("Ошибка чтения из порта."), errno);
    }
    if (ElapsedMs(start) > timeoutMs) break;
    WaitReadable(std::min(10.0, static_cast<double>(timeoutMs)));
  }
  return got;
}

bool TXComm::ReadChar(char& byte) { return Read(&byte, 1, buffers_.InputTimeout) == 1; }

std::string TXComm::ReadAvailable() {
  RequireOpen();
  std::string text;
  char chunk[512];
  for (;;) {
    // With VMIN and VTIME at 0 a read of nothing returns 0, so a vanished line (pty
    // closed, adapter pulled) is told apart by the hang-up that poll reports.
    pollfd p{fd_, POLLIN, 0};
    int ready = ::poll(&p, 1, 0);
    if (ready < 0 && errno != EINTR) RaiseSystem(10, W("Ошибка чтения из порта."), errno);
    if (ready <= 0) break;
    const bool hungUp = (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
    ssize_t n = ::read(fd_, chunk, sizeof chunk);
    if (n > 0) {
      text.append(chunk, static_cast<size_t>(n));
      continue;
    }
    if (!hungUp && (n == 0 || errno == EAGAIN || errno == EINTR)) break;
    if (!text.empty()) break;
    RaiseSystem(10, W("Ошибка чтения из порта."), n < 0 ? errno : EIO);
  }
  return text;
}

bool TXComm::WaitReadable(double realMs, int wakeFd) {
  RequireOpen();
  pollfd p[2] = {{fd_, POLLIN, 0}, {wakeFd, POLLIN, 0}};
  timespec timeout{};
  if (realMs > 0) {
    auto micros = static_cast<long>(realMs * 1000.0);
    timeout.tv_sec = micros / 1000000;
    timeout.tv_nsec = (micros % 1000000) * 1000;
  }
  int ready = ::ppoll(p, wakeFd >= 0 ? 2 : 1, &timeout, nullptr);
  if (ready <= 0) return false;
  return (p[0].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) != 0;
}

bool TXComm::SetRTS(bool raised) {
  RequireOpen();
  int line = TIOCM_RTS;
  return ::ioctl(fd_, raised ? TIOCMBIS : TIOCMBIC, &line) == 0;
}

}  // namespace zorvan
