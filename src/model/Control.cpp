#include "model/Control.h"

#include <cstdio>
#include <stdexcept>

#include "base/Cp1251.h"

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

void TControl::Changed() {
  // A handler may add another; walk a copy.
  const auto handlers = changeHandlers_;
  for (const auto& handler : handlers) handler(*this);
}

void TControl::SetText(std::string_view text) {
  const std::string kept = normaliser_ ? normaliser_(text) : std::string(text);
  if (text_ == kept) {
    // A view that shows what was typed must show what is kept instead.
    if (kept != text) Notify();
    return;
  }
  text_ = kept;
  Notify();
  Changed();
}

void TControl::SetChecked(bool checked) {
  if (checked_ == checked) return;
  checked_ = checked;
  std::vector<TControl*> turnedOff;
  if (checked && radioGroup_)
    for (TControl* other : *radioGroup_)
      if (other != this && other->checked_) {
        other->checked_ = false;
        turnedOff.push_back(other);
      }
  for (TControl* other : turnedOff) other->Notify();
  Notify();
  for (TControl* other : turnedOff) other->Changed();
  Changed();
}

const std::vector<TControl*>& TControl::RadioGroupMembers() const {
  static const std::vector<TControl*> none;
  return radioGroup_ ? *radioGroup_ : none;
}

TControl* TControl::CheckedRadio() const {
  for (TControl* member : RadioGroupMembers())
    if (member->Checked()) return member;
  return nullptr;
}

void TControl::SetItemIndex(int index) {
  if (index < 0 || index >= static_cast<int>(items_.size())) index = -1;
  const bool list = kind_ == TControlKind::ComboBox || kind_ == TControlKind::ComboBoxEx;
  const std::string itemText = list && index >= 0 ? items_[static_cast<std::size_t>(index)] : std::string();
  // An edited list keeps its index while its text changes: selecting the item again shows it.
  if (itemIndex_ == index && (!list || text_ == itemText)) return;
  itemIndex_ = index;
  if (list) text_ = itemText;
  Notify();
}

void TControl::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  itemCodes_.assign(items_.size(), 0);
  itemImages_.assign(items_.size(), -1);
  itemChecks_.assign(items_.size(), false);
  itemIndex_ = -1;
  Notify();
}

void TControl::SetListItems(const std::vector<TListItem>& items) {
  std::vector<std::string> texts;
  for (const TListItem& item : items) texts.push_back(item.text);
  items_ = std::move(texts);
  itemCodes_.clear();
  itemImages_.clear();
  for (const TListItem& item : items) {
    itemCodes_.push_back(item.code);
    itemImages_.push_back(item.image);
  }
  itemChecks_.assign(items_.size(), false);
  itemIndex_ = -1;
  Notify();
}

int TControl::ItemCode(int index) const {
  return index >= 0 && index < static_cast<int>(itemCodes_.size()) ? itemCodes_[static_cast<std::size_t>(index)] : 0;
}

int TControl::ItemImage(int index) const {
  return index >= 0 && index < static_cast<int>(itemImages_.size()) ? itemImages_[static_cast<std::size_t>(index)]
                                                                     : -1;
}

bool TControl::ItemChecked(int index) const {
  return index >= 0 && index < static_cast<int>(itemChecks_.size()) && itemChecks_[static_cast<std::size_t>(index)];
}

void TControl::SetItemChecked(int index, bool checked) {
  if (index < 0 || index >= static_cast<int>(itemChecks_.size())) return;
  if (itemChecks_[static_cast<std::size_t>(index)] == checked) return;
  itemChecks_[static_cast<std::size_t>(index)] = checked;
  Notify();
  Changed();
}

void TControl::SetThumbs(std::vector<int> thumbs) {
  if (thumbs_ == thumbs) return;
  thumbs_ = std::move(thumbs);
  Notify();
}

void TControl::SetThumb(int index, int value) {
  if (index < 0 || index >= static_cast<int>(thumbs_.size())) return;
  if (thumbs_[static_cast<std::size_t>(index)] == value) return;
  thumbs_[static_cast<std::size_t>(index)] = value;
  Notify();
}

void TControl::DragThumbs(std::vector<int> thumbs) {
  if (thumbs_ == thumbs) return;
  thumbs_ = std::move(thumbs);
  Notify();
  Changed();
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

void TControl::SetLines(std::vector<std::string> lines) {
  if (lines_ == lines) return;
  lines_ = std::move(lines);
  Notify();
  Changed();
}

void TControl::AddRow(std::vector<std::string> row) {
  rows_.push_back(std::move(row));
  Notify();
}

void TControl::ClearRows() {
  rows_.clear();
  cellColors_.clear();
  const bool hadSelection = selectedRow_ >= 0;
  selectedRow_ = -1;
  Notify();
  if (hadSelection) Changed();
}

void TControl::SetRow(int row, std::vector<std::string> texts) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  rows_[static_cast<std::size_t>(row)] = std::move(texts);
  Notify();
}

void TControl::RemoveRow(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  rows_.erase(rows_.begin() + row);
  std::map<std::pair<int, int>, std::pair<std::string, std::string>> moved;
  for (auto& [cell, colors] : cellColors_) {
    const auto [column, r] = cell;
    if (r != row) moved[{column, r > row ? r - 1 : r}] = std::move(colors);
  }
  cellColors_ = std::move(moved);
  // A selection below moves up with its row; a removed selected row leaves none.
  const bool lost = selectedRow_ == row;
  if (lost) selectedRow_ = -1;
  else if (selectedRow_ > row) --selectedRow_;
  Notify();
  if (lost) Changed();
}

void TControl::SelectRow(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) row = -1;
  if (selectedRow_ == row) return;
  selectedRow_ = row;
  Notify();
  Changed();
}

