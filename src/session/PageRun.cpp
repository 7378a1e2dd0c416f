#include "session/PageRun.h"

#include "base/Cp1251.h"
#include "link/Modem.h"
#include "session/OutArray.h"

namespace zorvan {
namespace {

// The command as the user knows it: without the value a write appends.
std::string CommandName(const std::string& command) {
  auto equals = command.find('=');
  return equals == std::string::npos ? command : command.substr(0, equals);
}

// A field that holds a text of its own, which a value from outside must be able to be.
bool HoldsText(const TControl& field) { return field.IsA(TControlKind::Edit) || field.IsA(TControlKind::MaskEdit); }

const TControl& StatusOf(const TControl& field) { return field.StatusLabel() ? *field.StatusLabel() : field; }

}  // namespace

std::string OutcomeText(TOutcome outcome) {
  switch (outcome) {
    case TOutcome::Done: return W("выполнено");
    case TOutcome::Silent: return W("панель не ответила");
    case TOutcome::Refused: return W("панель ответила ERR");
    case TOutcome::Ignored: return W("панель ответила IGN");
    case TOutcome::LineLost: return W("связь с панелью потеряна");
    case TOutcome::Unreadable: return W("ответ панели не распознан");
    case TOutcome::Invalid: return W("недопустимое значение");
    case TOutcome::Cancelled: return W("операция отменена");
  }
  return {};
}

namespace {

TPageId IdOf(const TDevZorvan& device, const TPage& page) {
  if (const TPageSet* pages = device.Pages())
    if (const TPageEntry* entry = pages->Catalogue().Find(page.Name())) return entry->id;
  return TPageId::Common;
}

}  // namespace

TPageRun::TPageRun(TDevZorvan& device, const TPage& page, const char* failureLine)
    : device_(device), page_(page), pageId_(IdOf(device, page)), failureLine_(W(failureLine)) {}

TPageRun::~TPageRun() {
  if (device_.Aborted() && !device_.PanelSilent()) device_.Out().PostLog(W(" # Операция отменена"), true, true);
  if (failures_ > 0 || broken_) device_.Out().PostLog(failureLine_, true, true);
}

bool TPageRun::Stopped() const { return device_.Aborted() || device_.Worker() == nullptr || device_.Worker()->IsTerminated(); }

const TPageValues& TPageRun::Values() {
  if (!haveValues_) {
    values_ = device_.Ui().PageValues(page_);
    // Without the window's answer the snapshot would be empty, and an empty field is never sent.
    if (!values_.taken) throw TNotRun();
    haveValues_ = true;
  }
  return values_;
}

void TPageRun::Show(const TControl& field, const std::string& text) {
  device_.Out().PostText(field, text);
  if (haveValues_) values_.SetText(field, text);
}

void TPageRun::ShowChecked(const TControl& field, bool checked) {
  device_.Out().PostChecked(field, checked);
  if (haveValues_) values_.SetChecked(field, checked);
}

void TPageRun::Pending(const TControl& status) { device_.Out().PostColor(status, clWindowText); }

void TPageRun::Succeeded(const TControl& status) {
  device_.NoteSilence(false);
  device_.Out().PostColor(status, clBlue);
}

void TPageRun::Failed(const TControl& status, const std::string& command, TOutcome why) {
  device_.NoteSilence(why == TOutcome::Silent);
  device_.Out().PostColor(status, clRed);
  ++failures_;
  device_.Out().PostFailure(status, CommandName(command), OutcomeText(why));
}

bool TPageRun::OnUi(const std::function<void(TPageSet& pages)>& work) {
  haveValues_ = false;
  return device_.Ui().RunWithPages(work);
}

TAnswer TPageRun::Ask(TQuestionKind kind, const std::string& caption, const std::string& text) {
  if (Stopped()) return TAnswer::NotAsked;
  return device_.Ui().Ask({kind, caption, text});
}

TExchange TPageRun::Step(const TControl& status, const std::string& command, const TQuery& style,
                         const std::string& shownCommand) {
  Pending(status);
  TExchange result = Exchange(command, style);
  if (!result.Ok()) {
    Failed(status, shownCommand, result.outcome);
    return result;
  }
  Succeeded(status);
  // A write that went through is recorded, so that a line lost later can say what arrived.
  if (command.find('=') != std::string::npos) Written(status, shownCommand);
  return result;
}

void TPageRun::Written(const TControl& status, const std::string& command) {
  device_.Out().PostWritten(status, CommandName(command));
}

bool TPageRun::Applies(const TParam& param) const {
  return !param.applies || param.applies(device_.Identity());
}

bool TPageRun::Read(const TParam& param) {
  if (!param.readStyle.exchanged || param.read.empty() || !Applies(param)) return true;
  const TControl& status = StatusOf(*param.field);
  if (Stopped()) return false;
  Pending(status);
  const TExchange result = Exchange(param.read, param.readStyle);
  if (!result.Ok()) {
    Failed(status, param.read, result.outcome);
    return false;
  }
  // A read that may end without its "OK" brings nothing to trust when it did.
  if (result.raw.find("OK") == std::string::npos) {
    Failed(status, param.read, TOutcome::Unreadable);
    return false;
  }
  const auto shown = param.codec->Decode(result.value);
  if (!shown) {
    // A reply that means nothing is not put into the field.
    device_.Out().PostLog(W(" # Непонятный ответ на ") + param.read + ": " + result.value, true, true);
    Failed(status, param.read, TOutcome::Unreadable);
    return false;
  }
  // A text the field could not hold (control bytes, the wrong alphabet, too long) is no value.
  if (HoldsText(*param.field) && !AcceptValue(*param.field, *shown)) {
    device_.Out().PostLog(W(" # Непонятный ответ на ") + param.read + ": " + result.value, true, true);
    Failed(status, param.read, TOutcome::Unreadable);
    return false;
  }
  device_.Out().PostText(*param.field, *shown);
  Succeeded(status);
  return true;
}

bool TPageRun::Holds(std::initializer_list<const TControl*> fields, const std::string& command) {
  const TWriteScope* scope = device_.WriteScope();
  if (!scope) return true;
  std::string missing;
  for (const TControl* field : fields)
    if (!scope->Holds(*field)) missing += (missing.empty() ? "" : ", ") + field->Name();
  if (missing.empty()) return true;
  device_.Out().PostLog(W(" # Не отправлено ") + CommandName(command) + W(": в файле нет ") + missing, true, true);
  return false;
}

bool TPageRun::Write(const TParam& param) {
  if (!param.writeStyle.exchanged || param.write.empty() || !Applies(param)) return true;
  const TControl& status = StatusOf(*param.field);
  if (Stopped()) return false;
  if (!Holds({param.field}, param.write)) return true;
  if (const auto filled = param.codec->Fill(Values()[*param.field])) Show(*param.field, *filled);
  const auto value = param.codec->Encode(Values()[*param.field]);
  if (!value || (HoldsText(*param.field) && !AcceptValue(*param.field, Values()[*param.field].text))) {
    Failed(status, param.write, TOutcome::Invalid);
    return false;
  }
  return Step(status, param.write + *value, param.writeStyle, param.write).Ok();
}

void TPageRun::Sequence(std::initializer_list<std::function<void()>> steps) {
  for (const auto& step : steps) {
    if (Stopped()) return;
    step();
  }
}

void TPageRun::ReadTable() {
  for (const TParam& param : page_.Params()) {
    if (Stopped()) return;
    Read(param);
  }
}

void TPageRun::WriteTable() {
  for (const TParam& param : page_.Params()) {
    if (Stopped()) return;
    Write(param);
  }
}

}  // namespace zorvan
