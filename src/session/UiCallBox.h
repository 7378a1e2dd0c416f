#pragma once
// The blocking "run on the UI thread" call for a UI that runs its own loop (the
// command-line tool, tests): the worker hands over an action and waits; the UI loop
// runs it from Serve.
#include <condition_variable>
#include <functional>
#include <mutex>

namespace zorvan {

class TUiCallBox {
 public:
  // Worker side: blocks until the UI thread has run the action. An exception thrown by
  // the action is passed back to the caller.
  // wake, when given, is called once the action waits, to get the UI thread to Serve at once.
  void Call(std::function<void()> action, const std::function<void()>& wake = {});

  // UI side: waits up to the given real milliseconds for a call and runs it;
  // returns whether one ran.
  bool Serve(double realMs);

  // Wakes a Serve that waits (for example when the worker ended).
  void Wake();

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::function<void()> pending_;
  std::exception_ptr failure_;
  bool done_ = false;
  bool woken_ = false;
  bool busy_ = false;
};

}  // namespace zorvan
