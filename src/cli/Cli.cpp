#include "cli/Cli.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>

#include "app/Cp1251.h"
#include "cli/CliPages.h"
#include "cli/CliUi.h"
#include "link/Modem.h"
#include "session/DevZorvan.h"
#include "session/OutArray.h"
#include "sim/VirtualPanel.h"

namespace zorvan {
namespace {

constexpr int kOk = 0;
constexpr int kRefused = 1;
constexpr int kUsage = 2;
constexpr int kPortFailed = 3;

const char* const kUsageText =
    "usage: zorvan-cli [--port PATH] [--modem v32|v110 --phone NUMBER] [--master CODE] [--log FILE] [-v]\n"
    "                  COMMAND ...\n"
    "\n"
    "  --port PATH    serial device of the panel; without it a built-in virtual panel is used\n"
    "                 (behind a built-in virtual GSM modem when a modem call is asked for)\n"
    "  --modem TYPE   reach the panel by a GSM modem data call, v32 or v110, on the port\n"
    "  --phone NUMBER the panel's phone number; only its digits, W, +, comma and semicolon are dialled;\n"
    "                 with nothing to dial the port is used as the programming cable\n"
    "  --master CODE  the panel's 4-digit master code (default 5281)\n"
    "  --log FILE     append every log line, time stamps included, to FILE; like log.txt the\n"
    "                 file is written in Windows-1251\n"
    "  -v             print the log lines on standard error as well\n"
    "\n"
    "commands:\n"
    "  info           connect and print the panel's version, family, variant, build and type flags\n"
    "  send LINE...   send each line as the terminal window does and print each reply\n"
    "  hold SECONDS   connect and keep the connection for SECONDS\n"
    "  read PAGE|all --save FILE   read a page (formCommon ...) or all pages into a settings file\n"
    "  write PAGE|all --load FILE  write a page or all pages from a settings file\n"
    "\n"
    "exit status: 0 success, 1 the panel refused or did not answer, 2 usage error,\n"
    "3 the port could not be opened or failed\n";

int UsageError(const std::string& why) {
  std::fprintf(stderr, "zorvan-cli: %s\n%s", why.c_str(), kUsageText);
  return kUsage;
}

void Say(const std::string& cp1251) { std::fprintf(stderr, "%s\n", Cp1251ToUtf8(cp1251).c_str()); }

struct TOptions {
  std::string port;
  std::string master = "5281";
  std::string logPath;
  std::string modem;  // empty, "v32" or "v110"
  std::string phone;
  bool verbose = false;
  std::string command;
  std::vector<std::string> arguments;
};

class TSession {
 public:
  TSession(const std::string& port, const std::string& phone, int protocol, const std::string& master,
           std::FILE* log, bool verbose)
      : device_(out_), ui_(out_) {
    ui_.SetConnectProtocol(protocol);
    ui_.SetField(controls::kMasterKey, Utf8ToCp1251(master));
    ui_.SetLogFile(log);
    ui_.SetVerbose(verbose);
    device_.SetUi(&ui_);
    modem_ = std::make_unique<TModem>(port, phone, protocol, out_, device_);
    modem_->SetOnFinished([this] { ui_.WakeUp(); });
    device_.SetWorker(modem_.get());
  }

  ~TSession() { Disconnect(); }

  // Connects; on failure prints the reason and gives the exit status.
  std::optional<int> Connect() {
    modem_->Start();
    while (!ui_.Connected() && !modem_->Finished()) ui_.Pump(20);
    if (ui_.Connected() && !modem_->Finished()) return std::nullopt;
    Disconnect();
    return Failure(W("Не удалось подключиться к панели"));
  }

  // Ends the connection as the main window's disconnect command does.
  void Disconnect() {
    if (!modem_) return;
    device_.Abort();
    modem_->Terminate();
    while (!modem_->Finished()) ui_.Pump(20);
    modem_->WaitFor();
    ui_.Drain();
  }

  // Whether the connection is still up (the worker has not ended, no disconnect was asked).
  bool Alive() {
    ui_.Drain();
    return !modem_->Finished() && !ui_.DisconnectClicked();
  }

  int Failure(const std::string& fallback) {
    Disconnect();
    if (!modem_->PortFailure().empty()) {
      const std::string& status = ui_.LastStatus();
      if (status.find(W("Ошибка при открытии")) != std::string::npos)
        Say(status + " (" + modem_->PortFailure() + ")");
      else
        Say(W("Ошибка COM порта ") + modem_->PortName() + ": " + modem_->PortFailure());
      return kPortFailed;
    }
    const std::string& status = ui_.LastStatus();
    bool useful = !status.empty() && status.find(W("Успешно")) == std::string::npos &&
                  status.find(W("Открываем")) == std::string::npos;
    Say(useful ? status : fallback);
    return kRefused;
  }

  TCliUi& Ui() { return ui_; }
  TModem& Modem() { return *modem_; }
  TDevZorvan& Device() { return device_; }

