#include "model/Control.h"

#include <stdexcept>

namespace zorvan {

void TControl::Notify() {
  // A listener that changes the model again would recurse; the outer call repaints anyway.
  if (notifying_) return;
  notifying_ = true;
  const auto copy = listeners_;
  for (const auto& [id, listener] : copy) listener(*this);
  notifying_ = false;
}

int TControl::AddListener(Listener listener) {
  listeners_.emplace_back(nextListener_, std::move(listener));
  return nextListener_++;
}

void TControl::RemoveListener(int id) {
  std::erase_if(listeners_, [id](const auto& l) { return l.first == id; });
}

void TControl::SetText(std::string_view text) {
  if (text_ == text) return;
  text_ = text;
  Notify();
  Changed();
}

void TControl::SetChecked(bool checked) {
  if (checked_ == checked) return;
  checked_ = checked;
  Notify();
  Changed();
}

void TControl::SetItemIndex(int index) {
  if (index < 0 || index >= static_cast<int>(items_.size())) index = -1;
  if (itemIndex_ == index) return;
  itemIndex_ = index;
  if (kind_ == TControlKind::ComboBox || kind_ == TControlKind::ComboBoxEx)
    text_ = index >= 0 ? items_[static_cast<std::size_t>(index)] : std::string();
  Notify();
}

void TControl::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  itemIndex_ = -1;
  Notify();
}

void TControl::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  Notify();
}

void TControl::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  Notify();
}

void TControl::SetFontColor(std::string_view color) {
  if (fontColor_ == color) return;
  fontColor_ = color;
  Notify();
}

void TControl::SetFontStyle(unsigned style) {
  if (fontStyle_ == style) return;
  fontStyle_ = style;
  Notify();
}

void TControl::SetBackColor(std::string_view color) {
  if (backColor_ == color) return;
  backColor_ = color;
  Notify();
}

void TControl::SetPosition(int position) {
  if (position_ == position) return;
  position_ = position;
  Notify();
}

void TControl::AppendLine(std::string_view line) {
  lines_.emplace_back(line);
  Notify();
}

void TControl::ClearLines() {
  lines_.clear();
  Notify();
}

void TControl::AddRow(std::vector<std::string> row) {
  rows_.push_back(std::move(row));
  Notify();
}

void TControl::ClearRows() {
  rows_.clear();
  Notify();
}

std::string TControl::Cell(int column, int row) const {
  if (row < 0 || column < 0 || row >= static_cast<int>(rows_.size())) return {};
  const auto& r = rows_[static_cast<std::size_t>(row)];
  return column < static_cast<int>(r.size()) ? r[static_cast<std::size_t>(column)] : std::string();
}

void TControl::SetCell(int column, int row, std::string_view text) {
  if (row < 0 || column < 0) return;
  if (row >= static_cast<int>(rows_.size())) rows_.resize(static_cast<std::size_t>(row) + 1);
  auto& r = rows_[static_cast<std::size_t>(row)];
  if (column >= static_cast<int>(r.size())) r.resize(static_cast<std::size_t>(column) + 1);
  r[static_cast<std::size_t>(column)] = text;
  Notify();
}

void TControl::SetNodes(std::vector<TTreeNode> nodes) {
  nodes_ = std::move(nodes);
  selectedNode_ = -1;
  Notify();
}

void TControl::SelectNode(int index) {
  if (index < 0 || index >= static_cast<int>(nodes_.size())) return;
  if (selectedNode_ == index) return;
  selectedNode_ = index;
  Notify();
  Changed();
}

TControl& TForm::Add(std::string name, TControlKind kind, std::string_view hint) {
  controls_.push_back(std::make_unique<TControl>(std::move(name), kind));
  TControl& c = *controls_.back();
  c.SetHint(hint);
  return c;
}

TControl* TForm::Find(std::string_view name) {
  for (auto& c : controls_)
    if (c->Name() == name) return c.get();
  return nullptr;
}

const TControl* TForm::Find(std::string_view name) const {
  for (const auto& c : controls_)
    if (c->Name() == name) return c.get();
  return nullptr;
}

TControl& TForm::operator[](std::string_view name) {
  if (TControl* c = Find(name)) return *c;
  throw std::logic_error("no control " + std::string(name) + " on " + Name());
}

TForm* TFormRegistry::FindForm(std::string_view name) const {
  for (TForm* f : forms_)
    if (f->Name() == name) return f;
  return nullptr;
}

TControl* TFormRegistry::Find(std::string_view form, std::string_view control) const {
  TForm* f = FindForm(form);
  if (!f) return nullptr;
  if (control.empty() || control == f->Name()) return &f->Self();
  return f->Find(control);
}

}  // namespace zorvan
