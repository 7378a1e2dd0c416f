#pragma once
// One page operation on the worker: the read or write steps of a page with the abort checks,
// the status colours, the record of every parameter that failed and the page's one failure
// log line. Table rows and hand-written steps go through the same helpers.
#include <string>

#include "model/Page.h"
#include "session/DevZorvan.h"

namespace zorvan {

class TPageRun {
 public:
  // failureLine: the page's log line when anything failed (UTF-8), e.g. "Ошибка при чтении ...".
  TPageRun(TDevZorvan& device, const TPage& page, const char* failureLine);
  ~TPageRun();
  TPageRun(const TPageRun&) = delete;
  TPageRun& operator=(const TPageRun&) = delete;

  TDevZorvan& Device() { return device_; }
  // Cancelled, or the connection is ending: no further step may start.
  bool Stopped() const;

  // The page's field values, fetched from the user-interface thread in one call on first use.
  const TPageValues& Values();
  // Shows a value in a field and keeps the snapshot in step with it.
  void Show(const TControl& field, const std::string& text);
  void ShowChecked(const TControl& field, bool checked);

  // Table rows: read or write one parameter with its codec and query style.
  bool Read(const TParam& param);
  bool Write(const TParam& param);
  // Every row of the page's table that has a command in that direction, in order.
  void ReadTable();
  void WriteTable();

  // Hand-written steps: one exchange in a query style, and its outcome on a status label.
  TExchange Exchange(const std::string& command, TQuery style) { return device_.Exchange(command, style); }
  void Pending(const TControl& status);
  void Succeeded(const TControl& status);
  // command: what was sent, without its value. Records the parameter as failed.
  void Failed(const TControl& status, const std::string& command, TOutcome why);
  // Records a write that went through (Step does it for the writes it runs).
  void Written(const TControl& status, const std::string& command);
  // A whole step: pending, exchange, then succeeded or failed; returns the exchange.
  TExchange Step(const TControl& status, const std::string& command, TQuery style, const std::string& shownCommand);

  // A write from a settings file sends a command only when the file holds every field it
  // carries; otherwise the log names what the file lacks and the panel keeps its value.
  bool Holds(std::initializer_list<const TControl*> fields, const std::string& command);
  // Whether the connected panel has the parameter.
  bool Applies(const TParam& param) const;
  int FailureCount() const { return failures_; }
  // Ends the operation early because of an exception: counted as a failure of the page.
  void Broken() { broken_ = true; }

 private:
  TDevZorvan& device_;
  const TPage& page_;
  std::string failureLine_;
  TPageValues values_;
  bool haveValues_ = false;
  int failures_ = 0;
  bool broken_ = false;
};

// The user's words for an outcome that is not a success.
std::string OutcomeText(TOutcome outcome);

// Runs a page operation's steps with its failure line; an exception ends it as a failure.
template <class Steps>
void RunPageSteps(TDevZorvan& device, const TPage& page, const char* failureLine, Steps&& steps) {
  TPageRun run(device, page, failureLine);
  try {
    steps(run);
  } catch (const std::exception&) {
    run.Broken();
  }
}

}  // namespace zorvan
