#include "app/OutputApplier.h"

#include <exception>

#include "base/ValueHelpers.h"
#include "model/Page.h"
#include "session/Colors.h"

namespace zorvan {
namespace {

using K = TControlKind;

// A number where one is needed; the element is dropped when the text is none.
struct TNotANumber {};
int Number(const std::string& text) {
  int value = 0;
  if (!ParseInteger(text, value)) throw TNotANumber{};
  return value;
}

TControl* Resolve(const TApplyContext& context, const TControlRef& ref) {
  return context.registry ? context.registry->Find(ref.form, ref.control) : nullptr;
}

TForm* FormOf(const TApplyContext& context, const TControlRef& ref) {
  return context.registry ? context.registry->FindForm(ref.form) : nullptr;
}

// A checked combo box takes a partition mask: bit n - 1 checks the items whose text is n.
void ApplyMask(TControl& c, const std::string& text) {
  const auto mask = ParseHex(TrimBlanks(text));
  if (!mask) throw TNotANumber{};
  for (int i = 0; i < static_cast<int>(c.Items().size()); ++i) {
    const auto number = ParseDecimal(c.Items()[static_cast<std::size_t>(i)]);
    c.SetItemChecked(i, number && *number >= 1 && *number <= 31 && ((*mask >> (*number - 1)) & 1));
  }
}

}  // namespace

void ApplyControlText(TControl& c, const std::string& text) {
  switch (c.Kind()) {
    case K::Gauge:
      if (text.rfind("cl", 0) == 0) c.SetBackColor(text);
      else c.SetPosition(Number(text));
      return;
    case K::Shape:
      c.SetBackColor(text);
      return;
    case K::LinkLabel:
    case K::Label:
      if (text == "t") c.SetEnabled(true);
      else if (text == "f") c.SetEnabled(false);
      else c.SetText(text);
      return;
    case K::Edit:
    case K::MaskEdit:
      c.SetText(text);
      return;
    case K::SpinEdit:
      c.SetText(std::to_string(Number(text)));
      return;
    case K::CheckBox:
      c.SetChecked(text == "true");
      return;
    case K::RadioButton:
      if (text == "true") {
        c.SetChecked(true);
        c.Click();
      }
      return;
    case K::Button:
    case K::ToolButton:
      if (text == "Click") c.Click();  // also when the button is disabled
      else c.SetEnabled(text == "true");
      return;
    case K::RadioGroup:
      c.SetItemIndex(Number(text));
      return;
    case K::ComboBoxEx:
      // The texts with "w" are its page's to apply (the channel types).
      if (text.find('w') == std::string::npos) c.SetItemIndex(Number(text));
      return;
    case K::ComboBox:
      if (!text.empty() && text[0] == '*') c.SetText(text.substr(1));
      else c.SetItemIndex(Number(text));
      return;
    case K::Panel:
      c.SetText(text);
      return;
    case K::ProgressBar:
      c.SetPosition(Number(text));
      return;
    case K::Form:
      if (text == "Show") c.SetVisible(true);
      else if (text == "Hide") c.SetVisible(false);
      return;
    case K::TreeView:
      if (text == "true") c.SetEnabled(true);
      else if (text == "false") c.SetEnabled(false);
      else c.SelectNode(Number(text));
      return;
    case K::Memo:
      c.AppendLine(text);
      return;
    case K::CheckCombo:
      ApplyMask(c, text);
      return;
    case K::Slider:
      c.SetText(text);
      return;
    case K::ListView:
    case K::StringGrid:
      if (text == "Clear") c.ClearRows();
      return;
    default:
      if (text == "Show") c.SetVisible(true);
      else c.SetEnabled(text == "true");
      return;
  }
}

void ApplyControlColor(TControl& c, const std::string& color) {
  if (!StringToColor(color)) return;
  switch (c.Kind()) {
    case K::Edit:
    case K::CheckBox:
    case K::SpinEdit:
      c.SetBackColor(color);
      return;
    case K::Label:
    case K::RadioButton:
    case K::RadioGroup:
      c.SetFontColor(color);
      return;
    default:
      return;
  }
}

void ApplyElement(const TOutElement& element, const TApplyContext& context) {
  try {
    switch (element.Kind()) {
      case kOutMemo: {
        const auto& e = static_cast<const TMemoOut&>(element);
        if (context.log) context.log(e.text, e.showInWindow);
        return;
      }
      case kOutControl: {
        const auto& e = static_cast<const TControlOut&>(element);
        TControl* c = Resolve(context, e.target);
        if (!c) return;
        TForm* form = FormOf(context, e.target);
        if (form && form->ApplyText(*c, e.text)) return;
        ApplyControlText(*c, e.text);
        if (form) form->Applied(*c);
        return;
      }
      case kOutColor: {
        const auto& e = static_cast<const TControlOut&>(element);
        if (TControl* c = Resolve(context, e.target)) ApplyControlColor(*c, e.text);
        return;
      }
      case kOutComponent: {
        const auto& e = static_cast<const TCompOut&>(element);
        bool on = false;
        if (!HintAsBool(e.text, on)) on = false;
        if (TControl* c = Resolve(context, e.menuItem)) c->SetEnabled(on);
        return;
      }
      case kOutTriSlider: {
        // Loop device values: the slider shows them 15 lower.
        const auto& e = static_cast<const TTriSliderOut&>(element);
        TControl* c = Resolve(context, e.slider);
        if (!c || !c->IsA(K::Slider)) return;
        if (e.text == "position") {
          c->SetPosition(e.number - 15);
        } else {
          if (e.number < 0 || e.number > 15) return;
          // Set by code: the thumbs change without running the drag's handlers.
          std::vector<int> thumbs = c->Thumbs();
          if (e.number >= static_cast<int>(thumbs.size())) thumbs.resize(static_cast<std::size_t>(e.number) + 1);
          thumbs[static_cast<std::size_t>(e.number)] = Number(e.text) - 15;
          c->SetThumbs(std::move(thumbs));
        }
        if (TForm* form = FormOf(context, e.slider)) form->Applied(*c);
        return;
      }
      case kOutFullList: {
        const auto& e = static_cast<const TFullListOut&>(element);
        if (TControl* c = Resolve(context, e.listView)) {
          std::vector<std::string> row{e.caption};
          row.insert(row.end(), e.texts.begin(), e.texts.end());
          c->AddRow(std::move(row));
        }
        return;
      }
      case kOutMessage:
        if (context.messageBox) context.messageBox(static_cast<const TMsgOut&>(element).text);
        return;
      case kOutStatus: {
        const auto& e = static_cast<const TStatusOut&>(element);
        if (context.status) context.status(e.panel, e.text);
        return;
      }
      case kOutGridCell: {
        const auto& e = static_cast<const TOutStringGrid&>(element);
        if (TControl* c = Resolve(context, e.grid)) c->SetCell(e.column, e.row, e.text);
        return;
      }
      case kOutParam: {
        const auto& e = static_cast<const TParamOut&>(element);
        if (context.param) context.param(e.status, e.command, e.reason, e.failed);
        return;
      }
      case kOutPage: {
        const auto& e = static_cast<const TPageOut&>(element);
        if (TForm* form = context.registry ? context.registry->FindForm(e.page) : nullptr) form->ApplyOutput(e.output);
        return;
      }
      case kOutAllDone:
        if (context.allDone) context.allDone(static_cast<const TAllDoneOut&>(element).write);
        return;
      default:
        return;
    }
  } catch (const TNotANumber&) {
  } catch (const std::exception&) {
  }
}

}  // namespace zorvan
