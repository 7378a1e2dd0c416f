#include "app/PanelCompare.h"

#include <algorithm>

#include "app/Shell.h"
#include "base/Cp1251.h"
#include "base/FileAccess.h"
#include "link/Modem.h"

namespace zorvan {
namespace {

using K = TControlKind;

// A field's value as the user reads it; the same text for the file's side and the panel's.
std::string ValueText(const TControl& c) {
  switch (c.Kind()) {
    case K::CheckBox:
    case K::RadioButton:
      return c.Checked() ? W("да") : W("нет");
    case K::RadioGroup:
      return c.ItemIndex() >= 0 && c.ItemIndex() < static_cast<int>(c.Items().size())
                 ? c.Items()[static_cast<std::size_t>(c.ItemIndex())]
                 : std::string();
    case K::CheckCombo: {
      std::string text;
      for (std::size_t i = 0; i < c.Items().size(); ++i)
        if (c.ItemChecked(static_cast<int>(i))) text += (text.empty() ? "" : ", ") + c.Items()[i];
      return text;
    }
    case K::Slider: {
      std::string text;
      for (int thumb : c.Thumbs()) text += (text.empty() ? "" : " ") + std::to_string(thumb);
      return text;
    }
    default:
      return c.Text();
  }
}

std::string FieldCaption(const TControl& c) {
  if (const TControl* label = c.StatusLabel(); label && !label->Text().empty()) return label->Text();
  return c.Text().empty() || !(c.IsA(K::CheckBox) || c.IsA(K::RadioButton)) ? c.Name() : c.Text();
}

// The fields a read of the page fills on this panel, each once, in table order.
std::vector<const TControl*> ReadFields(const TPage& page, const TPanelIdentity& panel) {
  std::vector<const TControl*> fields;
  for (const TParam& param : page.Params()) {
    if (!param.field || param.readStyle == TQuery::None || (param.applies && !param.applies(panel))) continue;
    if (std::find(fields.begin(), fields.end(), param.field) == fields.end()) fields.push_back(param.field);
  }
  return fields;
}

// The line is still up: a connection lost during a read ends the worker by itself.
bool LineUp(TShell& shell) {
  const TModem* worker = shell.Device().Worker();
  return shell.Connected() && worker && !worker->Finished() && !worker->IsTerminated();
}

}  // namespace

TPanelComparison::TPanelComparison(TShell& shell, const TIniFile& file) : shell_(shell), file_(file) {
  for (TPageId id : shell.Catalogue().readAll) {
    const TPageEntry& entry = shell.Catalogue().Entry(id);
    if (entry.kind && FileHoldsPage(file, shell.PageSet().Page(id))) pages_.push_back(id);
  }
}

bool TPanelComparison::Next() {
  if (next_ > 0 && results_.size() < next_) Record(pages_[next_ - 1]);
  if (next_ >= pages_.size()) return false;
  if (!LineUp(shell_)) {
    for (; next_ < pages_.size(); ++next_)
      results_.push_back({pages_[next_], shell_.PageSet().Page(pages_[next_]).Caption(), false,
                          W("связь с панелью потеряна")});
    return false;
  }
  const TPageId page = pages_[next_++];
  shell_.ShowPage(page);
  shell_.ReadPage();
  return true;
}

void TPanelComparison::Record(TPageId id) {
  const TPage& read = shell_.PageSet().Page(id);
  TPageResult result{id, read.Caption(), false, {}};
  const auto& failures = shell_.Failures();
  if (!failures.empty()) {
    result.reason = W("не прочитано параметров: ") + std::to_string(failures.size()) + " (" +
                    TShell::FailureText(failures.front()) + (failures.size() > 1 ? ", ..." : "") + ")";
  } else if (shell_.Device().Aborted() || !LineUp(shell_)) {
    result.reason = W("чтение не завершено");
  }
  if (!result.reason.empty()) {
    results_.push_back(std::move(result));
    return;
  }
  // What a load of the file shows, on a page of its own: the window's pages keep their values.
  const TPageEntry& entry = shell_.Catalogue().Entry(id);
  std::unique_ptr<TPage> fromFile = entry.kind->create(entry.name, read.Caption());
  fromFile->ResolveStatusLabels();
  fromFile->AdaptToPanel(shell_.Identity());
  fromFile->LoadFromIni(file_);
  for (const TControl* field : ReadFields(read, shell_.Identity())) {
    // A key the file lacks says nothing about the field.
    if (!file_.ValueExists(entry.name, field->Name())) continue;
    const TControl* loaded = fromFile->Find(field->Name());
    if (!loaded) continue;
    const std::string fileValue = ValueText(*loaded), panelValue = ValueText(*field);
    if (fileValue != panelValue)
      differences_.push_back({id, read.Caption(), FieldCaption(*loaded), field->Name(), fileValue, panelValue});
  }
  result.compared = true;
  results_.push_back(std::move(result));
}

bool TPanelComparison::Equal() const {
  return differences_.empty() && results_.size() == pages_.size() &&
         std::all_of(results_.begin(), results_.end(), [](const TPageResult& r) { return r.compared; });
}

std::string TPanelComparison::DifferenceText(const TDifference& d) {
  return d.field + W(": в файле \"") + d.fileValue + W("\", в панели \"") + d.panelValue + "\"";
}

std::string TPanelComparison::NothingToCompareText(const std::string& path) {
  return W("Файл настроек ") + QuotedPath(path) + W(": в нём нет настроек ни одной страницы, сравнивать нечего.");
}

std::string TPanelComparison::NotComparedText(const TPageResult& page) {
  return W("не сравнивалась: ") + page.reason;
}

}  // namespace zorvan
