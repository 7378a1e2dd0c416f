#pragma once
// The command-line tool's side of the worker: its main thread serves the worker's
// UI calls, keeps the few fields the worker reads and drains the output queue.
#include <cstdio>
#include <map>
#include <optional>
#include <string>

#include "session/OutArray.h"
#include "session/UiBridge.h"
#include "session/UiCallBox.h"

namespace zorvan {

class TCliUi : public TUiBridge {
 public:
  explicit TCliUi(TOutArray& out) : out_(out) {}

  // Main thread only.
  void SetField(const TControlRef& field, std::string text) { fields_[Key(field)] = std::move(text); }
  void SetLogFile(std::FILE* file) { logFile_ = file; }
  void SetVerbose(bool verbose) { verbose_ = verbose; }
  // Serves UI calls for up to realMs, then applies what the worker posted.
  void Pump(double realMs);
  void Drain();
  void WakeUp() { calls_.Wake(); }

  bool Connected() const { return connected_; }
  bool DisconnectClicked() const { return disconnectClicked_; }
  const std::string& LastStatus() const { return lastStatus_; }
  const std::optional<TPanelInfo>& Panel() const { return panel_; }

  // TUiBridge (worker side).
  void RunOnUiThread(std::function<void()> action) override { calls_.Call(std::move(action)); }
  std::string FieldText(const TControlRef& field) override;
  bool FieldChecked(const TControlRef& field) override { return FieldText(field) == "true"; }
  int FieldItemIndex(const TControlRef& field) override;
  int ConnectProtocol() override { return connectProtocol_; }
  void SetConnectProtocol(int protocol) { connectProtocol_ = protocol; }
  void AdaptUiToPanel(const TPanelInfo& panel) override { panel_ = panel; }

 private:
  static std::string Key(const TControlRef& field) { return field.form + "." + field.control; }
  void Apply(const TOutElement& element);

  TOutArray& out_;
  TUiCallBox calls_;
  std::map<std::string, std::string> fields_;
  std::FILE* logFile_ = nullptr;
  bool verbose_ = false;
  int connectProtocol_ = 0;
  bool connected_ = false;
  bool disconnectClicked_ = false;
  std::string lastStatus_;
  std::optional<TPanelInfo> panel_;
};

}  // namespace zorvan
