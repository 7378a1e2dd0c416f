#include "link/Modem.h"

#include <fcntl.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>

#include "base/Cp1251.h"
#include "link/Clock.h"
#include "link/RequestCodes.h"

namespace zorvan {
namespace {

constexpr int kPollPeriodMs = 50;
constexpr int kQuickPollPeriodMs = 10;
// Bits per character on the cable: start, 8 data, 2 stop.
constexpr double kBitsPerCharacter = 11.0;
constexpr double kFlushQuietRealMs = 2.0;

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

void DropThrough(std::string& reply, const std::string& command) {
  auto pos = reply.find(command);
  if (pos != std::string::npos) reply = reply.substr(pos + command.size());
}

// Without a terminator the answer ends at a carriage return, but not at the echo's own: the
// panel echoes at once and answers later, and stopping between the two would leave the answer
// on the line for the next command.
bool AnswerLineArrived(const std::string& reply, const std::string& command) {
  std::size_t from = 0;
  auto echo = reply.find(command);
  if (echo != std::string::npos) {
    from = echo + command.size();
    if (from < reply.size() && reply[from] == '\r') ++from;
  }
  return reply.find('\r', from) != std::string::npos;
}

}  // namespace

TModem::TModem(std::string portName, TLinkHost& host) : TModem(std::move(portName), std::string(), 0, host) {}

TModem::TModem(std::string portName, const std::string& phone, int connectProtocol, TLinkHost& host)
    : portName_(std::move(portName)),
      dialNumber_(CleanDialNumber(phone)),
      connectProtocol_(connectProtocol),
      host_(host) {
  TCommBuffers buffers = port_.Buffers();
  buffers.InputTimeout = 4500;
  buffers.OutputTimeout = 4500;
  port_.SetBuffers(buffers);
  TCommDataControl control = port_.DataControl();
  // Decided on the cleaned number: a phone text with nothing to dial is the cable.
  control.StopBits = dialNumber_.empty() ? TStopBits::sb2 : TStopBits::sb1;
  port_.SetDataControl(control);
  wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

std::string TModem::CleanDialNumber(const std::string& phone) {
  std::string number;
  for (char c : phone)
    if ((c >= '0' && c <= '9') || c == 'W' || c == 'w' || c == '+' || c == ',' || c == ';') number += c;
  return number;
}

TModem::~TModem() {
  Terminate();
  WaitFor();
  if (port_.IsOpen()) ClosePort();
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

void TModem::Start() {
  if (!thread_.joinable() && !finished_.load()) thread_ = std::thread([this] { Execute(); });
}

void TModem::Wake() {
  if (wakeFd_ < 0) return;
  std::uint64_t one = 1;
  (void)!::write(wakeFd_, &one, sizeof one);
}

void TModem::SetRequest(std::uint8_t code) {
  requestCode_.store(code);
  Wake();
}

void TModem::Terminate() {
  terminate_.store(true);
  Wake();
}

void TModem::WaitFor() {
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

void TModem::Log(const std::string& text, bool window, bool time) { host_.Log(text, window, time); }

double TModem::QuietGapRealMs() const {
  // Three character times: an answer that arrives in pieces at the line rate is not cut.
  unsigned baud = port_.BaudValue() ? port_.BaudValue() : 19200;
  return 3.0 * kBitsPerCharacter * 1000.0 / baud;
}

bool TModem::WaitInput(double realMs) {
  bool ready = port_.WaitReadable(realMs, wakeFd_);
  std::uint64_t drained;
  (void)!::read(wakeFd_, &drained, sizeof drained);
  return ready;
}

std::string TModem::ReadPending() {
  std::string text = port_.ReadAvailable();
  if (!text.empty()) lastInputRealMs_ = RealNowMs();
  return text;
}

void TModem::ReadError(const EDeviceError& error) {
  if (portFailure_.empty()) portFailure_ = error.what();  // the first failure is the cause
  Log(W(" # !!! Ошибка при чтении данных из COM порта: ") + error.what(), true, true);
  Terminate();
}

void TModem::CollectUntilQuiet(std::string& reply, std::int64_t deadlineMs) {
  while (NowMs() <= deadlineMs) {
    if (!WaitInput(QuietGapRealMs())) return;
    std::string more = ReadPending();
    if (more.empty()) return;
    reply += more;
  }
}

bool TModem::ReadFor(std::string& reply, int timeoutMs, const std::function<bool(const std::string&)>& complete,
                     TReadStop stop, int pollPeriodMs) {
  reply.clear();
  const std::int64_t start = NowMs();
  try {
    for (;;) {
      std::int64_t elapsed = NowMs() - start;
      if (elapsed > timeoutMs) return false;
      if (stop == TReadStop::OnStopRequest && (StopRequested() || Cancelled())) return false;
      if (stop == TReadStop::OnTerminate && terminate_.load()) return false;
      reply += ReadPending();
      if (complete(reply)) {
        CollectUntilQuiet(reply, start + timeoutMs);
        return true;
      }
      double leftReal = RealMs(static_cast<double>(timeoutMs - elapsed)) + 0.1;
      WaitInput(std::min(RealMs(pollPeriodMs), leftReal));
    }
  } catch (const EDeviceError& error) {
    ReadError(error);
    return false;
  }
}

bool TModem::ReadUntil(std::string& reply, int timeoutMs, const std::string& terminator) {
  const std::string wanted = Cp1251Upper(terminator);
  return ReadFor(
      reply, timeoutMs, [&](const std::string& r) { return Cp1251Upper(r).find(wanted) != std::string::npos; },
      TReadStop::OnStopRequest, kPollPeriodMs);
}

bool TModem::ReadUntilAny(std::string& reply, const std::vector<std::string>& texts, int timeoutMs) {
  return ReadFor(
      reply, timeoutMs,
      [&](const std::string& r) {
        return std::any_of(texts.begin(), texts.end(), [&](const std::string& text) { return Contains(r, text); });
      },
      TReadStop::OnTerminate, kPollPeriodMs);
}

bool TModem::ReadUntilQuick(std::string& reply, int timeoutMs, const std::string& terminator) {
  const std::string wanted = Cp1251Upper(terminator);
  // A wake-up from the UI must not end this wait early; the loop simply goes on.
  return ReadFor(
      reply, timeoutMs, [&](const std::string& r) { return Cp1251Upper(r).find(wanted) != std::string::npos; },
      TReadStop::Never, kQuickPollPeriodMs);
}

void TModem::FlushInput() {
  if (!port_.IsOpen()) return;
  // Let the line be quiet for 2 ms before taking what is left; a reader that has just
  // waited for the quiet gap has already spent most of that time.
  double wait = std::clamp(lastInputRealMs_ + kFlushQuietRealMs - RealNowMs(), 0.0, kFlushQuietRealMs);
  if (wait > 0) {
    timespec pause{0, static_cast<long>(wait * 1e6)};
    ::nanosleep(&pause, nullptr);
  }
  std::string text;
  try {
    while (!StopRequested()) {
      std::string more = ReadPending();
      if (more.empty()) break;
      text += more;
    }
  } catch (const EDeviceError& error) {
    ReadError(error);
    return;
  }
  if (!text.empty()) {
    Log("<<<<- " + text, false, false);
    int code = 0;
    CheckReply(false, text, 3, code);
  }
}

void TModem::WriteRaw(const std::string& text) {
  try {
    if (!port_.WriteString(text)) throw EDeviceError(11, W("Ошибка записи в порт: порт не принял данные за отведённое время."));
  } catch (const EDeviceError& error) {
    if (portFailure_.empty()) portFailure_ = error.what();  // the first failure is the cause
    throw;
  }
}

void TModem::SetRTS() {
  Log("SetRTS", true, true);
  try {
    (void)port_.SetRTS(true);  // no RTS line on a pseudo-terminal
  } catch (const EDeviceError&) {
  }
}

void TModem::ClrRTS() {
  Log("ClrRTS", true, true);
  try {
    (void)port_.SetRTS(false);
  } catch (const EDeviceError&) {
  }
}

bool TModem::SendCommand(const std::string& command, std::string& reply, bool echo, bool raw, bool requireTerminator,
                         const std::string& terminator, int timeoutMs, int attempts) {
  reply.clear();
  if (!port_.IsOpen()) return true;
  // A cancelled operation sends nothing more; the command counts as unanswered.
  if (Cancelled()) return true;
  if (echo) Log("-> com: " + command, true, true);
  bool result = false;
  try {
    for (int attempt = 1; attempt <= attempts && !StopRequested() && !Cancelled(); ++attempt) {
      FlushInput();
      result = true;
      if (StopRequested() || Cancelled()) break;
      reply.clear();
      if (attempts != 1 && echo) Log(W(" # Попытка № ") + std::to_string(attempt), true, true);
      WriteRaw(raw ? command : command + "\r");
      bool found;
      if (!terminator.empty()) {
        found = ReadUntil(reply, timeoutMs, terminator);
      } else {
        found = ReadFor(
            reply, timeoutMs, [&](const std::string& r) { return AnswerLineArrived(r, command); },
            TReadStop::OnStopRequest, kPollPeriodMs);
        if (found && command != "AT") DropThrough(reply, command);
      }
      int code = 0;
      if (!CheckReply(false, reply, 3, code)) {
        result = false;
        break;
      }
      if (echo) Log("<- com:  " + reply, true, true);
      DropThrough(reply, command);
      if (found) {
        result = false;
        break;
      }
      result = reply.empty() || requireTerminator;
    }
  } catch (const EDeviceError& error) {
    if (portFailure_.empty()) portFailure_ = error.what();  // the first failure is the cause
    Log(W(" # !!! Ошибка при отправке команды COM порту: ") + error.what(), true, true);
    Terminate();
    return true;
  }
  return result;
}

bool TModem::CheckReply(bool timedOut, const std::string& reply, int mode, int& code) {
  code = 0;
  switch (mode) {
    case 0:
      if (timedOut) {
        Log(W("Com - порт не ответил!"), true, true);
        code = 1;
        return false;
      }
      if (Contains(reply, "ERROR") || Contains(reply, "NO CARRIER") || !Contains(reply, "OK")) {
        code = 1;
        return false;
      }
      return true;
    case 1:
      if (timedOut) {
        Log(W("Com - порт не ответил!"), true, true);
        Terminate();
        code = 1;
        return false;
      }
      if (!Contains(reply, "ERROR") && !Contains(reply, "NO CARRIER") && Contains(reply, "CONNECT")) return true;
      Log(W("Не могу установить цифровое соединение!"), true, true);
      code = 1;
      return false;
    case 3:
      if (Contains(reply, "NO CARRIER") || Contains(reply, "DISCONNECT")) {
        Log(W("Цифровое соединение разорвано!"), true, true);
        Terminate();
        code = 1;
        return false;
      }
      if (Contains(reply, "ERROR")) {
        if (modemLink_) Terminate();
        code = 2;
        return false;
      }
      if (Contains(reply, "BUSY")) {
        Log(W("Абонент занят!"), true, true);
        Terminate();
        code = 1;
        return false;
      }
      return true;
    default:
      return true;
  }
}

void TModem::CollectAndLog(int ms) {
  std::string text;
  const std::int64_t start = NowMs();
  try {
    for (;;) {
      std::int64_t elapsed = NowMs() - start;
      if (elapsed >= ms || StopRequested()) break;
      text += ReadPending();
      WaitInput(std::min(RealMs(kPollPeriodMs), RealMs(static_cast<double>(ms - elapsed)) + 0.1));
    }
    text += ReadPending();
  } catch (const EDeviceError& error) {
    ReadError(error);
  }
  if (!text.empty()) Log(text, true, false);
}

bool TModem::InitCommand(const std::string& command) {
  std::string reply;
  SendCommand(command, reply, true, false, false, "", 4500, 3);
  bool timedOut = false;
  if (!Contains(reply, "OK")) timedOut = !ReadUntil(reply, 4500, "\r");
  int code = 0;
  CheckReply(timedOut, reply, 0, code);
  return code != 1;
}

bool TModem::DialModem(int connectProtocol) {
  // Over the programming cable there is no call to place.
  if (dialNumber_.empty()) return true;
  const std::string status = W("Инициализация модема: ");
  const std::string failed = W("ОШИБКА инициализации модема: ");
  ClrRTS();
  CollectAndLog(500);
  SetRTS();
  std::string reply;
  ReadUntilAny(reply, {"+CPIN: READY", "EEERROR"}, 7500);
  if (!reply.empty()) Log(reply, true, false);

  bool registered = false;
  while (!registered && !terminate_.load()) {
    registered = !SendCommand("AT+CREG?", reply, true, false, true, "+CREG: 0,1", 500, 5);
    // Roaming counts as registered too, however the modem spaces its answer.
    if (!registered)
      for (const char* answer : {"+CREG: 0, 1", "+CREG: 0, 5", "+CREG: 0,5", "+CREG:0, 5", "+CREG:0,5"})
        if (Contains(reply, answer)) registered = true;
    CollectAndLog(500);
    CollectAndLog(1500);
  }

  const std::string bearer = "AT+CBST=" + std::to_string(connectProtocol == 1 ? 71 : 7) + ",0,1";
  if (!terminate_.load()) {
    host_.ConnectStatus(status + "ATZ");
    if (!InitCommand("ATZ")) host_.ConnectStatus(failed + "ATZ");
    host_.ConnectStatus(status + bearer);
    if (!InitCommand(bearer)) host_.ConnectStatus(failed + bearer);
  }
  if (!terminate_.load()) {
    host_.ConnectStatus(status + "AT");
    if (!InitCommand("AT")) host_.ConnectStatus(failed + "AT");
  }
  if (!terminate_.load()) {
    host_.ConnectStatus(W("Набор номера: ") + dialNumber_);
    bool noAnswer = SendCommand("ATD " + dialNumber_, reply, true, false, false, "CONNECT", 40000, 1);
    int code = 0;
    if (!CheckReply(noAnswer, reply, 1, code)) {
      host_.ConnectStatus(W("Не могу дозвониться до: ") + dialNumber_);
      Terminate();
    }
  }
  if (!terminate_.load()) {
    Log(W(" # Цифровое соединение успешно установленно"), true, true);
    host_.ConnectStatus(W("Цифровое соединение успешно установленно"));
    modemLink_.store(true);
  }
  FlushInput();
  if (modemLink_.load()) return true;
  Terminate();
  return false;
}

void TModem::HangUp() {
  SleepMs(1000);
  // The exchange keeps working while the worker is ending.
  hangUpPermission_.store(true);
  std::string reply;
  try {
    WriteRaw("+++");
    Log("com<-+++", true, true);
    SleepMs(100);
  } catch (const EDeviceError& error) {
    Log(W(" # !!! Ошибка при отправке команды COM порту: ") + error.what(), true, true);
  }
  SendCommand("ATH", reply, true, false, false, "OK", 4500, 1);
  SendCommand("ATZ", reply, true, false, false, "OK", 4500, 1);
  modemLink_.store(false);
  ClrRTS();
  CollectAndLog(500);
  hangUpPermission_.store(false);
}

void TModem::WaitForActivity(int timeoutMs) {
  if (!port_.IsOpen() || StopRequested()) return;
  try {
    WaitInput(RealMs(timeoutMs));
  } catch (const EDeviceError&) {
    // The next read reports it.
  }
}

void TModem::OpenPort() {
  ClosePort();
  host_.ConnectStatus(W("Открываем COM порт: ") + portName_);
  try {
    port_.SetBaudRate(TBaudRate::br19200);
    TCommDataControl control = port_.DataControl();
    control.Parity = TParity::paNone;
    control.DataBits = TDataBits::db8;
    port_.SetDataControl(control);
    port_.SetDeviceName(portName_);
    port_.SetFlowControl(TFlowControl::fcNone);
    port_.Open();
    lastInputRealMs_ = -1e9;
    Log(W(" # Успешно открыли COM порт: ") + portName_, true, true);
    host_.ConnectStatus(W("Успешно открыли COM порт: ") + portName_);
  } catch (const EDeviceError& error) {
    if (portFailure_.empty()) portFailure_ = error.what();  // the first failure is the cause
    Log(W(" # !!! Ошибка открытия COM порта: ") + error.what(), true, true);
    // The reason (a busy port, a group the user is not in and its fix) is what the user acts on.
    host_.ConnectStatus(W("Ошибка при открытии COM порта: ") + portName_ + "\n" + error.what());
    Terminate();
  }
}

void TModem::ClosePort() {
  if (!port_.IsOpen()) return;
  try {
    port_.Close();
    Log(W(" # Успешно закрыли COM порт: ") + portName_, true, true);
  } catch (const EDeviceError& error) {
    Log(W(" # !!! Ошибка закрытия COM порта: ") + error.what(), true, true);
  }
}

void TModem::Execute() {
  Log(W(" # Поток начал работу"), true, true);
  requestCode_.store(request::kConnect);
  while (!port_.IsOpen() && !terminate_.load()) OpenPort();
  bool broken = false;
  try {
    while (!terminate_.load()) {
      try {
        host_.Run(requestCode_.load());
      } catch (const EDeviceError& error) {
        Log(error.what(), true, true);
        // A port that failed stays failed: repeating the request would only spin.
        if (error.Code() == 1 || error.Code() == 10 || error.Code() == 11) {
          if (portFailure_.empty()) portFailure_ = error.what();
          Terminate();
        }
      } catch (const std::exception& error) {
        Log(error.what(), true, true);
      }
    }
  } catch (...) {
    broken = true;
  }
  if (port_.IsOpen()) {
    try {
      hangUpPermission_.store(false);
      WriteRaw("+rb\r");
      Log("com<-+rb", true, true);
      std::string reply;
      ReadUntilQuick(reply, 500, "OK");  // the restart command's answer, or 500 ms
    } catch (const EDeviceError&) {
      Log(W("Не могу перезагрузить панель"), true, true);
    }
  }
  if (broken) host_.WorkerFailed(W("Ошибка"));
  if (modemLink_.load() && port_.IsOpen()) HangUp();
  ClosePort();
  host_.ConnectionEnded();
  Log(W(" # Поток завершил работу"), true, true);
  finished_.store(true);
  if (onFinished_) onFinished_();
}

}  // namespace zorvan