int TControl::ColumnWidth(int column) const {
  return column >= 0 && column < static_cast<int>(columnWidths_.size()) ? columnWidths_[static_cast<std::size_t>(column)]
                                                                         : 0;
}

void TControl::SetColumnWidth(int column, int width) {
  if (column < 0 || width < 0 || ColumnWidth(column) == width) return;
  if (column >= static_cast<int>(columnWidths_.size())) columnWidths_.resize(static_cast<std::size_t>(column) + 1, 0);
  columnWidths_[static_cast<std::size_t>(column)] = width;
  Notify();
}

void TControl::SetImageList(std::vector<std::string> paths) {
  if (imageList_ == paths) return;
  imageList_ = std::move(paths);
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

std::pair<std::string, std::string> TControl::CellColors(int column, int row) const {
  auto found = cellColors_.find({column, row});
  return found == cellColors_.end() ? std::pair<std::string, std::string>{} : found->second;
}

void TControl::SetCellColors(int column, int row, std::string_view background, std::string_view text) {
  if (row < 0 || column < 0) return;
  cellColors_[{column, row}] = {std::string(background), std::string(text)};
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
  controls_.push_back(std::make_unique<TControl>(std::move(name), kind, Name()));
  TControl& c = *controls_.back();
  c.SetHint(hint);
  return c;
}

namespace {

// Each "%d" in a table text takes the control's next number.
std::string Numbered(const char* utf8, std::initializer_list<int> numbers) {
  std::string text = utf8;
  std::size_t from = 0;
  for (int number : numbers) {
    const auto at = text.find("%d", from);
    if (at == std::string::npos) break;
    const std::string digits = std::to_string(number);
    text.replace(at, 2, digits);
    from = at + digits.size();
  }
  return W(text);
}

}  // namespace

TControl& TForm::DeclareOne(const TControlSpec& row, std::string name, std::initializer_list<int> number) {
  if (Find(name)) throw std::logic_error("control " + name + " declared twice on " + Name());
  TControl& c = Add(std::move(name), row.kind, W(row.hint));
  if (*row.caption) c.SetText(Numbered(row.caption, number));
  c.SetMaxLength(row.maxLength);
  c.SetKeyFilter(row.keys);
  c.SetNormaliser(row.normalise);
  c.SetValueRule(row.rule);
  if (row.items.size() > 0) {
    std::vector<std::string> items;
    for (const char* item : row.items) items.push_back(W(item));
    c.SetItems(std::move(items));
  }
  if (row.state & csDisabled) c.SetEnabled(false);
  if (row.state & csHidden) c.SetVisible(false);
  if (row.position != 0) c.SetPosition(row.position);
  if (*row.status) pendingStatus_.emplace_back(&c, Numbered(row.status, number));
  if (*row.group) JoinRadioGroup(c, Numbered(row.group, number));
  return c;
}

TControl& TForm::Declare(const TControlSpec& row) { return DeclareOne(row, row.name, {}); }

TControlArray TForm::DeclareArray(int count, const TControlSpec& row) {
  TControlArray controls;
  for (int n = 1; n <= count; ++n) controls.Append(DeclareOne(row, row.name + std::to_string(n), {n}));
  return controls;
}

TControlGrid TForm::DeclareGrid(int count1, int count2, const TControlSpec& row) {
  TControlGrid grid;
  for (int i = 1; i <= count1; ++i) {
    TControlArray controls;
    for (int j = 1; j <= count2; ++j)
      controls.Append(DeclareOne(row, row.name + std::to_string(i) + std::to_string(j), {i, j}));
    grid.Append(std::move(controls));
  }
  return grid;
}

void TForm::ResolveStatusLabels() {
  for (auto& [control, label] : pendingStatus_) control->SetStatusLabel(&(*this)[label]);
  pendingStatus_.clear();
}

void TForm::JoinRadioGroup(TControl& button, const std::string& group) {
  auto& members = radioGroups_[group];
  if (!members) members = std::make_shared<std::vector<TControl*>>();
  if (button.radioGroup_ == members) return;
  if (button.radioGroup_) throw std::logic_error("control " + button.Name() + " is in two radio groups on " + Name());
  members->push_back(&button);
  button.radioGroup_ = members;
}

void TForm::SetAllEnabled(bool enabled) {
  for (const auto& c : controls_) c->SetEnabled(enabled);
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

std::optional<std::string> AcceptValue(const TControl& control, std::string_view value, std::string* why) {
  auto refuse = [why](const char* utf8) -> std::optional<std::string> {
    if (why) *why = W(utf8);
    return std::nullopt;
  };
  // Choosing an item of a list is no typing.
  for (const std::string& item : control.Items())
    if (item == value) return item;
  for (char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    // Line ends, escapes and other control bytes cannot be typed into a field.
    if (byte < 0x20 || byte == 0x7F) return refuse("недопустимый символ");
  }
  const std::string normalised = control.Normaliser() ? control.Normaliser()(value) : std::string(value);
  std::string taken;
  for (char c : normalised) {
    if (control.KeyFilter()) {
      const char kept = control.KeyFilter()(c);
      if (kept == 0) return refuse("недопустимый символ");
      c = kept;
    }
    taken += c;
  }
  if (control.MaxLength() > 0 && static_cast<int>(taken.size()) > control.MaxLength()) {
    if (why) *why = W("длиннее ") + std::to_string(control.MaxLength()) + W(" символов");
    return std::nullopt;
  }
  if (control.ValueRule()) {
    auto ruled = control.ValueRule()(taken);
    if (!ruled) return refuse("недопустимое значение");
    taken = *ruled;
  }
  return taken;
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
