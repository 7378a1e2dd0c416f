#pragma once
// The consumer side of the output queue: each element applied to the control models.
#include <functional>
#include <string>

#include "model/Control.h"
#include "session/OutElement.h"

namespace zorvan {

// What the applier cannot do on the models alone.
struct TApplyContext {
  TFormRegistry* registry = nullptr;
  std::function<void(const std::string& text, bool showInWindow)> log;  // kind 1
  std::function<void(const std::string& text)> messageBox;              // kind 9, modal
  std::function<void(int panel, const std::string& text)> status;       // kind 10
  std::function<void(const TControlRef& status, const std::string& command, const std::string& reason, bool failed)>
      param;                                                             // kind 13
  std::function<void(bool write)> allDone;                               // kind 15
};

// Applies a control text command (kind 2) by the kind of the control.
void ApplyControlText(TControl& control, const std::string& text);
// Applies a colour name (kind 12): background or font colour by the kind of the control.
void ApplyControlColor(TControl& control, const std::string& color);
// Applies one element; a failing apply is ignored.
void ApplyElement(const TOutElement& element, const TApplyContext& context);

}  // namespace zorvan
