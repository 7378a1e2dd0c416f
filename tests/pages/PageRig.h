#pragma once
// A page test's rig: the shell without a window, connected to a virtual panel on a pty.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

#include "app/HeadlessView.h"
#include "sim/VirtualPanel.h"

namespace zorvan::test {

inline sim::TPanelOptions Unthrottled(std::string version = "09.005.012") {
  sim::TPanelOptions options;
  options.version = std::move(version);
  options.lineRate = 0;
  return options;
}

struct TPageRig {
  explicit TPageRig(sim::TPanelOptions options = Unthrottled(), std::string name = "page")
      : dir(std::filesystem::temp_directory_path() / ("zorvan-" + name + "-" + std::to_string(getpid()))),
        panel(std::move(options)) {
    std::filesystem::create_directories(dir);
    device = panel.Start();
    shell.SetView(&view);
    shell.Start();
    view.onConnectDialog = [this](TConnectDialog& dialog) { dialog.Ports().SetText(device); };
    view.progressLimitMs = 10000;
  }
  ~TPageRig() {
    shell.Disconnect();
    std::filesystem::remove_all(dir);
  }
  bool Connect() {
    shell.Connect();
    shell.Drain();
    return shell.Connected();
  }
  void Tick() { view.Tick(); }
  // Runs a command that posts a request and waits until the worker is idle again.
  void Run(const std::function<void()>& command) {
    command();
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (shell.Busy() && std::chrono::steady_clock::now() < until) Tick();
    shell.Drain();
  }
  void ReadPage(const std::string& page) {
    shell.ShowPage(page);
    Run([&] { shell.ReadPage(); });
  }
  void WritePage(const std::string& page) {
    shell.ShowPage(page);
    Run([&] { shell.WritePage(); });
  }
  void RunFor(int realMs) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(realMs);
    while (std::chrono::steady_clock::now() < until) Tick();
  }
  bool Sent(const std::string& line) const {
    auto lines = panel.ReceivedLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  long Count(const std::string& line) const {
    auto lines = panel.ReceivedLines();
    return std::count(lines.begin(), lines.end(), line);
  }
  // The lines the panel received since the mark.
  std::vector<std::string> SentSince(std::size_t mark) const {
    auto lines = panel.ReceivedLines();
    return {lines.begin() + static_cast<long>(std::min(mark, lines.size())), lines.end()};
  }
  std::size_t Mark() const { return panel.ReceivedLines().size(); }
  // Writes one command to the panel's own store, as if it had been configured before.
  void Preset(const std::string& line) { panel.Parameters().Answer(line); }

  std::filesystem::path dir;
  sim::TVirtualPanel panel;
  std::string device;
  TShell shell{dir.string() + "/"};
  THeadlessView view{shell};
};

}  // namespace zorvan::test
