#include "session/OutArray.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace zorvan {

std::string LogTimeStamp() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%d.%m.%Y %H:%M:%S", &local);
  return text;
}

void TOutArray::Post(std::unique_ptr<TOutElement> element) {
  std::size_t write = write_.load(std::memory_order_relaxed);
  std::size_t next = Next(write);
  // Full: wait for the consumer rather than overwrite waiting elements, unless it gave up.
  while (next == read_.load(std::memory_order_acquire)) {
    if (abandoned_.load(std::memory_order_acquire)) {
      dropped_.fetch_add(1);
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  slots_[write] = std::move(element);
  write_.store(next, std::memory_order_release);
}

bool TOutArray::HasElements() const {
  return read_.load(std::memory_order_relaxed) != write_.load(std::memory_order_acquire);
}

std::unique_ptr<TOutElement> TOutArray::TakeElement() {
  std::size_t read = read_.load(std::memory_order_relaxed);
  if (read == write_.load(std::memory_order_acquire)) return nullptr;
  std::unique_ptr<TOutElement> element = std::move(slots_[read]);
  read_.store(Next(read), std::memory_order_release);
  return element;
}

void TOutArray::PostLog(const std::string& text, bool showInWindow, bool timeStamp) {
  Post(std::make_unique<TMemoOut>(timeStamp ? LogTimeStamp() + " " + text : text, showInWindow));
}

void TOutArray::PostText(const TControlRef& control, const std::string& text) {
  Post(std::make_unique<TControlOut>(kOutControl, control, text));
}

void TOutArray::PostChecked(const TControlRef& control, bool checked) {
  PostText(control, checked ? "true" : "false");
}

void TOutArray::PostInt(const TControlRef& control, long long value) { PostText(control, std::to_string(value)); }

void TOutArray::PostColor(const TControlRef& control, TColor color) {
  Post(std::make_unique<TControlOut>(kOutColor, control, ColorToString(color)));
}

void TOutArray::PostComponent(const TControlRef& menuItem, const std::string& text) {
  Post(std::make_unique<TCompOut>(menuItem, text));
}

void TOutArray::PostSlider(const TControlRef& slider, int number, const std::string& text) {
  Post(std::make_unique<TTriSliderOut>(slider, number, text));
}

void TOutArray::PostSliderPosition(const TControlRef& slider, int number) { PostSlider(slider, number, "position"); }

void TOutArray::PostListFill(const TControlRef& listView, const std::string& caption, std::vector<std::string> texts) {
  Post(std::make_unique<TFullListOut>(listView, caption, std::move(texts)));
}

void TOutArray::PostMessageBox(const std::string& text) { Post(std::make_unique<TMsgOut>(text)); }

void TOutArray::PostStatus(const std::string& text, int panel) { Post(std::make_unique<TStatusOut>(text, panel)); }

void TOutArray::PostGridCell(const TControlRef& grid, const std::string& text, int column, int row) {
  Post(std::make_unique<TOutStringGrid>(grid, row, column, text));
}

void TOutArray::PostFailure(const TControlRef& status, const std::string& command, const std::string& reason) {
  Post(std::make_unique<TParamOut>(status, command, reason, true));
}

void TOutArray::PostWritten(const TControlRef& status, const std::string& command) {
  Post(std::make_unique<TParamOut>(status, command, std::string(), false));
}

void TOutArray::PostToPage(const std::string& page, std::string topic, std::vector<std::string> texts,
                           std::vector<long long> numbers) {
  Post(std::make_unique<TPageOut>(page, TPageOutput{std::move(topic), std::move(texts), std::move(numbers)}));
}

void TOutArray::PostAllDone(bool write) { Post(std::make_unique<TAllDoneOut>(write)); }

}  // namespace zorvan
