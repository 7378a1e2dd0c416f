#include "cli/Cli.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

#include "base/Cp1251.h"
#include "cli/CliDiff.h"
#include "cli/CliFlash.h"
#include "base/FileAccess.h"
#include "base/IniFile.h"
#include "cli/CliPages.h"
#include "link/Modem.h"
#include "sim/VirtualPanel.h"

namespace zorvan {
namespace {

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
    "                              (its other sections are kept)\n"
    "  write PAGE|all --load FILE  write a page or all pages from a settings file (only the\n"
    "                              pages and keys it holds)\n"
    "  diff --load FILE            read from the panel every page the settings file holds and print\n"
    "                              each difference: page, field, the file's value, the panel's value;\n"
    "                              exit 0 when equal, 1 when different or a page could not be read\n"
    "  flash [--force]             flash the built-in firmware that suits the panel (offered updates\n"
    "                              only, unless --force); a progress line goes to standard error\n"
    "  flash --hex FILE            flash an Intel HEX file (checked whole before anything is sent)\n"
    "                 over a modem call that drops, flash calls again up to three times and goes on\n"
    "                 after the last block the panel acknowledged; exit 0 only when the panel took\n"
    "                 the finish step, or when the panel needs no update (\"Перепрошивка не требуется\");\n"
    "                 SIGINT or SIGTERM stops it after the current command and restarts the panel\n"
    "\n"
    "exit status: 0 success, 1 the panel refused or did not answer, 2 usage error (also an\n"
    "unknown page, and a file that is missing, cannot be read or written, is a folder, is\n"
    "not a settings file, holds none of the pages asked for or a value a page cannot take),\n"
    "3 the port could not be opened or failed, 130 or 143 flash stopped by SIGINT or SIGTERM\n";

int UsageError(const std::string& why) {
  std::fprintf(stderr, "zorvan-cli: %s\n%s", why.c_str(), kUsageText);
  return kExitUsage;
}

// A file the command line named that cannot serve: said in Russian, a usage error.
int FileError(const std::string& cp1251) {
  Say(cp1251);
  return kExitUsage;
}

// A settings file to write pages from: checked whole before anything is sent.
std::optional<int> CheckLoadFile(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0)
    return FileError(W("Файл настроек ") + QuotedPath(path) + W(" не прочитан: ") + SystemErrorText(errno) + ".");
  TIniFile ini;
  std::string error;
  if (!ini.LoadFromFile(path, &error)) return FileError(error);
  return std::nullopt;
}

// The file read pages go to: known to be writable before the panel is read for minutes.
std::optional<int> CheckSaveFile(const std::string& path) {
  const std::string target = FollowLinks(path);
  const std::string failed = W("Файл настроек ") + QuotedPath(path) + W(" не будет записан: ");
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return FileError(failed + W("это папка, а не файл."));
    if (!S_ISREG(st.st_mode)) return FileError(failed + W("это не обычный файл."));
  } else if (errno != ENOENT) {
    return FileError(failed + SystemErrorText(errno) + ".");
  }
  const auto slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
  // The file is replaced through a temporary file beside it: the folder must take new files.
  if (::access(folder.c_str(), W_OK | X_OK) != 0) return FileError(failed + SystemErrorText(errno) + ".");
  return std::nullopt;
}

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

int RunInfo(TCliShell& cli) {
  const TPanelInfo panel = cli.Shell().Panel();
  cli.Disconnect();
  std::printf("version: %s\nfamily: %d\nvariant: %d\nbuild: %d\ntypepan-a: %d\ntypepan-b: %d\n",
              Cp1251ToUtf8(panel.version).c_str(), panel.family, panel.variant, panel.build, panel.typepanA,
              panel.typepanB);
  return kExitOk;
}

// Each line goes as the terminal window's "Send" button sends it.
int RunSend(TCliShell& cli, const std::vector<std::string>& lines) {
  TShell& shell = cli.Shell();
  for (const std::string& utf8Line : lines) {
    const std::string line = Utf8ToCp1251(utf8Line);
    shell.Terminal()["Edit1"].SetText(line);
    shell.Terminal()["Button1"].Click();
    cli.WaitIdle();
    // A line lost during the command (a dropped carrier) ends the worker after the reply came.
    if (!cli.Alive()) return cli.Failure(W("Связь с панелью потеряна!"));
    const std::string reply = shell.Device().TerminalReply();
    if (!shell.Device().TerminalAnswered()) {
      cli.Disconnect();
      if (!shell.LastPortFailure().empty()) return cli.Failure({});
      // A refusal is an answer; only silence is "no answer".
      const bool refused = reply.find("ERR") != std::string::npos || reply.find("IGN") != std::string::npos;
      if (refused) Say(W("Панель отказалась выполнить команду ") + line + ": " + reply);
      else Say(W("Панель не ответила на команду ") + line + (reply.empty() ? "" : ": " + reply));
      return kExitRefused;
    }
    std::printf("%s\n", Cp1251ToUtf8(reply).c_str());
    std::fflush(stdout);
  }
  cli.Disconnect();
  return kExitOk;
}

