// Terminal round trips of "+v" against the virtual panel limited to the programming
// cable's rate (19200 bit/s, 8 data bits, 2 stop bits), reported as the wall time divided
// by the time the bytes need on the line.
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "cli/CliUi.h"
#include "link/Modem.h"
#include "session/DevZorvan.h"
#include "session/OutArray.h"
#include "sim/VirtualPanel.h"

using namespace zorvan;

int main(int argc, char** argv) {
  const int trips = argc > 1 ? std::atoi(argv[1]) : 100;
  const double bytesPerSecond = 19200.0 / 11.0;
  sim::TVirtualPanel panel;  // line rate of the cable by default
  std::string port = panel.Start();
  TOutArray out;
  TDevZorvan device(out);
  TCliUi ui(out);
  ui.SetField(controls::kMasterKey, "5281");
  device.SetUi(&ui);
  TModem modem(port, out, device);
  device.SetWorker(&modem);
  modem.Start();
  while (!ui.Connected() && !modem.Finished()) ui.Pump(5);
  if (!ui.Connected()) {
    std::fprintf(stderr, "bench: no connection to the virtual panel\n");
    return 1;
  }
  ui.SetField(controls::kTerminalLine, "+v");
  const auto bytesBefore = panel.BytesReceived() + panel.BytesSent();
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < trips; ++i) {
    modem.SetRequest(23);
    while (modem.CurrentRequest() == 23 && !modem.Finished()) ui.Pump(0.05);
    if (!device.TerminalAnswered()) {
      std::fprintf(stderr, "bench: round trip %d got no answer\n", i + 1);
      return 1;
    }
  }
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const auto bytes = panel.BytesReceived() + panel.BytesSent() - bytesBefore;
  const double line = static_cast<double>(bytes) / bytesPerSecond;
  modem.Terminate();
  while (!modem.Finished()) ui.Pump(5);
  modem.WaitFor();
  ui.Drain();
  std::printf("round trips: %d\nbytes on the line: %llu\nline time: %.3f s\nwall time: %.3f s\nratio: %.3f\n", trips,
              static_cast<unsigned long long>(bytes), line, wall, wall / line);
  return 0;
}
