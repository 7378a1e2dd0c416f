#pragma once
// Output elements: one change that a worker thread asks the UI thread to make.
// Targets are named (form and control), and the UI resolves the names to its models.
#include <cstdint>
#include <string>
#include <vector>

#include "base/ControlRef.h"
#include "model/PageOutput.h"

namespace zorvan {

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
  kOutParam = 13,
  kOutAllDone = 15,
  kOutPage = 16,
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

// A parameter that a page operation could not read or write, or that it wrote: the shell
// counts and lists them, so that a partly failed operation is never reported as a success and
// a write cut short can say what had reached the panel.
class TParamOut : public TOutElement {
 public:
  TParamOut(TControlRef theStatus, std::string theCommand, std::string theReason, bool theFailed)
      : TOutElement(kOutParam),
        status(std::move(theStatus)),
        command(std::move(theCommand)),
        reason(std::move(theReason)),
        failed(theFailed) {}
  TControlRef status;     // the parameter's status label: its page, and its caption names it
  std::string command;    // the command as sent, without its value
  std::string reason;     // what went wrong, for the user
  bool failed;            // false: the parameter was written
};

// Read-all or write-all went through every page.
class TAllDoneOut : public TOutElement {
 public:
  explicit TAllDoneOut(bool theWrite) : TOutElement(kOutAllDone), write(theWrite) {}
  bool write;
};

// Output for a page to apply itself.
class TPageOut : public TOutElement {
 public:
  TPageOut(std::string thePage, TPageOutput theOutput)
      : TOutElement(kOutPage), page(std::move(thePage)), output(std::move(theOutput)) {}
  std::string page;  // the page's identifier
  TPageOutput output;
};

}  // namespace zorvan
