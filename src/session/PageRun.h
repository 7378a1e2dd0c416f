#pragma once
// One page operation on the worker: the read or write steps of a page with the abort checks,
// the status colours, the record of every parameter that failed and the page's one failure
// log line. Table rows and hand-written steps go through the same helpers.
#include <functional>
#include <initializer_list>
#include <string>

#include "model/Page.h"
#include "session/DevZorvan.h"

namespace zorvan {

class TPageRun {
 public:
  // failureLine: the page's log line when anything failed (UTF-8), e.g. "Ошибка при чтении ...".
  TPageRun(TDevZorvan& device, const TPage& page, const char* failureLine);
  // Thrown when a step on the user-interface thread could not run: the operation ends.
  struct TNotRun : std::exception {
    const char* what() const noexcept override { return "the user-interface step did not run"; }
  };
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
  // Steps in order, each only while the operation has not been stopped.
  void Sequence(std::initializer_list<std::function<void()>> steps);
  // Every row of the page's table that has a command in that direction, in order.
  void ReadTable();
  void WriteTable();

  // Hand-written steps: one exchange in a query style, and its outcome on a status label.
  TExchange Exchange(const std::string& command, const TQuery& style) { return device_.Exchange(command, style); }
  void Pending(const TControl& status);
  void Succeeded(const TControl& status);
  // command: what was sent, without its value. Records the parameter as failed.
  void Failed(const TControl& status, const std::string& command, TOutcome why);
  // Records a write that went through (Step does it for the writes it runs).
  void Written(const TControl& status, const std::string& command);
  // A whole step: pending, exchange, then succeeded or failed; returns the exchange.
  TExchange Step(const TControl& status, const std::string& command, const TQuery& style,
                 const std::string& shownCommand);

  // Runs a piece of work on the user-interface thread with the pages writable (the rules
  // between pages run there); the snapshot is taken afresh afterwards. False when it did not
  // run because the worker is ending or the window is closing: the operation then stops.
  bool OnUi(const std::function<void(TPageSet& pages)>& work);
  // A question for the user; NotAsked while the worker is ending or the window is closing.
  TAnswer Ask(TQuestionKind kind, const std::string& caption, const std::string& text);

  // The page kind's worker state.
  template <class TState>
  TState& State() const {
    return dynamic_cast<TState&>(*device_.Pages()->WorkerState(pageId_));
  }

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
  TPageId pageId_;
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