int RunHold(TCliShell& cli, double seconds) {
  auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < until) {
    if (!cli.Alive()) return cli.Failure(W("Связь с панелью потеряна!"));
    cli.View().Tick();
  }
  cli.Disconnect();
  return kExitOk;
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
      return kExitOk;
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
  // The port driver looks for a bare name under /dev; a relative path names a file here.
  if (!options.port.empty() && options.port[0] != '/') {
    const bool here = options.port.find('/') != std::string::npos ||
                      (::access(options.port.c_str(), F_OK) == 0 && ::access(("/dev/" + options.port).c_str(), F_OK) != 0);
    if (here) options.port = std::filesystem::absolute(options.port).lexically_normal().string();
  }
  options.command = args[i];
  options.arguments.assign(args.begin() + static_cast<long>(i) + 1, args.end());

  double seconds = 0;
  if (options.command == "info") {
    if (!options.arguments.empty()) return UsageError("info takes no arguments");
  } else if (options.command == "send") {
    if (options.arguments.empty()) return UsageError("send needs at least one LINE");
    // A line end inside a line would reach the panel as a second command.
    for (const std::string& line : options.arguments)
      if (std::any_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
        return UsageError("a LINE must not hold a line end or another control character");
  } else if (options.command == "hold") {
    if (options.arguments.size() != 1 || !ParseSeconds(options.arguments[0], seconds))
      return UsageError("hold needs one number of SECONDS");
  } else if (options.command == "read" || options.command == "write") {
    const char* flag = options.command == "read" ? "--save" : "--load";
    if (options.arguments.size() != 3 || options.arguments[1] != flag)
      return UsageError(options.command + " needs PAGE|all " + flag + " FILE");
    if (!IsPageArgument(options.arguments[0]))
      return UsageError("unknown page " + options.arguments[0] + "; the pages are " + PageArgumentList());
  } else if (options.command == "diff") {
    if (options.arguments.size() != 2 || options.arguments[0] != "--load") return UsageError("diff needs --load FILE");
  } else if (options.command == "flash") {
    const auto& a = options.arguments;
    if (!(a.empty() || (a.size() == 1 && a[0] == "--force") || (a.size() == 2 && a[0] == "--hex")))
      return UsageError("flash takes --force or --hex FILE");
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

  if (options.command == "write")
    if (auto failed = CheckLoadFile(options.arguments[2])) return *failed;
  if (options.command == "diff")
    if (auto failed = CheckLoadFile(options.arguments[1])) return *failed;
  if (options.command == "read")
    if (auto failed = CheckSaveFile(options.arguments[2])) return *failed;

  std::FILE* log = nullptr;
  if (!options.logPath.empty()) {
    std::string error;
    log = OpenForAppend(options.logPath, error);
    if (!log) return FileError(W("Файл журнала ") + QuotedPath(options.logPath) + W(" не открыт: ") + error + ".");
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
      return kExitPortFailed;
    }
  }
  TCliConnection connection;
  connection.port = options.port;
  if (builtIn) {
    connection.port = W(sim::kPortListEntry);
    connection.devicePath = options.port;
  }
  connection.master = options.master;
  connection.phone = phone;
  connection.protocol = protocol;
  connection.log = log;
  connection.verbose = options.verbose;
  int status;
  if (options.command == "read" || options.command == "write") {
    TPagesRequest request;
    request.write = options.command == "write";
    request.page = options.arguments[0];
    request.file = options.arguments[2];
    status = RunPages(connection, request);
  } else if (options.command == "diff") {
    status = RunDiff(connection, options.arguments[1]);
  } else if (options.command == "flash") {
    TFlashRequest request;
    request.force = !options.arguments.empty() && options.arguments[0] == "--force";
    if (options.arguments.size() == 2) request.hexFile = options.arguments[1];
    status = RunFlash(connection, request);
  } else {
    TCliShell cli(connection);
    if (auto failed = cli.Connect()) {
      status = *failed;
    } else if (options.command == "info") {
      status = RunInfo(cli);
    } else if (options.command == "send") {
      status = RunSend(cli, options.arguments);
    } else {
      status = RunHold(cli, seconds);
    }
  }
  if (builtIn) builtIn->Stop();
  if (log) std::fclose(log);
  return status;
}

}  // namespace zorvan
