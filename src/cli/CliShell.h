#pragma once
// zorvan-cli's connection: the windowed program's shell and page models, driven without a
// window. Every command of the tool runs on it.
#include <cstdio>
#include <optional>
#include <string>

#include "app/HeadlessView.h"
#include "app/Shell.h"

namespace zorvan {

struct TCliConnection {
  std::string port;  // as the connection dialog shows it (cp1251)
  // The device behind the port text when it is a list entry (the built-in virtual panel).
  std::string devicePath;
  std::string master = "5281";
  std::string phone;  // a modem data call when not empty
  int protocol = 0;   // 0 v.32, 1 v.110
  std::FILE* log = nullptr;
  bool verbose = false;
};

// Exit statuses of the tool.
constexpr int kExitOk = 0;
constexpr int kExitRefused = 1;
constexpr int kExitUsage = 2;
constexpr int kExitPortFailed = 3;

// A line for the user on standard error (the core's texts are Windows-1251).
void Say(const std::string& cp1251);

class TCliShell {
 public:
  explicit TCliShell(TCliConnection connection);
  TCliShell(TCliConnection connection, const TCatalogue& catalogue);
  ~TCliShell();

  TShell& Shell() { return shell_; }
  THeadlessView& View() { return view_; }

  // Connects as the connection dialog would; on failure prints why and gives the exit status.
  std::optional<int> Connect();
  // Runs the shell until the worker has finished its request (or the connection ended).
  void WaitIdle();
  // The connection is still up.
  bool Alive();
  // Disconnects, prints the port failure, the last status or the fallback, gives the status.
  int Failure(const std::string& fallback);
  void Disconnect();

 private:
  TCliConnection connection_;
  TShell shell_;
  THeadlessView view_;
};

}  // namespace zorvan
