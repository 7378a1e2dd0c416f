// A page write through the window's shell and through the command-line tool's shell, against
// the virtual panel at the cable's rate: each as the ratio of its wall time to the line time
// of the bytes it exchanged. The two must be alike: the window may not wait for its timer.
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <functional>

#include "cli/CliShell.h"
#include "sim/VirtualPanel.h"
#include "ui/MainWindow.h"

using namespace zorvan;

namespace {

constexpr double kBytesPerSecond = 19200.0 / 11.0;

struct TResult {
  double wall = 0;
  unsigned long long bytes = 0;
  double Line() const { return static_cast<double>(bytes) / kBytesPerSecond; }
  double Ratio() const { return wall / Line(); }
};

// Runs one page write and measures it; `busy` tells when the worker is done, `serve` keeps
// the user-interface side going meanwhile.
TResult Measure(sim::TVirtualPanel& panel, TShell& shell, const char* page, const std::function<void()>& serve) {
  shell.ShowPage(page);
  const auto before = panel.BytesReceived() + panel.BytesSent();
  const auto start = std::chrono::steady_clock::now();
  shell.WritePage();
  while (shell.Busy()) serve();
  TResult result;
  result.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  result.bytes = panel.BytesReceived() + panel.BytesSent() - before;
  if (!shell.Failures().empty()) std::fprintf(stderr, "bench: %zu parameters failed\n", shell.Failures().size());
  return result;
}

void Print(const char* what, const TResult& r) {
  std::printf("%-8s bytes %6llu  line %.3f s  wall %.3f s  ratio %.3f\n", what, r.bytes, r.Line(), r.wall, r.Ratio());
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const char* page = argc > 1 ? argv[1] : "formGPRS";
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  QTemporaryDir dir;
  sim::TVirtualPanel panel;  // the cable's line rate
  const std::string port = panel.Start();

  double windowRatio = 0, cliRatio = 0;
  {
    MainWindow window(dir.path().toStdString() + "/");
    window.show();
    window.Shell().ConnectDialog().Ports().SetText(port);
    QTimer::singleShot(50, [&] { window.ConnectDialogView()->findChild<QPushButton*>("OKBtn")->click(); });
    window.Shell().Connect();
    if (!window.Shell().Connected()) {
      std::fprintf(stderr, "bench: the window did not connect\n");
      return 1;
    }
    for (int i = 0; i < rounds; ++i) {
      // The window's own event loop serves the worker, as it does for a user.
      const TResult r = Measure(panel, window.Shell(), page, [] { QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5); });
      Print("window", r);
      windowRatio += r.Ratio() / rounds;
    }
    window.Shell().Disconnect();
  }
  {
    TCliConnection connection;
    connection.port = port;
    TCliShell cli(connection);
    if (cli.Connect()) {
      std::fprintf(stderr, "bench: the command-line shell did not connect\n");
      return 1;
    }
    for (int i = 0; i < rounds; ++i) {
      const TResult r = Measure(panel, cli.Shell(), page, [&] { cli.View().Tick(); });
      Print("cli", r);
      cliRatio += r.Ratio() / rounds;
    }
    cli.Disconnect();
  }
  std::printf("%s write, mean ratio to line time: window %.3f, command line %.3f, apart by %.1f %%\n", page, windowRatio,
              cliRatio, 100.0 * std::abs(windowRatio - cliRatio) / std::min(windowRatio, cliRatio));
  return 0;
}
