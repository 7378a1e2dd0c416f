#pragma once
// One panel parameter of a page: the field that shows it (its status label takes the colours),
// the read and write commands, the codec and how each exchange waits for its answer.
#include <string>

#include "model/Codecs.h"
#include "model/PanelIdentity.h"
#include "model/Control.h"

namespace zorvan {

// How one exchange waits for its answer, how often it is tried and what counts as a failure.
// Attempts repeat the command inside one exchange (the log shows " # Попытка № "); tries are
// separate exchanges, each logged as a command of its own.
struct TQuery {
  bool exchanged = true;        // false: not exchanged in this direction by the table
  bool requireOk = true;        // the answer is complete only with its terminator
  const char* terminator = "OK";
  int timeoutMs = 4500;
  int attempts = 3;
  int tries = 1;
  bool trim = false;            // blanks around the value are dropped (a read into an edit field)
  bool errFails = false;        // a value holding "ERR" is a refusal
  bool lineLossAborts = false;  // a failed line check sets the abort flag

  bool operator==(const TQuery&) const = default;

  static const TQuery None;
  static const TQuery ReadParam;   // "OK" required, 3 attempts; also the write style of most pages
  static const TQuery QueryValue;  // as ReadParam; the page colours only the outcome
  static const TQuery WriteParam;  // as ReadParam, for writes
  static const TQuery ToEdit;      // "OK" not required, 3 attempts: a read into an edit field
  static const TQuery FromEdit;    // "OK\r" not required, 3 attempts: a write from an edit field
  static const TQuery QueryShort;  // one try of 2.5 s
  static const TQuery QueryMedium; // one try of 5 s; "ERR" in the value fails
  static const TQuery QueryLong;   // one try of 15 s; "ERR" in the value fails
  static const TQuery QueryRetry;  // three tries of one attempt; a lost line does not abort
  static const TQuery WriteRetry;  // as QueryRetry, for writes
  // Tries of one attempt each with their own terminator and time-out; a lost line aborts.
  static constexpr TQuery Query(const char* terminator, int timeoutMs, int tries) {
    return {.terminator = terminator, .timeoutMs = timeoutMs, .attempts = 1, .tries = tries, .lineLossAborts = true};
  }
};

inline constexpr TQuery TQuery::None{.exchanged = false};
inline constexpr TQuery TQuery::ReadParam{};
inline constexpr TQuery TQuery::QueryValue{};
inline constexpr TQuery TQuery::WriteParam{};
inline constexpr TQuery TQuery::ToEdit{.requireOk = false, .trim = true};
inline constexpr TQuery TQuery::FromEdit{.requireOk = false, .terminator = "OK\r"};
inline constexpr TQuery TQuery::QueryShort = TQuery::Query("OK", 2500, 1);
inline constexpr TQuery TQuery::QueryMedium{
    .terminator = "OK", .timeoutMs = 5000, .attempts = 1, .tries = 1, .errFails = true, .lineLossAborts = true};
inline constexpr TQuery TQuery::QueryLong{
    .terminator = "OK", .timeoutMs = 15000, .attempts = 1, .tries = 1, .errFails = true, .lineLossAborts = true};
inline constexpr TQuery TQuery::QueryRetry{.attempts = 1, .tries = 3};
inline constexpr TQuery TQuery::WriteRetry{.attempts = 1, .tries = 3};

struct TParam {
  TControl* field = nullptr;
  std::string read;   // "+GC1"
  std::string write;  // "+GC1=": the encoded value follows
  const TCodec* codec = &codec::kText;
  TQuery readStyle = TQuery::ReadParam;
  TQuery writeStyle = TQuery::ReadParam;
  // Panels that have the parameter; null for every panel.
  bool (*applies)(const TPanelIdentity& panel) = nullptr;
};

}  // namespace zorvan

namespace zorvan {

// What a page snapshot keeps of a control.
inline TFieldState StateOf(const TControl& c) {
  TFieldState state{c.Text(), c.Checked(), c.ItemIndex()};
  state.enabled = c.Enabled();
  state.items = c.Items();
  for (int i = 0; i < static_cast<int>(c.Items().size()); ++i) {
    state.itemCodes.push_back(c.ItemCode(i));
    state.itemChecks.push_back(c.ItemChecked(i));
  }
  state.rows = c.Rows();
  state.lines = c.Lines();
  state.thumbs = c.Thumbs();
  return state;
}

}  // namespace zorvan
