#pragma once
// The output queue: a single-producer/single-consumer ring of output elements.
// The producer is the thread that holds the exchange; the consumer is the UI thread.
// When the ring is full the producer waits for room, so no element is lost while the consumer
// lives; once the consumer gives up (the window closes, the worker is told to end) a producer
// facing a full ring drops its element instead of waiting for ever.
#include <array>
#include <atomic>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "session/Colors.h"
#include "session/OutElement.h"

namespace zorvan {

class TOutArray {
 public:
  static constexpr std::size_t kSlots = 1024;  // at most kSlots - 1 elements wait

  TOutArray() = default;
  TOutArray(const TOutArray&) = delete;
  TOutArray& operator=(const TOutArray&) = delete;

  // Producer side.
  void PostLog(const std::string& text, bool showInWindow, bool timeStamp);
  void PostText(const TControlRef& control, const std::string& text);
  void PostChecked(const TControlRef& control, bool checked);
  void PostInt(const TControlRef& control, long long value);
  void PostColor(const TControlRef& control, TColor color);
  void PostComponent(const TControlRef& menuItem, const std::string& text);
  void PostSlider(const TControlRef& slider, int number, const std::string& text);
  void PostSliderPosition(const TControlRef& slider, int number);
  void PostListFill(const TControlRef& listView, const std::string& caption, std::vector<std::string> texts);
  void PostMessageBox(const std::string& text);
  void PostStatus(const std::string& text, int panel);
  void PostGridCell(const TControlRef& grid, const std::string& text, int column, int row);
  void PostAllDone(bool write);
  void PostFailure(const TControlRef& status, const std::string& command, const std::string& reason);
  void PostWritten(const TControlRef& status, const std::string& command);
  // Output that the page applies itself (state that is no control, or a whole list).
  void PostToPage(const std::string& page, std::string topic, std::vector<std::string> texts = {},
                  std::vector<long long> numbers = {});
  void Post(std::unique_ptr<TOutElement> element);

  // Consumer side: while abandoned, a post to a full ring is dropped.
  void Abandon(bool abandoned) { abandoned_.store(abandoned, std::memory_order_release); }
  std::size_t Dropped() const { return dropped_.load(); }

  // Consumer side.
  bool HasElements() const;
  std::unique_ptr<TOutElement> TakeElement();  // null when empty

 private:
  static std::size_t Next(std::size_t index) { return (index + 1) % kSlots; }

  std::array<std::unique_ptr<TOutElement>, kSlots> slots_;
  // Each index has one writer: the producer owns write_, the consumer owns read_.
  alignas(64) std::atomic<std::size_t> write_{0};
  alignas(64) std::atomic<std::size_t> read_{0};
  std::atomic<bool> abandoned_{false};
  std::atomic<std::size_t> dropped_{0};
};

// "dd.mm.yyyy hh:mm:ss" of the current local time: the stamp in front of log lines.
std::string LogTimeStamp();

}  // namespace zorvan
