#pragma once
// A list of callbacks, so that a widget and the page that owns the model can both listen.
#include <functional>
#include <utility>
#include <vector>

namespace zorvan {

template <class... Args>
class Listeners {
 public:
  using Callback = std::function<void(Args...)>;

  // Returns a handle for Remove.
  int Add(Callback callback) {
    entries_.push_back({++lastId_, std::move(callback)});
    return lastId_;
  }

  void Remove(int handle) {
    std::erase_if(entries_, [handle](const Entry& e) { return e.id == handle; });
  }

  // A copy is walked, so a callback may add or remove listeners safely.
  void operator()(Args... args) const {
    const std::vector<Entry> copy = entries_;
    for (const Entry& e : copy)
      if (e.callback) e.callback(args...);
  }

 private:
  struct Entry {
    int id;
    Callback callback;
  };
  std::vector<Entry> entries_;
  int lastId_ = 0;
};

}  // namespace zorvan
