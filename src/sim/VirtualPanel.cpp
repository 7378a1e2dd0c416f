#include "sim/VirtualPanel.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "link/Clock.h"
#include "pages/PanelCatalogue.h"

namespace zorvan::sim {
namespace {

constexpr std::int64_t kLockOutMs = 60000;

void SleepUntilReal(double atMs) {
  double wait = atMs - RealNowMs();
  if (wait <= 0) return;
  timespec pause{static_cast<time_t>(wait / 1000), static_cast<long>(std::fmod(wait, 1000.0) * 1e6)};
  ::nanosleep(&pause, nullptr);
}

}  // namespace

TVirtualPanel::TVirtualPanel(TPanelOptions options, TModemOptions modem)
    : options_(std::move(options)), modem_(modem), common_(std::make_shared<TCommonState>(options_.masterCode)) {
  bootLoader_ = std::make_unique<TBootLoader>(TBootLoaderOptions{}, options_.version);
  common_->SetLevels(options_.gsmLevels);
  AddCommonCommands(store_, common_);
  for (const auto& [page, commands] : PagePanelCommands()) commands(store_);
}

TVirtualPanel::~TVirtualPanel() { Stop(); }

std::string TVirtualPanel::Start() {
  if (thread_.joinable()) return devicePath_;
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
    throw std::runtime_error(std::string("cannot create a pseudo-terminal: ") + std::strerror(errno));
  char name[128];
  if (::ptsname_r(master_, name, sizeof name) != 0) throw std::runtime_error("cannot name the pseudo-terminal");
  devicePath_ = name;
  ownSlave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (ownSlave_ >= 0) {
    termios tio{};
    if (::tcgetattr(ownSlave_, &tio) == 0) {
      ::cfmakeraw(&tio);
      ::tcsetattr(ownSlave_, TCSANOW, &tio);
    }
  }
  ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
  wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  stop_.store(false);
  thread_ = std::thread([this] { Serve(); });
  return devicePath_;
}

void TVirtualPanel::Stop() {
  stop_.store(true);
  Wake();
  if (thread_.joinable()) thread_.join();
  CloseLineNow();
  if (wakeFd_ >= 0) ::close(wakeFd_);
  wakeFd_ = -1;
}

void TVirtualPanel::Wake() {
  if (wakeFd_ < 0) return;
  std::uint64_t one = 1;
  (void)!::write(wakeFd_, &one, sizeof one);
}

void TVirtualPanel::AddFault(TFault fault) {
  std::lock_guard lock(mutex_);
  faults_.push_back(std::move(fault));
}

void TVirtualPanel::ClearFaults() {
  std::lock_guard lock(mutex_);
  faults_.clear();
}

void TVirtualPanel::SendUnasked(const std::string& bytes) {
  {
    std::lock_guard lock(mutex_);
    unasked_ += bytes;
  }
  Wake();
}

void TVirtualPanel::CloseLine() {
  closeRequested_.store(true);
  Wake();
}

std::vector<std::int64_t> TVirtualPanel::ReceivedTimes() const {
  std::lock_guard lock(mutex_);
  return receivedAt_;
}

std::vector<std::string> TVirtualPanel::Dialled() const {
  std::lock_guard lock(mutex_);
  return dialled_;
}

std::vector<std::string> TVirtualPanel::ReceivedLines() const {
  std::lock_guard lock(mutex_);
  return received_;
}

void TVirtualPanel::CloseLineNow() {
  if (master_ >= 0) ::close(master_);
  if (ownSlave_ >= 0) ::close(ownSlave_);
  master_ = -1;
  ownSlave_ = -1;
}

void TVirtualPanel::Send(const std::string& bytes) {
  if (master_ < 0 || bytes.empty()) return;
  const double byteMs = options_.lineRate > 0 ? 1000.0 / options_.lineRate : 0;
  double at = std::max(lineFreeAtMs_, RealNowMs());
  for (std::size_t i = 0; i < bytes.size();) {
    // Each byte leaves when the line has carried the one before it.
    std::size_t chunk = byteMs > 0 ? 1 : bytes.size() - i;
    at += byteMs * static_cast<double>(chunk);
    SleepUntilReal(at);
    ssize_t n = ::write(master_, bytes.data() + i, chunk);
    if (n < 0) {
      if (errno != EAGAIN && errno != EINTR) return;
      pollfd p{master_, POLLOUT, 0};
      ::poll(&p, 1, 10);
      continue;
    }
    bytesOut_ += static_cast<std::uint64_t>(n);
    i += static_cast<std::size_t>(n);
  }
  lineFreeAtMs_ = at;
}

void TVirtualPanel::Serve() {
  std::string line;
  const double byteMs = options_.lineRate > 0 ? 1000.0 / options_.lineRate : 0;
  while (!stop_.load()) {
    if (closeRequested_.exchange(false)) CloseLineNow();
    if (master_ < 0) {
      pollfd p{wakeFd_, POLLIN, 0};
      ::poll(&p, 1, 100);
      std::uint64_t drained;
      (void)!::read(wakeFd_, &drained, sizeof drained);
      continue;
    }
    std::string unasked;
    {
      std::lock_guard lock(mutex_);
      unasked.swap(unasked_);
    }
    Send(unasked);
    // A modem announces its SIM after power-up; there is no RTS on a pty to wait for, so
    // the announcement repeats until the program talks to the modem.
    if (modem_.enabled && !dataMode_.load() && !modemAwake_ && NowMs() >= nextCpinMs_) {
      Send("\r\n+CPIN: READY\r\n");
      nextCpinMs_ = NowMs() + 1000;
    }
    pollfd p[2] = {{master_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    int ready = ::poll(p, 2, modem_.enabled ? static_cast<int>(std::max(1.0, RealMs(100))) : 200);
    if (p[1].revents & POLLIN) {
      std::uint64_t drained;
      (void)!::read(wakeFd_, &drained, sizeof drained);
    }
    if (ready <= 0 || (p[0].revents & POLLIN) == 0) {
      // POLLHUP alone: no program has the line open besides us; wait for one.
      if (p[0].revents & POLLHUP) ::poll(nullptr, 0, 20);
      continue;
    }
    char chunk[256];
    ssize_t n = ::read(master_, chunk, sizeof chunk);
    if (n <= 0) continue;
    bytesIn_ += static_cast<std::uint64_t>(n);
    double arrived = std::max(inputFreeAtMs_, RealNowMs());
    for (ssize_t i = 0; i < n && master_ >= 0; ++i) {
      arrived += byteMs;
      char c = chunk[i];
      if (c == '\n') continue;
      if (c != '\r') {
        if (line.size() < 4096) line += c;
        if (modem_.enabled && dataMode_.load() && line == "+++") {
          SleepUntilReal(arrived);
          line.clear();
          Escape();
        }
        continue;
      }
      // The panel acts on a line once its carriage return has crossed the line.
      SleepUntilReal(arrived);
      std::string complete;
      complete.swap(line);
      if (complete.empty()) continue;
      if (modem_.enabled && !dataMode_.load()) HandleModemLine(complete);
      else HandleLine(complete);
    }
    inputFreeAtMs_ = arrived;
  }
}

void TVirtualPanel::Escape() {
  dataMode_.store(false);
  Send("\r\nOK\r\n");
}

void TVirtualPanel::HandleModemLine(const std::string& line) {
  // Command mode: everything is echoed; only what follows "AT" is a command.
  std::string upper = line;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  auto at = upper.find("AT");
  Send(line + "\r");
  if (at == std::string::npos) return;
  const std::string command = upper.substr(at);
  {
    std::lock_guard lock(mutex_);
    received_.push_back(line.substr(at));
    receivedAt_.push_back(NowMs());
  }
  const TModemOptions& modem = modem_;
  modemAwake_ = true;
  if (command == "AT" || command == "ATE1" || command == "ATH" || command.rfind("AT+CBST=", 0) == 0) {
    if (command == "ATH") callEnded_ = true;
    Send("\r\nOK\r\n");
  } else if (command == "ATZ") {
    if (callEnded_) {  // after a call the modem starts over, SIM announcement included
      callEnded_ = false;
      modemAwake_ = false;
      nextCpinMs_ = NowMs() + 1000;
    }
    Send("\r\nOK\r\n");
  } else if (command == "AT+CREG?") {
    const char* state = modem.registration == TRegistration::Home      ? "0,1"
                        : modem.registration == TRegistration::Roaming ? "0,5"
                                                                       : "0,2";
    Send(std::string("\r\n+CREG: ") + state + "\r\n\r\nOK\r\n");
  } else if (command.rfind("ATD", 0) == 0) {
    std::string number = line.substr(at + 3);
    number.erase(0, number.find_first_not_of(' '));
    {
      std::lock_guard lock(mutex_);
      dialled_.push_back(number);
    }
    SleepMs(modem.connectDelayMs);
    if (modem.registration == TRegistration::Never) {
      Send("\r\nNO CARRIER\r\n");
    } else if (modem.busy) {
      Send("\r\nBUSY\r\n");
    } else {
      carriedCommands_ = 0;
      dataMode_.store(true);
      Send("\r\nCONNECT 9600\r\n");
    }
  } else {
    Send("\r\nERROR\r\n");
  }
}

void TVirtualPanel::HandleLine(const std::string& line) {
  if (modem_.enabled && modem_.carrierCommands >= 0 &&
      carriedCommands_++ >= modem_.carrierCommands) {
    {
      std::lock_guard lock(mutex_);
      received_.push_back(line);
      receivedAt_.push_back(NowMs());
    }
    dataMode_.store(false);
    Send("\r\nNO CARRIER\r\n");
    return;
  }
  if (dropCallPending_) {
    // The call went down after the last answer: this line never reaches the panel.
    dropCallPending_ = false;
    dataMode_.store(false);
    Send("\r\nNO CARRIER\r\n");
    return;
  }
  std::optional<TFault> fault;
  {
    std::lock_guard lock(mutex_);
    received_.push_back(line);
    receivedAt_.push_back(NowMs());
    if (bootLoader_->Programming()) return;  // rewriting its flash: deaf until the restart
    for (auto it = faults_.begin(); it != faults_.end(); ++it) {
      if (!it->command.empty() && it->command != line) continue;
      fault = *it;
      if (it->count > 0 && --it->count == 0) faults_.erase(it);
      break;
    }
  }
  const std::string echo = line + "\r";
  if (fault) {
    switch (fault->kind) {
      case TFaultKind::Silent: return;
      case TFaultKind::Err: Send(echo + "ERR\r"); return;
      case TFaultKind::Ign: Send(echo + "IGN\r"); return;
      case TFaultKind::Garbage: Send(echo + std::string("\x8f\x01\xfe#@\x7f\x10", 7)); return;
      case TFaultKind::Noise: break;  // the answer follows below, after the noise
      case TFaultKind::NoCarrier: Send("\r\nNO CARRIER\r\n"); return;
      case TFaultKind::CloseLine: CloseLineNow(); return;
    }
  }
  if (auto loader = bootLoader_->Handle(line)) {
    Send(echo);
    SleepMs(loader->workMs);
    if (loader->hangUp && modem_.enabled) {
      // One write, so that the reader gets the answer and the modem's word together.
      dataMode_.store(false);
      Send(loader->text + "\r\nNO CARRIER\r\n");
      return;
    }
    Send(loader->text);
    dropCallPending_ = loader->dropCall;
    return;
  }
  TAnswer answer;
  if (lockedUntilMs_ > NowMs()) {
    answer.kind = TAnswer::Kind::Ign;  // locked out after three wrong master codes
  } else {
    TCommand command;
    command.line = line;
    std::string body = line.size() > 1 ? line.substr(1) : "";
    auto equals = body.find('=');
    command.name = body.substr(0, equals);
    command.write = equals != std::string::npos;
    if (command.write) command.argument = body.substr(equals + 1);
    if (line[0] != '+') {
      answer = TAnswer::Err();
    } else if (auto stored = store_.Answer(line)) {
      answer = *stored;
    } else {
      answer = Builtin(command);
    }
  }
  if (answer.kind == TAnswer::Kind::Silent) return;
  Send(echo);
  // Four bytes a noisy line might bring, none of them a line end.
  if (fault && fault->kind == TFaultKind::Noise) Send(std::string("\xb5\xfc\x87#", 4));
  if (options_.thinkMs > 0) SleepUntilReal(std::max(lineFreeAtMs_, RealNowMs()) + options_.thinkMs);
  switch (answer.kind) {
    case TAnswer::Kind::Ok: Send((answer.value.empty() ? "" : answer.value + "\r") + "OK\r"); break;
    case TAnswer::Kind::Err: Send("ERR\r"); break;
    case TAnswer::Kind::Ign: Send("IGN\r"); break;
    case TAnswer::Kind::Silent: break;
  }
}

TAnswer TVirtualPanel::Builtin(const TCommand& command) {
  const std::string& name = command.name;
  if (name == "id" && command.write) {
    if (command.argument == common_->MasterCode()) {
      wrongCodes_ = 0;
      authorised_.store(true);
      return TAnswer::Ok();
    }
    // A restart does not clear the count: three wrong codes in a row lock the panel.
    if (++wrongCodes_ >= 3) {
      wrongCodes_ = 0;
      lockedUntilMs_ = NowMs() + kLockOutMs;
      return {TAnswer::Kind::Ign, {}};
    }
    return TAnswer::Err();
  }
  if (command.write) return TAnswer::Err();
  if (name == "v") return TAnswer::Ok(bootLoader_->Version());
  if (name == "typepan") return TAnswer::Ok(options_.typepan);
  if (name == "sp") {
    stopped_.store(true);
    return TAnswer::Ok();
  }
  if (name == "qt") {
    stopped_.store(false);
    return TAnswer::Ok();
  }
  if (name == "rb") {
    stopped_.store(false);
    authorised_.store(false);
    return TAnswer::Ok();
  }
  if (name == "t" || name == "AC") return TAnswer::Ok();
  return TAnswer::Err();
}

}  // namespace zorvan::sim