 private:
  TOutArray out_;
  TDevZorvan device_;
  TCliUi ui_;
  std::unique_ptr<TModem> modem_;
};

int RunInfo(TSession& session) {
  TPanelInfo panel = *session.Ui().Panel();
  session.Disconnect();
  std::printf("version: %s\nfamily: %d\nvariant: %d\nbuild: %d\ntypepan-a: %d\ntypepan-b: %d\n",
              Cp1251ToUtf8(panel.version).c_str(), panel.family, panel.variant, panel.build, panel.typepanA,
              panel.typepanB);
  return kOk;
}

int RunSend(TSession& session, const std::vector<std::string>& lines) {
  for (const std::string& utf8Line : lines) {
    std::string line = Utf8ToCp1251(utf8Line);
    session.Ui().SetField(controls::kTerminalLine, line);
    session.Modem().SetRequest(23);
    while (session.Modem().CurrentRequest() == 23 && session.Alive()) session.Ui().Pump(0.2);
    // A line lost during the command (a dropped carrier) ends the worker after the reply came.
    if (!session.Alive() || session.Modem().IsTerminated()) return session.Failure(W("Связь с панелью потеряна!"));
    const std::string& reply = session.Device().TerminalReply();
    if (!session.Device().TerminalAnswered()) {
      session.Disconnect();
      if (!session.Modem().PortFailure().empty()) return session.Failure({});
      Say(W("Панель не ответила на команду ") + line + (reply.empty() ? "" : ": " + reply));
      return kRefused;
    }
    std::printf("%s\n", Cp1251ToUtf8(reply).c_str());
    std::fflush(stdout);
  }
  session.Disconnect();
  return kOk;
}

int RunHold(TSession& session, double seconds) {
  auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < until) {
    if (!session.Alive()) return session.Failure(W("Связь с панелью потеряна!"));
    session.Ui().Pump(50);
  }
  session.Disconnect();
  return kOk;
}

bool ParseSeconds(const std::string& text, double& seconds) {
  try {
    std::size_t used = 0;
    seconds = std::stod(text, &used);
    return used == text.size() && seconds >= 0 && seconds < 1e7;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

int RunCli(const std::vector<std::string>& args) {
  TOptions options;
  std::size_t i = 0;
  for (; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsageText, stdout);
      return kOk;
    }
    if (arg == "-v") {
      options.verbose = true;
    } else if (arg == "--port" || arg == "--master" || arg == "--log" || arg == "--modem" || arg == "--phone") {
      if (i + 1 >= args.size()) return UsageError(arg + " needs a value");
      std::string value = args[++i];
      if (arg == "--port") options.port = value;
      else if (arg == "--modem") options.modem = value;
      else if (arg == "--phone") options.phone = value;
      else if (arg == "--master") options.master = value;
      else options.logPath = value;
    } else if (!arg.empty() && arg[0] == '-') {
      return UsageError("unknown option " + arg);
    } else {
      break;
    }
  }
  if (i >= args.size()) return UsageError("no command given");
  options.command = args[i];
  options.arguments.assign(args.begin() + static_cast<long>(i) + 1, args.end());

  double seconds = 0;
  if (options.command == "info") {
    if (!options.arguments.empty()) return UsageError("info takes no arguments");
  } else if (options.command == "send") {
    if (options.arguments.empty()) return UsageError("send needs at least one LINE");
  } else if (options.command == "hold") {
    if (options.arguments.size() != 1 || !ParseSeconds(options.arguments[0], seconds))
      return UsageError("hold needs one number of SECONDS");
  } else if (options.command == "read" || options.command == "write") {
    const char* flag = options.command == "read" ? "--save" : "--load";
    if (options.arguments.size() != 3 || options.arguments[1] != flag || !IsPageArgument(options.arguments[0]))
      return UsageError(options.command + " needs PAGE|all " + flag + " FILE");
  } else {
    return UsageError("unknown command " + options.command);
  }
  if (options.master.empty() || options.master.size() > 4 ||
      options.master.find_first_not_of("0123456789") != std::string::npos)
    return UsageError("the master code is up to four digits");

  if (!options.modem.empty() && options.modem != "v32" && options.modem != "v110")
    return UsageError("--modem is v32 or v110");
  if (!options.phone.empty() && options.modem.empty()) return UsageError("--phone needs --modem");
  const int protocol = options.modem == "v110" ? 1 : 0;
  const std::string phone = options.modem.empty() ? std::string() : options.phone;
  const bool modemCall = !TModem::CleanDialNumber(phone).empty();

  std::FILE* log = nullptr;
  if (!options.logPath.empty()) {
    log = std::fopen(options.logPath.c_str(), "ab");
    if (!log) {
      std::fprintf(stderr, "zorvan-cli: cannot open the log file %s\n", options.logPath.c_str());
      return kUsage;
    }
  }
  std::unique_ptr<sim::TVirtualPanel> builtIn;
  if (options.port.empty()) {
    sim::TModemOptions modem;
    modem.enabled = modemCall;
    builtIn = std::make_unique<sim::TVirtualPanel>(sim::TPanelOptions{}, modem);
    try {
      options.port = builtIn->Start();
    } catch (const std::exception& error) {
      std::fprintf(stderr, "zorvan-cli: the virtual panel cannot start: %s\n", error.what());
      if (log) std::fclose(log);
      return kPortFailed;
    }
  }
  int status;
  if (options.command == "read" || options.command == "write") {
    TPagesRequest request;
    request.port = options.port;
    request.master = options.master;
    request.write = options.command == "write";
    request.page = options.arguments[0];
    request.file = options.arguments[2];
    request.log = log;
    request.verbose = options.verbose;
    request.phone = phone;
    request.protocol = protocol;
    status = RunPages(request);
  } else {
    TSession session(options.port, phone, protocol, options.master, log, options.verbose);
    if (auto failed = session.Connect()) {
      status = *failed;
    } else if (options.command == "info") {
      status = RunInfo(session);
    } else if (options.command == "send") {
      status = RunSend(session, options.arguments);
    } else {
      status = RunHold(session, seconds);
    }
  }
  if (builtIn) builtIn->Stop();
  if (log) std::fclose(log);
  return status;
}

}  // namespace zorvan
