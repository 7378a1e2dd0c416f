#include "session/UiCallBox.h"

#include <chrono>

namespace zorvan {

void TUiCallBox::Call(std::function<void()> action, const std::function<void()>& wake) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return !busy_; });  // one caller at a time
  busy_ = true;
  pending_ = std::move(action);
  done_ = false;
  failure_ = nullptr;
  changed_.notify_all();
  if (wake) {
    lock.unlock();
    wake();
    lock.lock();
  }
  changed_.wait(lock, [&] { return done_; });
  std::exception_ptr failure = failure_;
  busy_ = false;
  changed_.notify_all();
  lock.unlock();
  if (failure) std::rethrow_exception(failure);
}

bool TUiCallBox::Serve(double realMs) {
  std::unique_lock lock(mutex_);
  auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(static_cast<long long>(realMs * 1000));
  changed_.wait_until(lock, until, [&] { return static_cast<bool>(pending_) || woken_; });
  woken_ = false;
  if (!pending_) return false;
  std::function<void()> action = std::move(pending_);
  pending_ = nullptr;
  lock.unlock();
  std::exception_ptr failure;
  try {
    action();
  } catch (...) {
    failure = std::current_exception();
  }
  lock.lock();
  failure_ = failure;
  done_ = true;
  changed_.notify_all();
  return true;
}

void TUiCallBox::Wake() {
  std::lock_guard lock(mutex_);
  woken_ = true;
  changed_.notify_all();
}

}  // namespace zorvan
