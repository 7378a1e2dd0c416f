#include "session/UiCallBox.h"

#include <chrono>

namespace zorvan {

bool TUiCallBox::Call(std::function<void()> action, const std::function<void()>& wake) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return !busy_ || closed_; });  // one caller at a time
  if (closed_) return false;
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
  // An action that has started holds references into this caller's frame: it is waited for.
  changed_.wait(lock, [&] { return done_ || (closed_ && !running_); });
  const bool ran = done_;
  pending_ = nullptr;
  std::exception_ptr failure = failure_;
  busy_ = false;
  changed_.notify_all();
  lock.unlock();
  if (failure) std::rethrow_exception(failure);
  return ran;
}

bool TUiCallBox::Serve(double realMs) {
  std::unique_lock lock(mutex_);
  auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(static_cast<long long>(realMs * 1000));
  changed_.wait_until(lock, until, [&] { return static_cast<bool>(pending_) || woken_; });
  woken_ = false;
  if (!pending_) return false;
  std::function<void()> action = std::move(pending_);
  pending_ = nullptr;
  running_ = true;
  lock.unlock();
  std::exception_ptr failure;
  try {
    action();
  } catch (...) {
    failure = std::current_exception();
  }
  lock.lock();
  running_ = false;
  failure_ = failure;
  done_ = true;
  changed_.notify_all();
  return true;
}

bool TUiCallBox::Serving() const {
  std::lock_guard lock(mutex_);
  return running_;
}

void TUiCallBox::Wake() {
  std::lock_guard lock(mutex_);
  woken_ = true;
  changed_.notify_all();
}

void TUiCallBox::Close() {
  std::lock_guard lock(mutex_);
  closed_ = true;
  changed_.notify_all();
}

void TUiCallBox::Open() {
  std::lock_guard lock(mutex_);
  closed_ = false;
}

}  // namespace zorvan
