#pragma once
// The blocking "run on the UI thread" call: the worker hands over an action and waits; the UI
// thread runs it from Serve. Once closed, a call that has not started gives up at once, so a
// closing window never waits for a worker that waits for it.
#include <condition_variable>
#include <functional>
#include <mutex>

namespace zorvan {

class TUiCallBox {
 public:
  // Worker side: blocks until the UI thread has run the action and returns true, or returns
  // false without running it once the box is closed. An exception thrown by the action is
  // passed back to the caller. wake, when given, is called once the action waits, to get the
  // UI thread to Serve at once.
  bool Call(std::function<void()> action, const std::function<void()>& wake = {});

  // UI side: waits up to the given real milliseconds for a call and runs it; returns whether
  // one ran.
  bool Serve(double realMs);
  // An action is running on the UI thread now (further down its stack).
  bool Serving() const;

  // Wakes a Serve that waits (for example when the worker ended).
  void Wake();
  // From now on calls give up instead of waiting; Open takes that back.
  void Close();
  void Open();

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::function<void()> pending_;
  std::exception_ptr failure_;
  bool done_ = false;
  bool woken_ = false;
  bool busy_ = false;
  bool running_ = false;
  bool closed_ = false;
};

}  // namespace zorvan
