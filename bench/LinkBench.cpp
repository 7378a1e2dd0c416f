// Terminal round trips of "+v" against the virtual panel limited to the programming
// cable's rate (19200 bit/s, 8 data bits, 2 stop bits), reported as the wall time divided
// by the time the bytes need on the line.
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "cli/CliShell.h"
#include "sim/VirtualPanel.h"

using namespace zorvan;

int main(int argc, char** argv) {
  const int trips = argc > 1 ? std::atoi(argv[1]) : 100;
  const double bytesPerSecond = 19200.0 / 11.0;
  sim::TVirtualPanel panel;  // line rate of the cable by default
  std::string port = panel.Start();
  TCliConnection connection;
  connection.port = port;
  TCliShell cli(connection);
  TShell& shell = cli.Shell();
  if (cli.Connect()) {
    std::fprintf(stderr, "bench: no connection to the virtual panel\n");
    return 1;
  }
  shell.Terminal()["Edit1"].SetText("+v");
  const auto bytesBefore = panel.BytesReceived() + panel.BytesSent();
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < trips; ++i) {
    shell.Terminal()["Button1"].Click();
    // Poll tightly: the loop's own latency is not what is measured.
    while (shell.Busy()) shell.Tick(0.05);
    if (!shell.Device().TerminalAnswered()) {
      std::fprintf(stderr, "bench: round trip %d got no answer\n", i + 1);
      return 1;
    }
  }
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const auto bytes = panel.BytesReceived() + panel.BytesSent() - bytesBefore;
  const double line = static_cast<double>(bytes) / bytesPerSecond;
  cli.Disconnect();
  std::printf("round trips: %d\nbytes on the line: %llu\nline time: %.3f s\nwall time: %.3f s\nratio: %.3f\n", trips,
              static_cast<unsigned long long>(bytes), line, wall, wall / line);
  return 0;
}
