#pragma once
// Output elements: one change that a worker thread asks the UI thread to make.
// Targets are named (form and control), and the UI resolves the names to its models.
#include <cstdint>
#include <string>
#include <vector>

namespace zorvan {

struct TControlRef {
  std::string form;
  std::string control;
  bool operator==(const TControlRef&) const = default;
};

class TOutElement {
 public:
  explicit TOutElement(std::uint8_t kind) : kind_(kind) {}
  virtual ~TOutElement() = default;
  std::uint8_t Kind() const { return kind_; }

 private:
  std::uint8_t kind_;
};

enum : std::uint8_t {
  kOutMemo = 1,
  kOutControl = 2,
  kOutComponent = 3,
  kOutTriSlider = 6,
  kOutFullList = 7,
  kOutMessage = 9,
  kOutStatus = 10,
  kOutGridCell = 11,
  kOutColor = 12,
};

// A log line; the time stamp, when asked for, is already part of the text.
class TMemoOut : public TOutElement {
 public:
  TMemoOut(std::string theText, bool theShowInWindow)
      : TOutElement(kOutMemo), text(std::move(theText)), showInWindow(theShowInWindow) {}
  std::string text;
  bool showInWindow;
};

// Kind 2 (text command for a control) or kind 12 (colour name for a control).
class TControlOut : public TOutElement {
 public:
  TControlOut(std::uint8_t kind, TControlRef theTarget, std::string theText)
      : TOutElement(kind), target(std::move(theTarget)), text(std::move(theText)) {}
  TControlRef target;
  std::string text;
};

class TCompOut : public TOutElement {
 public:
  TCompOut(TControlRef theMenuItem, std::string theText)
      : TOutElement(kOutComponent), menuItem(std::move(theMenuItem)), text(std::move(theText)) {}
  TControlRef menuItem;
  std::string text;
};

class TTriSliderOut : public TOutElement {
 public:
  TTriSliderOut(TControlRef theSlider, int theNumber, std::string theText)
      : TOutElement(kOutTriSlider), slider(std::move(theSlider)), number(theNumber), text(std::move(theText)) {}
  TControlRef slider;
  int number;
  std::string text;
};

class TFullListOut : public TOutElement {
 public:
  TFullListOut(TControlRef theListView, std::string theCaption, std::vector<std::string> theTexts)
      : TOutElement(kOutFullList), listView(std::move(theListView)), caption(std::move(theCaption)), texts(std::move(theTexts)) {}
  TControlRef listView;
  std::string caption;
  std::vector<std::string> texts;
};

class TMsgOut : public TOutElement {
 public:
  explicit TMsgOut(std::string theText) : TOutElement(kOutMessage), text(std::move(theText)) {}
  std::string text;
};

// Panel index of the main window's status bar (0-based).
class TStatusOut : public TOutElement {
 public:
  TStatusOut(std::string theText, int thePanel) : TOutElement(kOutStatus), text(std::move(theText)), panel(thePanel) {}
  std::string text;
  int panel;
};

class TOutStringGrid : public TOutElement {
 public:
  TOutStringGrid(TControlRef theGrid, int theRow, int theColumn, std::string theText)
      : TOutElement(kOutGridCell), grid(std::move(theGrid)), row(theRow), column(theColumn), text(std::move(theText)) {}
  TControlRef grid;
  int row;
  int column;
  std::string text;
};

}  // namespace zorvan
